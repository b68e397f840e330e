#include "ServerTime.h"

#include "Utils.h"

#include <Connection.h>
#include <ConnectionManager.h>

#include <QDebug>

#include <algorithm>
#include <chrono>
#include <limits>

#include <time.h>

qint64 msecsBetween(const QDateTime& from, const QDateTime& to)
{
    const QDateTime a = from.toUTC();
    const QDateTime b = to.toUTC();
    return a.date().daysTo(b.date()) * Q_INT64_C(86400000) + a.time().msecsTo(b.time());
}

bool isServerTimeKnown(const QDateTime& time)
{
    // The server's seconds are 32 bits read unsigned; its extreme signed
    // counts mean no time, and the smallest one reads as a date of 2038.
    // Taken out of local time once: each conversion looks at the system's
    // time zone file.
    const QDateTime utc = time.toUTC();
    const qint64 seconds = utc.toSecsSinceEpoch();
    if (!time.isValid() || seconds == std::numeric_limits<qint32>::max()
        || seconds == qint64(std::numeric_limits<qint32>::max()) + 1)
        return false;
    const qint64 away = ServerTime::currentTime().secsTo(utc);
    return away > -maxShownSeconds && away < maxShownSeconds;
}

QString serverTimeText(const QDateTime& time)
{
    return isServerTimeKnown(time) ? formatDateTime(time) : unknownText();
}

namespace {

qint64 machineMonotonic()
{
#ifdef CLOCK_BOOTTIME
    // Unlike the plain monotonic clock it goes on while the machine sleeps,
    // as the server's clock does.
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#else
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
#endif
}

} // namespace

ServerTime::ServerTime()
{
    turnTimer.setSingleShot(true);
    turnTimer.setTimerType(Qt::PreciseTimer);
    connect(&turnTimer, &QTimer::timeout, this, &ServerTime::turn);
}

ServerTime::~ServerTime() = default;

QDateTime ServerTime::currentTime()
{
    return instance()->estimate();
}

qint64 ServerTime::monotonicTime()
{
    return instance()->monotonicNow();
}

QDateTime ServerTime::wallNow() const
{
    return wall ? wall().toUTC() : QDateTime::currentDateTimeUtc();
}

qint64 ServerTime::monotonicNow() const
{
    return monotonic ? monotonic() : machineMonotonic();
}

void ServerTime::setClocks(WallClock w, MonotonicClock m)
{
    // Every moment kept is one of the old monotonic clock: each goes over by
    // its distance from now.
    const qint64 before = monotonicNow();
    const QDateTime estimated = estimate();
    wall = std::move(w);
    monotonic = std::move(m);
    const qint64 shift = monotonicNow() - before;
    if (monotonicBase) {
        serverBase = estimated;
        monotonicBase = monotonicNow();
    }
    sentAt += shift;
    heardAt += shift;
    if (pingDue)
        *pingDue += shift;
    schedule();
}

QDateTime ServerTime::estimate() const
{
    if (!monotonicBase)
        return wallNow();
    return serverBase.addMSecs(monotonicNow() - *monotonicBase);
}

void ServerTime::resetCycle()
{
    turnTimer.stop();
    pendingRequest.reset();
    pingDue.reset();
    overdue = false;
    silent = false;
    heardAt = monotonicNow();
}

void ServerTime::setConnection(ConnectionManager* cm)
{
    resetCycle();
    sender = nullptr;
    if (connection != nullptr)
        disconnect(connection, nullptr, this, nullptr);
    disconnect(bytesArrived);
    connection = cm;
    if (connection == nullptr)
        return;
    connect(connection, &ConnectionManager::timeFromServer, this, &ServerTime::onTimeFromServer);
    connect(connection, &ConnectionManager::timeFromServerFailed, this, &ServerTime::onTimeFromServerFailed);
    // Any bytes count, not only the replies: on a slow link a reply may wait
    // behind a long list while the link is plainly alive.
    bytesArrived = connect(connection->connection(), &QIODevice::readyRead, this, &ServerTime::heard);
    connect(connection, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone == connection)
            setConnection(nullptr);
    });
    sender = [cm] { return cm->query_current_time(); };
    pingServer();
}

