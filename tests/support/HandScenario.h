#pragma once

#include "TestFrame.h"

#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <optional>

class TestGameServer;
struct ReceivedFrame;

/// A table of the test server where one user plays whole hands against three
/// scripted players. The script sends the server's frames and, where the user
/// must act (be ready, claim or pass, discard), waits for the client's request
/// and answers it, so a person at a real client or a test can play it.
///
/// The lobby holds one table per ruleset under "101/Regular" (ids 511
/// classic, 512 international, 513 riichi) and, for the tournament scenario,
/// table 601 under "101/mtt/77". The user (id 1001) sits South; East (2001)
/// deals.
///
/// A strict peer: every frame the client sends must be one the script waits
/// for at that moment, with the right content (the offered meld, a tile the
/// user holds, an answer within its time), or one of the few requests a
/// person may make at any time (see the constructor). Anything else is
/// reported by `unexpected`. When the user's time to claim or to discard runs
/// out, the server says so and answers for the user, as the real one does.
class HandScenario : public QObject
{
    Q_OBJECT

public:
    enum class Kind {
        /// A hand with claims, a kong, riichi or bonus tiles, a scored end,
        /// then a second hand that washes out and ends the game.
        Hand,
        /// One hand that washes out.
        Washout,
        /// The user is removed from the table after the snapshot; joined
        /// again, the user is asked to play and the hand is dealt.
        Kick,
        /// The server seats the user at a tournament table after login; one
        /// hand, then the end of the tournament round. A later join of the
        /// table plays it again.
        Tournament,
    };

    static constexpr quint32 ownId = 1001;
    static constexpr quint32 eastId = 2001;
    static constexpr quint32 westId = 2003;
    static constexpr quint32 northId = 2004;
    static constexpr quint32 tournamentId = 77;
    static constexpr quint32 tournamentTable = 601;
    /// The lobby table of a ruleset (0 classic, 1 international, 2 riichi).
    static quint32 tableFor(int ruleset) { return 511 + quint32(ruleset); }
    /// The ruleset of a lobby table; -1 for an unknown id.
    static int rulesetOf(quint32 tableId);

    /// `paceMs` spaces the frames the server sends on its own (0: all at
    /// once); a person watching wants a few hundred milliseconds. `kickReason`
    /// is used by the kick scenario (3 is followed by a watch).
    HandScenario(TestGameServer& server, Kind kind, int paceMs = 0, quint16 kickReason = 1,
                 QObject* parent = nullptr);
    ~HandScenario() override;

    /// Also answers logins (class 10) like the lobby scenario, with id 1001.
    void answerLogins();

    /// The scenario name of a kind ("hand", "washout", "kick", "tournament");
    /// `fromName` returns false for an unknown name.
    static QString name(Kind kind);
    static bool fromName(const QString& name, Kind* kind);

    /// The tournament scenario lists its tournament (playing its first of
    /// three rounds) in the tournaments lobby; off, the lobby is empty and
    /// the seating names a tournament the client has no record of.
    void setListsTournament(bool lists) { m_listTournament = lists; }

    /// The time the user has to answer a claim offer and to discard (15 and
    /// 20 seconds by default), and to say ready (30, or the seat is lost).
    void setTimeLimits(int claimMs, int turnMs, int readyMs = 30000)
    {
        m_claimMs = claimMs;
        m_turnMs = turnMs;
        m_readyMs = readyMs;
    }

    /// The second hand offers the first one's claims again; the user says ready after its wash-out.
    void setLongerGame(bool longer) { m_longerGame = longer; }

    /// The seat notice that follows a join (it carries the table's record)
    /// comes `ms` after the table's snapshot instead of before it.
    void setRecordAfterSnapshot(int ms) { m_recordDelayMs = ms; }

