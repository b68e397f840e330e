#include "TileView.h"

#include "ShadowGeometry.h"
#include "TileGraphics.h"
#include "TileImages.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QPainter>

#include <stdexcept>

TileView::TileView(int orientation, int type)
    : TileView(orientation, type, tile(0))
{
}

TileView::TileView(int orientation, int type, tile t)
    : m_painter(TileGraphics::instance().gamePainter())
    , m_tile(t)
    , m_orientation(orientation)
{
    ShadowGeometry::registerMetaType();
    m_painter->addListener(this);
    setType(type);
}

TileView::~TileView()
{
    if (m_painter)
        m_painter->removeListener(this);
}

void TileView::setTile(tile t)
{
    if (t == m_tile)
        return;
    m_tile = t;
    updateToolTip();
    update();
}

void TileView::setHighlighted(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

void TileView::setType(int type)
{
    if (type == m_type)
        return;
    prepareGeometryChange();
    m_type = type;
    refreshShadow();
    updateToolTip();
    update();
    setCursor(type == TileImages::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TileView::setOrientation(int orientation)
{
    if (orientation == m_orientation)
        return;
    prepareGeometryChange();
    m_orientation = orientation;
    refreshShadow();
    update();
}

void TileView::setPainter(TilePainter* painter)
{
    if (painter == m_painter)
        return;
    tileImagesAboutToChange(m_painter);
    if (m_painter)
        m_painter->removeListener(this);
    m_painter = painter;
    if (m_painter)
        m_painter->addListener(this);
    tileImagesChanged(m_painter);
}

TileSize3D TileView::size3D() const
{
    const TileImages* images = m_painter ? m_painter->tileImages() : nullptr;
    return images ? images->size3D(m_orientation, m_type) : TileSize3D();
}

TileGeometry TileView::tileGeometry() const
{
    return TileGeometry{scenePos(), m_type, m_orientation};
}

QRectF TileView::boundingRect() const
{
    const TileImages* images = m_painter ? m_painter->tileImages() : nullptr;
    return images ? images->rect(m_orientation, m_type) : QRectF();
}

void TileView::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (!m_painter)
        return;
    const QPoint origin(0, 0);
    switch (m_type) {
    case TileImages::Declared:
        m_painter->drawTile(painter, origin, m_tile, m_orientation, m_highlighted);
        break;
    case TileImages::Back:
        m_painter->drawBack(painter, origin, m_orientation);
        break;
    case TileImages::Turned:
        m_painter->drawTurnedTile(painter, origin, m_tile, m_orientation);
        break;
    case TileImages::Hand:
        m_painter->drawHandTile(painter, origin, m_tile, m_highlighted ? 1 : 0, isEnabled());
        break;
    case TileImages::Hidden:
        m_painter->drawHiddenTile(painter, origin, m_orientation);
        break;
    case TileImages::WallSingle:
    case TileImages::WallDouble:
    case TileImages::WallTriple:
        m_painter->drawWallStack(painter, origin, m_orientation, m_type - TileImages::WallSingle);
        break;
    case TileImages::NoPicture:
        break;
    case TileImages::WallDora:
        m_painter->drawDoraTile(painter, origin, m_tile, m_orientation);
        break;
    default:
        throw std::runtime_error("Invalid tile type!");
    }
}

void TileView::tileImagesAboutToChange(TilePainter*)
{
    prepareGeometryChange();
}

void TileView::tileImagesChanged(TilePainter*)
{
    refreshShadow();
    update();
}

void TileView::refreshShadow()
{
    const TileImages* images = m_painter ? m_painter->tileImages() : nullptr;
    if (m_type == TileImages::NoPicture || !images)
        setData(shadowDataKey, QVariant());
    else
        setData(shadowDataKey, QVariant::fromValue(images->shadow(m_orientation, m_type)));
}

void TileView::updateToolTip()
{
    // Concealed standing tiles and wall stacks never tell what they hide.
    if (m_type >= TileImages::Hidden && m_type <= TileImages::NoPicture)
        setToolTip(QString());
    else
        setToolTip(tileDisplayName(m_tile));
}
