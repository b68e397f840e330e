#include "ServerTime.h"

#include "Utils.h"

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
    const qint64 seconds = time.toSecsSinceEpoch();
    if (!time.isValid() || seconds == std::numeric_limits<qint32>::max()
        || seconds == qint64(std::numeric_limits<qint32>::max()) + 1)
        return false;
    const qint64 away = ServerTime::currentTime().secsTo(time);
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
    connect(&replyTimer, &QTimer::timeout, this, &ServerTime::onTimeout);
    connect(&nextPing, &QTimer::timeout, this, &ServerTime::pingServer);
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

void ServerTime::setConnection(ConnectionManager* cm)
{
    replyTimer.stop();
    nextPing.stop();
    pendingRequest.reset();
    sender = nullptr;
    if (connection != nullptr)
        disconnect(connection, nullptr, this, nullptr);
    connection = cm;
    if (connection == nullptr)
        return;
    connect(connection, &ConnectionManager::timeFromServer, this, &ServerTime::onTimeFromServer);
    connect(connection, &ConnectionManager::timeFromServerFailed, this, &ServerTime::onTimeFromServerFailed);
    connect(connection, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone == connection)
            setConnection(nullptr);
    });
    sender = [cm] { return cm->query_current_time(); };
    pingServer();
}

void ServerTime::setRequestSender(RequestSender s)
{
    replyTimer.stop();
    nextPing.stop();
    pendingRequest.reset();
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

void ServerTime::onTimeFromServer(qint32 requestId, const QDateTime& serverTime)
{
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
    pingServer();
}
