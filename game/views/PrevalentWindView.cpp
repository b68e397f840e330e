#include "PrevalentWindView.h"

#include "WindIndicators.h"

#include "wind.h"

#include <cmath>

PrevalentWindView::PrevalentWindView()
{
    retranslate();
}

void PrevalentWindView::setWind(int wind)
{
    if (wind == m_wind)
        return;
    m_wind = wind;
    retranslate();
    update();
}

void PrevalentWindView::setScale(double scale)
{
    if (scale == m_scale)
        return;
    prepareGeometryChange();
    m_scale = scale;
    update();
}

int PrevalentWindView::width() const
{
    return int(std::ceil(62 * m_scale));
}

void PrevalentWindView::retranslate()
{
    setToolTip(prevalentWindText(m_wind));
}

QRectF PrevalentWindView::boundingRect() const
{
    return QRectF(0, 0, width(), width());
}

void PrevalentWindView::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    WindIndicators::drawPrevalent(painter, QPointF(0, 0), m_wind, m_scale);
}
