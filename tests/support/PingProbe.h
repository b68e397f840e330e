#pragma once
// The game server's ping, as a benchmark sees whether the connection keeps
// answering under a burst: a ping every interval, and the longest wait for
// its answer.

#include "TestFrame.h"
#include "TestGameServer.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <map>

class PingProbe
{
public:
    /// Pings the server's client every `intervalMs` from now on; the answers
    /// are taken by this probe (class 7).
    explicit PingProbe(TestGameServer& server, int intervalMs = 100)
        : server(server)
    {
        server.onRequest(7, [this](const ReceivedFrame& frame) {
            const auto it = sent.find(frame.reader().u32());
            if (it == sent.end())
                return;
            longest = std::max(longest, it->second.nsecsElapsed());
            sent.erase(it);
        });
        QObject::connect(&timer, &QTimer::timeout, [this] { ping(); });
        timer.start(intervalMs);
    }

    /// Sends one ping now, behind whatever the server sent before.
    void ping()
    {
        if (server.send(TestFrame(7).u32(next)))
            sent[next].start();
        ++next;
    }

    /// Starts the longest wait over; pings sent before are left out.
    void restart()
    {
        sent.clear();
        longest = 0;
    }

    /// The longest wait for an answer in milliseconds, a ping still
    /// unanswered counted until now.
    double longestMs() const
    {
        qint64 wait = longest;
        for (const auto& [value, clock] : sent)
            wait = std::max(wait, clock.nsecsElapsed());
        return double(wait) / 1e6;
    }

private:
    TestGameServer& server;
    QTimer timer;
    std::map<quint32, QElapsedTimer> sent;
    quint32 next = 1;
    qint64 longest = 0;
};