    /// The table being played (0 before a join).
    quint32 table() const { return m_table; }
    /// Where the script waits: the name of the step, or "" when it runs or is done.
    QString waitingFor() const { return m_waiting; }
    bool isFinished() const { return m_finished; }

Q_SIGNALS:
    /// A step that waits for the user was reached.
    void waiting(const QString& step);
    /// Every scripted frame has been sent.
    void finished();
    /// A line for the server's log.
    void logged(const QString& line);
    /// The client sent a request the script does not expect at this point
    /// (also logged).
    void unexpected(const QString& line);

private:
    struct Step
    {
        QString name;
        std::function<void()> send;
        /// Request keys the step waits for: the class, or 1000 + the inner
        /// class of a game action. Empty: the step runs at once.
        QList<int> awaits;
        std::function<void(int key, TestFrameReader& inner)> received;
        /// The action the server takes for the user when the user's time
        /// runs out at this step (0: the step waits as long as it takes).
        int onTimeout = 0;
    };

    void onFrame(const ReceivedFrame& frame);
    void onGameAction(const ReceivedFrame& frame);
    void reject(const QString& line);
    /// Ends the waiting step with the user's action (or the one the server
    /// takes for the user).
    void take(int key, TestFrameReader& inner);
    void onTimeLimit(int serial);
    void run();
    void push(Step step);
    void pushFront(QList<Step> steps);
    void send(const TestFrame& frame);
    void sendGame(const TestFrame& inner);
    /// Follows what the table shows of each player (tile counts, ponds) and
    /// the last question put to the user, for a snapshot after a rejoin.
    void track(const TestFrame& inner);
    void sendSeatNotice();
    /// The answer to the join of a kept seat: the table's snapshot, the own
    /// hand and the question still open; the script goes on where it waits.
    void rejoin();
    /// A span from now that the user has to act in; its end is the deadline
    /// the server holds the user to.
    TestFrame& userTime(TestFrame& f, int ms);
    TestFrame offers(const QList<QPair<int, quint8>>& list);
    TestFrame ownTurn();
    Step discardStep(const QString& name);

    // The script.
    void scriptJoin(quint32 tableId);
    void scriptReadyAndStart(qint64 handId, bool newRound);
    void scriptDeal();
    void scriptClaimsAndDiscards();
    void scriptKongRiichiBonus();
    /// The user's draw and the discard that follows.
    QList<Step> ownTurnSteps(quint8 drawn, const QString& name);
    /// The user's claim of the offered tile with the `held` ones, shown by a
    /// frame of class `cls`, and the discard that follows.
    QList<Step> claimSteps(const QString& meld, quint8 cls, TestFrameReader& claim, quint8 offered,
                           const QList<quint8>& held);
    void scriptScoredEnd(qint64 handId, bool endOfGame);
    void scriptWashout(qint64 handId, bool endOfGame);

    TestGameServer& server;
    Kind kind;
    int paceMs;
    quint16 kickReason;
    int ruleset = 0;
    quint32 m_table = 0;
    bool m_listTournament = true;
    bool m_longerGame = false;
    std::deque<Step> steps;
    QString m_waiting;
    bool m_finished = false;
    bool running = false;
    bool paused = false;
    int m_recordDelayMs = -1;
    int m_claimMs = 15000;
    int m_turnMs = 20000;
    int m_readyMs = 30000;
    /// When the user's time to act ends (ms since the epoch).
    qint64 m_deadline = 0;
    bool m_offerHasChoices = false;
    bool m_handInPlay = false;
    bool m_kicked = false;
    /// The user's concealed tiles as the server dealt, drew and melded them.
    QList<quint8> m_hand;
    struct Seat
    {
        quint8 count = 0;
        QList<quint8> discards;
    };
    std::map<quint32, Seat> m_seats;
    quint32 m_lastDiscarder = 0;
    qint64 m_handId = 0;
    /// The last frame that asked the user to act, as it was sent.
    std::optional<TestFrame> m_prompt;
    bool m_seatKept = false;
    bool m_seatTold = false;
    /// Counts the steps taken, so a time limit knows whether its step is still open.
    int m_serial = 0;
};
