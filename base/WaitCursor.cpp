#include "WaitCursor.h"

#include <QApplication>

WaitCursor& WaitCursor::instance()
{
    static WaitCursor cursor;
    return cursor;
}

void WaitCursor::begin(Request request, qint64 id)
{
    if (waiting.insert({request, id}).second)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool WaitCursor::end(Request request, qint64 id)
{
    if (waiting.erase({request, id}) == 0)
        return false;
    QApplication::restoreOverrideCursor();
    return true;
}

int WaitCursor::endAll(Request request)
{
    int ended = 0;
    for (auto it = waiting.begin(); it != waiting.end();) {
        if (it->first == request) {
            it = waiting.erase(it);
            QApplication::restoreOverrideCursor();
            ++ended;
        } else {
            ++it;
        }
    }
    return ended;
}

bool WaitCursor::isWaiting(Request request, qint64 id) const
{
    return waiting.count({request, id}) != 0;
}

void WaitCursor::clear()
{
    while (!waiting.empty()) {
        waiting.erase(waiting.begin());
        QApplication::restoreOverrideCursor();
    }
}
