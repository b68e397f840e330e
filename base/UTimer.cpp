#include "UTimer.h"

#include "ServerTime.h"

#include <TimeSpan.h>

#include <QTimer>

UTimer::UTimer(QObject* parent)
    : QObject(parent)
    , timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &UTimer::intervalTimeout);
}

void UTimer::start(const TimeSpan& span)
{
    stop();
    deadline = span.end();
    if (deadline.isValid()) {
        const QDateTime now = ServerTime::currentTime();
        const QDateTime from = span.start().isValid() ? span.start() : now;
        total = qMax<qint64>(0, msecsBetween(from, deadline));
        leftAtStart = qMax<qint64>(0, msecsBetween(now, deadline));
        startedAt = ServerTime::monotonicTime();
        if (total != 0)
            timer->start(interval);
    } else {
        total = 0;
    }
    intervalTimeout();
}

void UTimer::stop()
{
    if (!timer->isActive())
        return;
    timer->stop();
    total = 0;
    deadline = QDateTime();
}

bool UTimer::isRunning() const
{
    return timer->isActive();
}

void UTimer::intervalTimeout()
{
    qint64 left = 0;
    if (deadline.isValid())
        left = qMax<qint64>(0, leftAtStart - (ServerTime::monotonicTime() - startedAt));
    if (!deadline.isValid() || (timer->isActive() && left == 0)) {
        timer->stop();
        deadline = QDateTime();
    }
    const qint64 totalNow = total;
    Q_EMIT update(static_cast<int>(left), static_cast<int>(totalNow));
    if (left == 0)
        Q_EMIT timeout();
}
