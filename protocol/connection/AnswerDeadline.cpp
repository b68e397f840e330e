#include "AnswerDeadline.h"

#include "ConnectionManager.h"

AnswerDeadline::AnswerDeadline(int limitMs, QObject* parent)
    : QObject(parent)
    , limitMs(limitMs)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &AnswerDeadline::onTimeout);
}

AnswerDeadline::~AnswerDeadline() = default;

void AnswerDeadline::start()
{
    timer.start(limitMs);
}

void AnswerDeadline::onTimeout()
{
    // Progress older than the limit lies before the request or is a stall
    // as long as the limit: either way the stream has been quiet for it.
    const qint64 since = watched != nullptr ? watched->msecsSinceProgress() : -1;
    if (since >= 0 && since < limitMs) {
        timer.start(int(limitMs - since));
        return;
    }
    Q_EMIT expired();
}
