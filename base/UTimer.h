#pragma once

#include <QDateTime>
#include <QObject>

class QTimer;
class TimeSpan;

/// A countdown to a deadline that ticks every second. What is left is read
/// against the server's clock when the countdown starts and from then on
/// counted down by the process's monotonic clock, so that a time sync or a
/// moved estimate changes nothing of a countdown under way.
class UTimer : public QObject
{
    Q_OBJECT

public:
    explicit UTimer(QObject* parent = nullptr);

    /// Starts counting down to the span's end (restarting when running).
    void start(const TimeSpan& span);
    /// Stops a running countdown without further signals.
    void stop();

    bool isRunning() const;

Q_SIGNALS:
    /// Once at the start, then every second, last with left_ms 0.
    void update(int left_ms, int timeout_ms);
    /// The deadline has passed; follows the last update().
    void timeout();

public Q_SLOTS:
    void intervalTimeout();

private:
    QTimer* timer = nullptr;
    qint64 total = 0;
    int interval = 1000;
    QDateTime deadline;
    /// What was left when the countdown started, and when that was (monotonic).
    qint64 leftAtStart = 0;
    qint64 startedAt = 0;
};
