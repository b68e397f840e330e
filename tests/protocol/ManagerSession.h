#pragma once

// A ConnectionManager connected over a real loopback socket to the test game
// server, with every platform event recorded as one line of text in arrival
// order. Used by the request and dispatch tests.

#include "ConnectionManager.h"
#include "TestGameServer.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <string>

inline QString hexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

/// The body (class byte first) of a frame built by the client's builders.
inline QByteArray bodyOf(const std::vector<unsigned char>& frame)
{
    return QByteArray(reinterpret_cast<const char*>(frame.data()) + 4, qsizetype(frame.size()) - 4);
}

class ManagerSession
{
public:
    ManagerSession()
        : cm(false)
    {
        record();
    }

    /// Listens, connects and waits for the version handshake.
    bool start()
    {
        if (!server.listen())
            return false;
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        return ready.wait(5000) || ready.count() == 1;
    }

    /// Logs in as the given player: the server answers the login with status 0.
    bool login(qint32 pid, const QByteArray& name = "me")
    {
        server.onRequest(10, [this, pid, name](const ReceivedFrame&) {
            server.send(TestFrame(11).str(name).u32(quint32(pid)).u8(0).u32(1).str("").bytes("secret"));
        });
        QSignalSpy ok(&cm, &ConnectionManager::loginSuccess);
        cm.login(QString::fromUtf8(name), QStringLiteral("pw"));
        return ok.wait(5000) || ok.count() == 1;
    }

    /// Waits until at least count events are recorded.
    bool waitForEvents(int count, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (events.size() < count && !deadline.hasExpired())
            QTest::qWait(5);
        return events.size() >= count;
    }

    TestGameServer server;
    ConnectionManager cm;
    QStringList events;
    QStringList exceptions;

private:
    void add(const QString& line) { events << line; }

