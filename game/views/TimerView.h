#pragma once

#include "TimeSpan.h"

#include <QColor>
#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

/// The countdown of a time limit: a pie that shrinks as the time runs out,
/// or the seconds left as a number. What is left when a deadline arrives is
/// read against the server's clock (`ServerTime`), so every player sees the
/// same deadline; from then on it is counted down by a monotonic clock, so
/// that the machine's clock set forward or back changes nothing. A pie repaints
/// about a hundred times per countdown but at most ten times a second; the
/// number repaints every second. Nothing is drawn without a deadline ahead.
class TimerView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(DisplayType displayType READ displayType WRITE setDisplayType)
    Q_PROPERTY(PieType pieType READ pieType WRITE setPieType)
    Q_PROPERTY(QColor solidColor READ solidColor WRITE setSolidColor)

public:
    /// DEC_COUNTER: the whole seconds left; PIE: a shrinking sector.
    enum DisplayType { DEC_COUNTER = 0, PIE = 1 };
    Q_ENUM(DisplayType)
    /// GRADIENT: red through yellow to white; SOLID: one colour (solidColor).
    enum PieType { GRADIENT = 0, SOLID = 1 };
    Q_ENUM(PieType)

    using Clock = std::function<QDateTime()>;
    /// Milliseconds from any fixed point, never going back.
    using MonotonicClock = std::function<qint64()>;

    explicit TimerView(QWidget* parent = nullptr, Qt::WindowFlags flags = {}, DisplayType displayType = PIE,
                       PieType pieType = GRADIENT);
    ~TimerView() override;

    /// Counts down to the span's end, from its start (the server's current
    /// time when the span has none). An empty span clears the countdown.
    void setTimeSpan(const TimeSpan& ts);
    /// Counts down to `end` from the server's current time.
    void setDeadline(const QDateTime& end);

    DisplayType displayType() const { return m_displayType; }
    void setDisplayType(DisplayType type);
    PieType pieType() const { return m_pieType; }
    void setPieType(PieType type);
    QColor solidColor() const { return m_solidColor; }
    void setSolidColor(const QColor& color);

    /// The length of the current countdown in ms; 0 for none.
    qint64 total() const { return m_total; }
    /// The deadline; invalid for none.
    QDateTime deadline() const { return m_end; }
    /// Milliseconds left at the clock's current time, at least 0.
    qint64 remaining() const;
    /// The repaint ticker (running while a countdown is under way).
    const QTimer& ticker() const { return m_ticker; }
    /// The text the number display draws now; empty when it draws nothing.
    QString counterText() const;

    /// The clock the countdowns read: `ServerTime::currentTime` unless set.
    void setClock(Clock clock);
    /// The clock the time left is counted down by: a steady clock unless set.
    void setMonotonicClock(MonotonicClock clock);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QDateTime now() const;
    qint64 monotonicNow() const;

    QTimer m_ticker;
    qint64 m_total = 0;
    QDateTime m_end;
    DisplayType m_displayType = PIE;
    PieType m_pieType = GRADIENT;
    QColor m_solidColor = Qt::white;
    Clock m_clock;
    MonotonicClock m_monotonic;
    /// What was left of the countdown when it arrived, and when that was.
    qint64 m_leftAtStart = 0;
    qint64 m_startedAt = 0;
};
