#include "RankingRequestQueue.h"

#include <algorithm>

RankingRequestQueue::RankingRequestQueue(std::function<void(qint32)> send, std::function<bool()> held,
                                         QObject* parent)
    : QObject(parent)
    , send(std::move(send))
    , held(std::move(held))
{
    clock.start();
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &RankingRequestQueue::sendDue);
}

RankingRequestQueue::~RankingRequestQueue() = default;

void RankingRequestQueue::request(qint32 tournamentId)
{
    State& state = states[tournamentId];
    if (state.wanted)
        return;
    state.wanted = true;
    schedule(tournamentId, state);
}

void RankingRequestQueue::answered(qint32 tournamentId)
{
    const auto it = states.find(tournamentId);
    if (it == states.end() || !it->second.awaiting)
        return;
    it->second.awaiting = false;
    if (it->second.wanted)
        schedule(tournamentId, it->second);
}

void RankingRequestQueue::resume()
{
    if (!waiting.empty())
        arm(clock.elapsed());
}

qint64 RankingRequestQueue::dueOf(const State& state) const
{
    if (state.sentAt < 0)
        return 0;
    return state.sentAt + (state.awaiting ? answerWaitMsecs : spacingMsecs);
}

void RankingRequestQueue::schedule(qint32 id, State& state)
{
    if (state.due >= 0) {
        const auto [first, last] = waiting.equal_range(state.due);
        const auto it = std::find_if(first, last, [id](const auto& entry) { return entry.second == id; });
        if (it != last)
            waiting.erase(it);
    }
    // Never in the turn that asked: the asks of one turn leave together.
    state.due = std::max(dueOf(state), clock.elapsed());
    waiting.emplace(state.due, id);
    arm(state.due);
}

void RankingRequestQueue::arm(qint64 due)
{
    if (armedFor >= 0 && armedFor <= due)
        return;
    armedFor = due;
    timer.start(int(std::max<qint64>(0, due - clock.elapsed())));
}

void RankingRequestQueue::sendDue()
{
    armedFor = -1;
    if (held())
        return;
    QElapsedTimer slice;
    slice.start();
    const qint64 now = clock.elapsed();
    while (!waiting.empty() && waiting.begin()->first <= now) {
        if (slice.elapsed() >= sliceMsecs)
            break;
        const qint32 id = waiting.begin()->second;
        waiting.erase(waiting.begin());
        State& state = states[id];
        state = State{now, true, false, -1};
        sentLog.emplace_back(now, id);
        ++sent;
        send(id);
    }
    forgetIdle(now);
    if (!waiting.empty())
        arm(std::max(waiting.begin()->first, clock.elapsed()));
}

void RankingRequestQueue::forgetIdle(qint64 now)
{
    // A state that is neither wanted nor holding a request back is not kept:
    // a server naming ever new tournaments does not make the map grow.
    while (!sentLog.empty() && sentLog.front().first + answerWaitMsecs <= now) {
        const auto [sentAt, id] = sentLog.front();
        sentLog.pop_front();
        const auto it = states.find(id);
        if (it != states.end() && it->second.sentAt == sentAt && !it->second.wanted)
            states.erase(it);
    }
}
