#pragma once
// The game server's ping every 100 ms, and the longest wait for an answer.
// Each ping is written at once: the server shares the client's thread, and
// would otherwise add a turn of the client's to every wait.

#include "TestGameServer.h"

#include <QElapsedTimer>
#include <QTimer>

#include <map>

class PingProbe
{
public:
    explicit PingProbe(TestGameServer& server)
        : server(server)
    {
        server.onRequest(7, [this](const ReceivedFrame& frame) { answered(frame.reader().u32()); });
        QObject::connect(&timer, &QTimer::timeout, [this] { ping(); });
        timer.start(100);
    }
    /// Sends one now, behind whatever the server sent before.
    void ping()
    {
        if (server.send(TestFrame(7).u32(++last))) {
            server.flush();
            sent[last].start();
        }
    }
    /// Leaves out the pings sent so far.
    void restart() { sent.clear(); longest = 0; }
    /// The longest wait in milliseconds, one still unanswered counted until now.
    double longestMs()
    {
        for (const auto& [value, clock] : sent)
            longest = std::max(longest, clock.nsecsElapsed());
        return double(longest) / 1e6;
    }

private:
    void answered(quint32 value)
    {
        if (const auto it = sent.find(value); it != sent.end()) {
            longest = std::max(longest, it->second.nsecsElapsed());
            sent.erase(it);
        }
    }

    TestGameServer& server;
    QTimer timer;
    std::map<quint32, QElapsedTimer> sent;
    quint32 last = 0;
    qint64 longest = 0;
};
