#include "ServerTime.h"

#include "Utils.h"

#include <Connection.h>
#include <ConnectionManager.h>

#include <QDebug>

#include <limits>

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

ServerTime::ServerTime()
    : serverBase(QDateTime::currentDateTimeUtc())
    , localBase(serverBase)
{
    replyTimer.setSingleShot(true);
    nextPing.setSingleShot(true);
    silenceTimer.setSingleShot(true);
    silenceTimer.setTimerType(Qt::PreciseTimer);
    connect(&replyTimer, &QTimer::timeout, this, &ServerTime::onTimeout);
    connect(&nextPing, &QTimer::timeout, this, &ServerTime::pingServer);
    connect(&silenceTimer, &QTimer::timeout, this, &ServerTime::checkSilence);
}

ServerTime::~ServerTime() = default;

QDateTime ServerTime::currentTime()
{
    return instance()->estimate();
}

QDateTime ServerTime::estimate() const
{
    return serverBase.addMSecs(msecsBetween(localBase, QDateTime::currentDateTimeUtc()));
}

void ServerTime::resetCycle()
{
    replyTimer.stop();
    nextPing.stop();
    silenceTimer.stop();
    pendingRequest.reset();
    silent = false;
    sinceHeard.start();
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
    if (!sender)
        return;
    pendingRequest = sender();
    stopwatch.restart();
    replyTimer.start(replyTimeout);
}

void ServerTime::heard()
{
    sinceHeard.restart();
    silenceTimer.stop();
    if (silent) {
        silent = false;
        Q_EMIT silenceEnded();
    }
}

void ServerTime::onTimeFromServer(qint32 requestId, const QDateTime& serverTime)
{
    // Even a late reply to an older request shows the server is there.
    heard();
    if (!pendingRequest || *pendingRequest != requestId)
        return;
    pendingRequest.reset();
    replyTimer.stop();
    const int rtt = static_cast<int>(stopwatch.elapsed());
    if (rtt < 1 && !firstReply) {
        nextPing.start(pingInterval);
        return;
    }
    firstReply = false;
    lastPing = rtt;

    const QDateTime now = estimate();
    const QDateTime server = serverTime.toUTC();
    if (now < server || server.addMSecs(rtt) < now) {
        serverBase = server.addMSecs(rtt / 2);
        localBase = QDateTime::currentDateTimeUtc();
        Q_EMIT updatedEstimate();
    }
    Q_EMIT updatedPing();
    nextPing.start(pingInterval);
}

void ServerTime::onTimeFromServerFailed(qint32 requestId, const QString& reason)
{
    heard();
    if (!pendingRequest || *pendingRequest != requestId)
        return;
    qWarning() << "server time request failed:" << reason;
    pendingRequest.reset();
    replyTimer.stop();
    nextPing.start(pingInterval);
}

void ServerTime::onTimeout()
{
    // The reply is lost (or very late): without a new request the clock would
    // stop following the server for the rest of the session.
    pendingRequest.reset();
    Q_EMIT timeout();
    // Only a server from which nothing at all comes is silent: on a slow
    // link a reply may be stuck behind a long list.
    if (!silenceTimer.isActive())
        checkSilence();
    pingServer();
}

void ServerTime::checkSilence()
{
    if (!sender)
        return;
    const qint64 quiet = sinceHeard.elapsed();
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
        return;
    }
    silenceTimer.start(int((silent ? silenceLimit : replyTimeout) - quiet));
}
