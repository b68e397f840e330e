#include "WindView.h"

#include "WindIndicators.h"
#include "wind.h"

#include <QPainter>

#include <cmath>

WindView::WindView(int orientation)
    : m_orientation(orientation)
{
    setToolTip(windDisplayName(m_wind));
}

void WindView::setWind(int wind)
{
    if (wind == m_wind)
        return;
    m_wind = wind;
    setToolTip(windDisplayName(wind));
    update();
}

void WindView::setGlow(bool glow)
{
    if (glow == m_glow)
        return;
    m_glow = glow;
    update();
}

void WindView::setScale(double scale)
{
    if (scale == m_scale)
        return;
    prepareGeometryChange();
    m_scale = scale;
    update();
}

int WindView::width() const
{
    return int(std::ceil(m_scale * 62));
}

int WindView::height() const
{
    return width();
}

QRectF WindView::boundingRect() const
{
    return QRectF(0, 0, width(), height());
}

void WindView::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QSizeF max = WindIndicators::maxSize();
    if (max.width() <= 0 || max.height() <= 0)
        return;
    // The largest of the pictures fills the square; all turn with the seat.
    const QTransform t = QTransform::fromScale(1 / max.width(), 1 / max.height()) * QTransform().rotate(-90.0 * m_orientation);
    const QString wind = WindIndicators::windElement(m_wind);
    painter->drawPixmap(QPointF(0, 0), WindIndicators::cachedPixmap(QStringLiteral("blank"), m_scale, t, m_orientation));
    if (!wind.isEmpty())
        painter->drawPixmap(QPointF(0, 0), WindIndicators::cachedPixmap(wind, m_scale, t, m_orientation));
    if (m_glow)
        painter->drawPixmap(QPointF(0, 0), WindIndicators::cachedPixmap(QStringLiteral("glow"), m_scale, t, m_orientation));
}
