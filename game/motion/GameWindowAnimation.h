#pragma once

#include <QObject>

class QTimeLine;

/// A visible change of the table that takes time: a tile flying to a pond,
/// the winds moving to their seats, the deal. The action queue runs it as two
/// steps: start() begins the motion and makes the queue wait for finished();
/// end() brings every item to its final state at once. The time line ticks
/// every 20 ms.
class GameWindowAnimation : public QObject
{
    Q_OBJECT

public:
    explicit GameWindowAnimation(int durationMs);
    ~GameWindowAnimation() override;

    /// Begins the visible motion; when `instant` is false it starts the time line.
    virtual void start(bool instant) = 0;
    /// Brings every item to its final state at once.
    virtual void end(bool instant) = 0;

    /// Stops the time line and cuts every connection of finished(), so that
    /// an animation that has been ended can never wake the queue again.
    void halt();

    QTimeLine* timeLine() const { return m_timeLine; }

Q_SIGNALS:
    /// The time line ran to its end.
    void finished();

private:
    QTimeLine* m_timeLine;
};
