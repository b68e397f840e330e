#include "RiichiStickView.h"

#include "SvgDocument.h"

#include <QGraphicsSvgItem>
#include <QSvgRenderer>

namespace {

const QString stickId = QStringLiteral("stick");

QSvgRenderer* stickRenderer()
{
    static QSvgRenderer renderer(SvgDocument::read(QStringLiteral("resources:/riichi-stick.svg")));
    return &renderer;
}

} // namespace

RiichiStickView::RiichiStickView(int orientation)
    : m_orientationTransform(QTransform().rotate(-90.0 * orientation))
{
}

void RiichiStickView::setScale(double scale)
{
    if (scale == m_scale)
        return;
    m_scale = scale;
    layout();
}

void RiichiStickView::setCount(int n)
{
    n = qBound(0, n, maxCount);
    while (m_sticks.size() < n) {
        auto* stick = new QGraphicsSvgItem;
        stick->setSharedRenderer(stickRenderer());
        stick->setElementId(stickId);
        stick->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
        addChild(stick);
        m_sticks.append(stick);
    }
    m_count = n;
    for (int i = 0; i < m_sticks.size(); ++i)
        m_sticks[i]->setVisible(i < n);
    layout();
}

void RiichiStickView::layout()
{
    const QSizeF size = stickRenderer()->boundsOnElement(stickId).size();
    if (size.height() <= 0)
        return;
    const int t = int(m_scale * 15); // the stick's thickness
    const int length = int(t * size.width() / size.height());
    const double f = t / size.height();
    for (int i = 0; i < m_sticks.size(); ++i) {
        QGraphicsSvgItem* stick = m_sticks[i];
        stick->setTransform(m_orientationTransform * QTransform::fromScale(f, f));
        stick->setPos(m_orientationTransform.map(QPointF(-length, i * t)));
    }
}
