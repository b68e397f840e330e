#include "TimerView.h"

#include "ServerTime.h"

#include <QConicalGradient>
#include <QPainter>

#include <algorithm>
#include <chrono>

TimerView::TimerView(QWidget* parent, Qt::WindowFlags flags, DisplayType displayType, PieType pieType)
    : QWidget(parent, flags)
    , m_ticker(this)
    , m_displayType(displayType)
    , m_pieType(pieType)
{
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        // A hidden dial is never repainted: its ticker stops here, or it
        // would tick on long after its deadline.
        if (remaining() == 0)
            m_ticker.stop();
        update();
    });
}

TimerView::~TimerView() = default;

void TimerView::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void TimerView::setMonotonicClock(MonotonicClock clock)
{
    m_monotonic = std::move(clock);
}

QDateTime TimerView::now() const
{
    return m_clock ? m_clock() : ServerTime::currentTime();
}

qint64 TimerView::monotonicNow() const
{
    if (m_monotonic)
        return m_monotonic();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TimerView::setTimeSpan(const TimeSpan& ts)
{
    m_end = ts.end();
    if (m_end.isValid()) {
        const QDateTime current = now();
        const QDateTime start = ts.start().isValid() ? ts.start() : current;
        m_total = std::max<qint64>(0, msecsBetween(start, m_end));
        m_leftAtStart = std::max<qint64>(0, msecsBetween(current, m_end));
        m_startedAt = monotonicNow();
        if (m_total != 0) {
            m_ticker.setInterval(m_displayType == DEC_COUNTER ? 1000 : int(std::max<qint64>(m_total / 100, 100)));
            m_ticker.start();
        } else {
            m_ticker.stop();
        }
    } else {
        // A cleared countdown stops at once, shown or not.
        m_total = 0;
        m_ticker.stop();
    }
    update();
}

void TimerView::setDeadline(const QDateTime& end)
{
    setTimeSpan(TimeSpan(now(), end));
}

void TimerView::setDisplayType(DisplayType type)
{
    m_displayType = type;
    update();
}

void TimerView::setPieType(PieType type)
{
    m_pieType = type;
    update();
}

void TimerView::setSolidColor(const QColor& color)
{
    m_solidColor = color;
    update();
}

qint64 TimerView::remaining() const
{
    if (!m_end.isValid())
        return 0;
    return std::max<qint64>(0, m_leftAtStart - (monotonicNow() - m_startedAt));
}

QString TimerView::counterText() const
{
    const qint64 seconds = (remaining() + 500) / 1000;
    return seconds > 0 ? QStringLiteral("%L1").arg(seconds) : QString();
}

void TimerView::paintEvent(QPaintEvent*)
{
    const qint64 left = remaining();
    const double fraction = m_total > 0 ? double(left) / double(m_total) : 0.0;
    // The ticker stops at the first repaint after the deadline.
    if (m_ticker.isActive() && left == 0)
        m_ticker.stop();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_displayType == PIE) {
        // A dial is round whatever room its layout gives: the largest circle
        // centred in the widget.
        const qreal side = std::min(width(), height());
        const QRectF dial((width() - side) / 2, (height() - side) / 2, side, side);
        if (m_pieType == GRADIENT) {
            QConicalGradient gradient(dial.center(), 90);
            gradient.setColorAt(0.0, Qt::red);
            gradient.setColorAt(0.3, Qt::yellow);
            gradient.setColorAt(1.0, Qt::white);
            painter.setBrush(gradient);
        } else {
            painter.setBrush(m_solidColor);
        }
        painter.setPen(Qt::NoPen);
        if (fraction > 0)
            painter.drawPie(dial, 90 * 16, int(fraction * 5760));
    } else if (m_displayType == DEC_COUNTER) {
        const qint64 seconds = (left + 500) / 1000;
        if (seconds > 0) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("%L1").arg(seconds));
        }
    }
}
