#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <utility>

/// The standings requests of the tournament side, held to what a server can
/// be asked: at most one request per tournament while its answer is awaited
/// or within spacingMsecs of the last one, none while `held` says a list is
/// still coming in, and a long batch sent over several turns of the event
/// loop. A tournament asked for again meanwhile is asked once more, as soon
/// as the rules allow.
class RankingRequestQueue : public QObject
{
    Q_OBJECT

public:
    /// Least time between two requests for one tournament.
    static constexpr qint64 spacingMsecs = 1000;
    /// How long an unanswered request holds the next one back.
    static constexpr qint64 answerWaitMsecs = 10000;
    /// Most time spent sending in one turn of the event loop.
    static constexpr qint64 sliceMsecs = 30;

    /// `send` writes the request for one tournament; nothing is sent while
    /// `held` returns true (call resume() when that ends).
    RankingRequestQueue(std::function<void(qint32)> send, std::function<bool()> held, QObject* parent = nullptr);
    ~RankingRequestQueue() override;

    /// Asks for the tournament's standings: sent in a later turn, once
    /// however often it is asked for before it leaves.
    void request(qint32 tournamentId);
    /// The tournament's standings arrived; its next request may leave
    /// spacingMsecs after the last.
    void answered(qint32 tournamentId);
    /// What held the requests back is over: the due ones leave in the next turn.
    void resume();
    /// Requests sent so far.
    int sentCount() const { return sent; }

private:
    struct State
    {
        qint64 sentAt = -1;
        bool awaiting = false;
        bool wanted = false;
        qint64 due = -1;
    };

    void sendDue();
    qint64 dueOf(const State& state) const;
    void schedule(qint32 id, State& state);
    void arm(qint64 due);
    void forgetIdle(qint64 now);

    std::function<void(qint32)> send;
    std::function<bool()> held;
    QElapsedTimer clock;
    QTimer timer;
    /// When the timer fires (clock time); -1 while it is stopped.
    qint64 armedFor = -1;
    std::map<qint32, State> states;
    /// Wanted requests by the time they may leave.
    std::multimap<qint64, qint32> waiting;
    /// Sent requests, oldest first, so that idle states are forgotten.
    std::deque<std::pair<qint64, qint32>> sentLog;
    int sent = 0;
};
