#pragma once

#include "TestFrame.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <map>
#include <variant>

class TestGameServer;
struct ReceivedFrame;

/// Tournament frames written with the test server's own encoder.
namespace TournamentFrames {

/// One named parameter: an integer or a text.
struct Param
{
    QByteArray key;
    std::variant<qint32, QByteArray> value;
};
Param num(const char* key, qint32 value);
Param text(const char* key, const QByteArray& value);

/// A tournament as the server lists it.
struct Tournament
{
    quint32 id = 0;
    QList<Param> params;
};

/// The usual keys of a tournament: NAME, STATUS, REGISTERED, MAX_PLAYERS,
/// MIN_PLAYERS, BET, START, END (start + durationSecs), CLOSE_REGISTER,
/// NUMBER_OF_ROUNDS, CURRENT_ROUND, RULESET.
Tournament tournament(quint32 id, const QByteArray& name, qint32 status, qint32 registered, qint32 maxPlayers,
                      qint32 bet, quint32 startSecs, qint32 durationSecs);

/// Class 148, one record.
TestFrame snapshot(const Tournament& t);
/// Class 155, a list of records.
TestFrame snapshotList(const QList<Tournament>& list);
/// Class 149: changed keys, then removed keys.
TestFrame update(quint32 id, const QList<Param>& changed, const QList<QByteArray>& removed = {});
/// Class 150.
TestFrame removed(quint32 id);
/// Classes 206 and 208: status 0 success, 1 to 7 the refusal reasons 0 to 6.
TestFrame registerResponse(quint32 id, quint8 status);
TestFrame unregisterResponse(quint32 id, quint8 status);
/// Class 211, the tournaments the player is registered for.
TestFrame registeredList(const QList<quint32>& ids);
/// Class 209.
TestFrame seated(quint32 id, quint32 tableId, quint8 seat);

/// One row of a ranking list.
struct RankingRow
{
    quint32 pid;
    QByteArray name;
    quint32 tablePoints;
    quint32 points;
};
/// Class 104 with inner class 61.
TestFrame rankings(quint32 id, const QList<RankingRow>& rows);
/// Class 104 with inner class 62; status 0 success, 1 "Not registered" .. 4 "Invalid state".
TestFrame leaveResponse(quint32 id, quint8 status);
/// Class 104 with inner class 60: rows of (player id, score, money).
TestFrame roundScores(quint32 id, quint32 tableId, bool lastRound, const QList<std::array<quint32, 3>>& rows);
/// Class 153: one table of the tournament under "101/mtt/<id>".
TestFrame tournamentTable(quint32 id, quint32 tableId, const QByteArray& name, quint16 seated);
}

/// A tournament server: answers the tournaments lobby subscription with its
/// list, register, unregister and leave requests with the status set per
/// tournament, ranking requests with the rows set per tournament, and a
/// table subscription of "101/mtt/<id>" with the tournament's tables.
/// Counts what it was asked.
class TournamentScenario : public QObject
{
    Q_OBJECT

public:
    explicit TournamentScenario(TestGameServer& server, QObject* parent = nullptr);

    QList<TournamentFrames::Tournament> tournaments;
    /// Status byte answered per tournament id (0 when not set).
    std::map<quint32, quint8> registerStatus;
    std::map<quint32, quint8> unregisterStatus;
    std::map<quint32, quint8> leaveStatus;
    std::map<quint32, QList<TournamentFrames::RankingRow>> rankingRows;
    /// Tables per tournament id, sent for a subscription of its path.
    std::map<quint32, QList<std::pair<quint32, QByteArray>>> tables;

    /// Ranking requests (inner class 58) per tournament id.
    std::map<quint32, int> rankingRequests;
    int registerRequests = 0;
    int unregisterRequests = 0;
    int leaveRequests = 0;

Q_SIGNALS:
    /// A request was answered; the tests wait for these.
    void registerAnswered(quint32 id);
    void unregisterAnswered(quint32 id);
    void leaveAnswered(quint32 id);
    void rankingAnswered(quint32 id);

private:
    void onEnvelope(const ReceivedFrame& frame);
    TestGameServer& server;
};