void ServerTime::setRequestSender(RequestSender s)
{
    resetCycle();
    sender = std::move(s);
    if (sender)
        pingServer();
}

void ServerTime::pingServer()
{
    pingDue.reset();
    if (!sender)
        return;
    pendingRequest = sender();
    sentAt = monotonicNow();
    schedule();
}

void ServerTime::heard()
{
    heardAt = monotonicNow();
    overdue = false;
    if (silent) {
        silent = false;
        Q_EMIT silenceEnded();
    }
}

std::optional<qint64> ServerTime::nextDue() const
{
    if (!sender)
        return std::nullopt;
    std::optional<qint64> due = pendingRequest ? std::optional<qint64>(sentAt + replyTimeout) : pingDue;
    if (overdue) {
        const qint64 check = heardAt + (silent ? silenceLimit : replyTimeout);
        due = due ? std::min(*due, check) : check;
    }
    return due;
}

void ServerTime::schedule()
{
    const std::optional<qint64> due = nextDue();
    if (!due) {
        turnTimer.stop();
        return;
    }
    turnTimer.start(int(std::clamp<qint64>(*due - monotonicNow(), 0, turnLimit)));
}

void ServerTime::turn()
{
    const qint64 now = monotonicNow();
    const std::optional<qint64> due = nextDue();
    if (due && now - *due > wakeGap) {
        // The process was stopped (a closed lid, a paused machine): the time
        // it stood still says nothing of the server, and a round trip that
        // spans it measures the stop, not the link.
        qWarning() << "the server clock's timer came back" << now - *due
                   << "ms late (the program stood still); the server's silence is counted from now";
        heardAt = now;
        if (pendingRequest) {
            pendingRequest.reset();
            pingDue = now;
        }
    }
    if (pendingRequest && now >= sentAt + replyTimeout)
        onTimeout();
    else if (!pendingRequest && pingDue && now >= *pingDue)
        pingServer();
    if (overdue)
        checkSilence();
    schedule();
}

void ServerTime::onTimeFromServer(qint32 requestId, const QDateTime& serverTime)
{
    // Even a late reply to an older request shows the server is there.
    heard();
    if (!pendingRequest || *pendingRequest != requestId)
        return;
    pendingRequest.reset();
    const int rtt = static_cast<int>(std::clamp<qint64>(monotonicNow() - sentAt, 0, replyTimeout));
    if (rtt < 1 && !firstReply) {
        pingDue = monotonicNow() + pingInterval;
        schedule();
        return;
    }
    firstReply = false;
    lastPing = rtt;

    const QDateTime now = estimate();
    const QDateTime server = serverTime.toUTC();
    if (!monotonicBase || now < server || server.addMSecs(rtt) < now) {
        serverBase = server.addMSecs(rtt / 2);
        monotonicBase = monotonicNow();
        Q_EMIT updatedEstimate();
    }
    Q_EMIT updatedPing();
    pingDue = monotonicNow() + pingInterval;
    schedule();
}

void ServerTime::onTimeFromServerFailed(qint32 requestId, const QString& reason)
{
    heard();
    if (!pendingRequest || *pendingRequest != requestId)
        return;
    qWarning() << "server time request failed:" << reason;
    pendingRequest.reset();
    pingDue = monotonicNow() + pingInterval;
    schedule();
}

void ServerTime::onTimeout()
{
    // The reply is lost (or very late): without a new request the clock would
    // stop following the server for the rest of the session.
    pendingRequest.reset();
    Q_EMIT timeout();
    // Only a server from which nothing at all comes is silent: on a slow
    // link a reply may be stuck behind a long list.
    if (!overdue) {
        overdue = true;
        checkSilence();
    }
    pingServer();
}

void ServerTime::checkSilence()
{
    if (!sender || !overdue)
        return;
    const qint64 quiet = monotonicNow() - heardAt;
    if (!silent && quiet >= replyTimeout) {
        silent = true;
        Q_EMIT silenceBegan();
        if (!sender)
            return;
    }
    if (silent && quiet >= silenceLimit) {
        qWarning() << "nothing from the server for" << quiet << "ms";
        setConnection(nullptr);
        Q_EMIT connectionLost();
    }
}
