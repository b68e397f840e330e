#pragma once

#include <QObject>
#include <QTimer>

class ConnectionManager;

/// How long a request the player made may wait for its answer from the game
/// server. The time runs from the request, and after it from the last moment
/// the stream moved while it was behind (a frame coming in part, frames
/// waiting their turn): an answer queued behind what is still arriving is
/// waited for, and only a stream quiet for the whole time, or one that has
/// handed over all it had, gives the request up. The server's pings, handled
/// as they come, renew nothing.
class AnswerDeadline : public QObject
{
    Q_OBJECT

public:
    explicit AnswerDeadline(int limitMs, QObject* parent = nullptr);
    ~AnswerDeadline() override;

    /// The connection whose stream is watched; null (the default) makes the
    /// limit a plain time from the request. Not owned; it must outlive this.
    void setConnection(const ConnectionManager* connection) { watched = connection; }
    void setLimit(int ms) { limitMs = ms; }
    int limit() const { return limitMs; }

    /// Starts the time again for a new request.
    void start();
    void stop() { timer.stop(); }
    bool isActive() const { return timer.isActive(); }

Q_SIGNALS:
    /// The answer is given up: the limit passed with the stream quiet.
    void expired();

private:
    void onTimeout();

    QTimer timer;
    int limitMs;
    const ConnectionManager* watched = nullptr;
};