    void record()
    {
        using CM = ConnectionManager;
        QObject::connect(&cm, &CM::exceptionCaught, &cm, [this](const std::string& what) {
            exceptions << QString::fromStdString(what);
        });
        QObject::connect(&cm, &CM::loginSuccess, &cm, [this](qint32 pid, QString name, QString cred, bool full) {
            add(QStringLiteral("loginSuccess %1 %2 %3 %4").arg(pid).arg(name, cred).arg(full));
        });
        QObject::connect(&cm, &CM::loginFailed, &cm, [this](qint32 code) { add(QStringLiteral("loginFailed %1").arg(code)); });
        QObject::connect(&cm, &CM::forcedLogout, &cm, [this] { add(QStringLiteral("forcedLogout")); });
        QObject::connect(&cm, &CM::systemMessage, &cm, [this](qint32 type, qint32 level, QString text) {
            add(QStringLiteral("systemMessage %1 %2 %3").arg(type).arg(level).arg(text));
        });
        QObject::connect(&cm, qOverload<TableInfo>(&CM::tableInfoUpdate), &cm, [this](TableInfo info) {
            add(QStringLiteral("table %1 %2 %3/%4").arg(info.tableId).arg(info.name).arg(info.capacity.seated()).arg(info.capacity.capacity()));
            tables.push_back(info);
        });
        QObject::connect(&cm, qOverload<qint32, int, TableInfoUpdates>(&CM::tableInfoUpdate), &cm,
                         [this](qint32 id, int seated, TableInfoUpdates updates) {
                             QStringList keys;
                             for (const auto& u : updates)
                                 keys << QString::fromStdString(u.key) + (u.removal ? "-" : "+");
                             add(QStringLiteral("tableUpdate %1 %2 %3").arg(id).arg(seated).arg(keys.join(',')));
                             tableUpdates.push_back(updates);
                         });
        QObject::connect(&cm, &CM::tableRemoved, &cm, [this](qint32 id) { add(QStringLiteral("tableRemoved %1").arg(id)); });
        QObject::connect(&cm, qOverload<TournamentInfo>(&CM::tournamentInfoUpdate), &cm, [this](TournamentInfo info) {
            add(QStringLiteral("tournament %1 %2 %3").arg(info.tournamentId).arg(info.name).arg(info.status));
        });
        QObject::connect(&cm, qOverload<qint32, TournamentInfoUpdates>(&CM::tournamentInfoUpdate), &cm,
                         [this](qint32 id, TournamentInfoUpdates updates) {
                             TournamentInfo info;
                             info.applyUpdates(updates);
                             add(QStringLiteral("tournamentUpdate %1 %2 %3").arg(id).arg(updates.size()).arg(info.registered));
                         });
        QObject::connect(&cm, &CM::tournamentRemoved, &cm, [this](qint32 id) { add(QStringLiteral("tournamentRemoved %1").arg(id)); });
        QObject::connect(&cm, &CM::tournamentRankings, &cm, [this](qint32 id, TournamentRankings rankings) {
            QStringList rows;
            for (const auto& r : rankings)
                rows << QStringLiteral("%1:%2:%3:%4:%5").arg(r.pid).arg(r.name).arg(r.tablePoints).arg(r.competitionPoints).arg(r.flag);
            add(QStringLiteral("rankings %1 %2").arg(id).arg(rows.join(',')));
        });
        QObject::connect(&cm, &CM::tournamentRegisterSuccess, &cm, [this](qint32 id) { add(QStringLiteral("registerSuccess %1").arg(id)); });
        QObject::connect(&cm, &CM::tournamentRegisterFailed, &cm, [this](qint32 id, tmnt_register_failed_reason::enum_t r) {
            add(QStringLiteral("registerFailed %1 %2").arg(id).arg(int(r)));
        });
        QObject::connect(&cm, &CM::tournamentUnregisterSuccess, &cm, [this](qint32 id) { add(QStringLiteral("unregisterSuccess %1").arg(id)); });
        QObject::connect(&cm, &CM::tournamentUnregisterFailed, &cm, [this](qint32 id, tmnt_register_failed_reason::enum_t r) {
            add(QStringLiteral("unregisterFailed %1 %2").arg(id).arg(int(r)));
        });
        QObject::connect(&cm, &CM::tournamentLeaveSuccess, &cm, [this](qint32 id) { add(QStringLiteral("tournamentLeaveSuccess %1").arg(id)); });
        QObject::connect(&cm, &CM::tournamentLeaveFailed, &cm, [this](qint32 id, QString reason) {
            add(QStringLiteral("tournamentLeaveFailed %1 %2").arg(id).arg(reason));
        });
        QObject::connect(&cm, &CM::tournamentSeated, &cm, [this](qint32 m, qint32 t) { add(QStringLiteral("tournamentSeated %1 %2").arg(m).arg(t)); });
        QObject::connect(&cm, &CM::tournamentPickedUp, &cm, [this](qint32 m, qint32 t, bool keep) {
            add(QStringLiteral("tournamentPickedUp %1 %2 %3").arg(m).arg(t).arg(keep));
        });
        QObject::connect(&cm, &CM::endOfTournamentRound, &cm, [this](qint32 m, qint32 t, bool last, TournamentRoundScores scores) {
            QStringList rows;
            for (const auto& r : scores)
                rows << QStringLiteral("%1:%2:%3").arg(r.pid).arg(r.score).arg(r.value);
            add(QStringLiteral("endOfTournamentRound %1 %2 %3 %4").arg(m).arg(t).arg(last).arg(rows.join(',')));
        });
        QObject::connect(&cm, &CM::watchSuccessful, &cm, [this](qint32 id) { add(QStringLiteral("watchSuccessful %1").arg(id)); });
        QObject::connect(&cm, &CM::watchFailed, &cm, [this](qint32 id, QString r) { add(QStringLiteral("watchFailed %1 %2").arg(id).arg(r)); });
        QObject::connect(&cm, &CM::alreadySeated, &cm, [this](qint32 id) { add(QStringLiteral("alreadySeated %1").arg(id)); });
        QObject::connect(&cm, &CM::joinSuccessful, &cm, [this](qint32 id) { add(QStringLiteral("joinSuccessful %1").arg(id)); });
        QObject::connect(&cm, &CM::joinFailed, &cm, [this](qint32 id, join_failed_reason::enum_t r) {
            add(QStringLiteral("joinFailed %1 %2").arg(id).arg(int(r)));
        });
        QObject::connect(&cm, &CM::seating, &cm, [this] { add(QStringLiteral("seating")); });
        QObject::connect(&cm, &CM::waitingList, &cm, [this](int seq) { add(QStringLiteral("waitingList %1").arg(seq)); });
        QObject::connect(&cm, &CM::waitingListCancelled, &cm, [this](int seq) { add(QStringLiteral("waitingListCancelled %1").arg(seq)); });
        QObject::connect(&cm, &CM::waitingListCancelFailed, &cm, [this](bool denied) { add(QStringLiteral("waitingListCancelFailed %1").arg(denied)); });
        QObject::connect(&cm, &CM::filterJoinFailed, &cm, [this] { add(QStringLiteral("filterJoinFailed")); });
        QObject::connect(&cm, &CM::leaveSuccessful, &cm, [this](qint32 id) { add(QStringLiteral("leaveSuccessful %1").arg(id)); });
        QObject::connect(&cm, &CM::leaveFailed, &cm, [this](qint32 id, QString r) { add(QStringLiteral("leaveFailed %1 %2").arg(id).arg(r)); });
        QObject::connect(&cm, &CM::unwatchSuccessful, &cm, [this](qint32 id) { add(QStringLiteral("unwatchSuccessful %1").arg(id)); });
        QObject::connect(&cm, &CM::unwatchFailed, &cm, [this](qint32 id) { add(QStringLiteral("unwatchFailed %1").arg(id)); });
        QObject::connect(&cm, &CM::playerNameUpdate, &cm, [this](qint32 pid, QString nick) {
            add(QStringLiteral("playerNameUpdate %1 %2").arg(pid).arg(nick));
        });
        QObject::connect(&cm, &CM::playerJoined, &cm, [this](qint32 t, PlayerData p) {
            add(QStringLiteral("playerJoined %1 %2 %3").arg(t).arg(p.id()).arg(p.name()));
        });
        QObject::connect(&cm, &CM::playerLeft, &cm, [this](qint32 t, qint32 pid) { add(QStringLiteral("playerLeft %1 %2").arg(t).arg(pid)); });
        QObject::connect(&cm, &CM::notifyWatching, &cm, [this](qint32 t) { add(QStringLiteral("notifyWatching %1").arg(t)); });
        QObject::connect(&cm, &CM::notifySeated, &cm, [this](qint32 t, qint32 seat, qint32 m) {
            add(QStringLiteral("notifySeated %1 %2 %3").arg(t).arg(seat).arg(m));
        });
        QObject::connect(&cm, &CM::notifyRegistered, &cm, [this](std::vector<qint32> ids) {
            QStringList list;
            for (qint32 id : ids)
                list << QString::number(id);
            add(QStringLiteral("notifyRegistered %1").arg(list.join(',')));
        });
        QObject::connect(&cm, &CM::kickPlayer, &cm, [this](qint32 t, kick_reason::enum_t r) {
            add(QStringLiteral("kickPlayer %1 %2").arg(t).arg(int(r)));
        });
        QObject::connect(&cm, &CM::seatInfo, &cm, [this](qint32 t, qint8 seat, qint8 status) {
            add(QStringLiteral("seatInfo %1 %2 %3").arg(t).arg(seat).arg(status));
        });
    }

public:
    std::vector<TableInfo> tables;
    std::vector<TableInfoUpdates> tableUpdates;
};
