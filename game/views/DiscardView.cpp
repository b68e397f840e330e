#include "DiscardView.h"

#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QGraphicsScene>

namespace {
constexpr int rowLength = 6;
}

DiscardView::DiscardView(int orientation)
    : m_orientation(orientation)
{
}

DiscardView::~DiscardView()
{
    for (TileView* t : tiles)
        delete t;
}

QSizeF DiscardView::elementSize(int kind) const
{
    const TileImages* images = TileGraphics::instance().gamePainter()->tileImages();
    return images ? images->rect(m_orientation, kind).size() : QSizeF();
}

QPointF DiscardView::tilePosition(int i) const
{
    const QSizeF upright = elementSize(TileImages::Declared);
    const QSizeF turned = elementSize(TileImages::Turned);
    const double w = upright.width(), h = upright.height();
    const double w2 = turned.width(), h2 = turned.height();
    const int row = i / rowLength;
    const int col = i % rowLength;
    double x = 0, y = 0;
    switch (m_orientation) {
    case 0:
        x = w * col;
        y = (row - 1) * h;
        break;
    case 1:
        x = (row - 1) * w;
        y = -(col + 1) * h;
        break;
    case 2:
        x = -(col + 1) * w;
        y = -row * h;
        break;
    default:
        x = -row * w;
        y = col * h;
        break;
    }
    if (i == m_riichiIndex) {
        switch (m_orientation) {
        case 1:
            y -= h2 - h;
            break;
        case 2:
            x -= w2 - w;
            y -= h2 - h;
            break;
        case 3:
            x += w - w2;
            break;
        default:
            break;
        }
    }
    // Tiles after the turned one in its row make room for its greater length.
    if (m_riichiIndex >= row * rowLength && m_riichiIndex < row * rowLength + rowLength
        && m_riichiIndex % rowLength < col) {
        switch (m_orientation) {
        case 0:
            x += w2 - w;
            break;
        case 1:
            y -= h2 - h;
            break;
        case 2:
            x -= w2 - w;
            break;
        default:
            y += h2 - h;
            break;
        }
    }
    return QPointF(x, y);
}

double DiscardView::zValueFor(int i) const
{
    switch (m_orientation) {
    case 0:
        return i;
    case 1:
        return (i / rowLength + 1) * rowLength - i;
    case 2:
        return -i;
    default:
        return i % rowLength;
    }
}

QPointF DiscardView::rowOffset(int n) const
{
    const int rows = n > 0 ? (n - 1) / rowLength : 0;
    const QSizeF upright = elementSize(TileImages::Declared);
    const double w = upright.width(), h = upright.height();
    QPointF offset;
    switch (m_orientation) {
    case 0:
        offset = QPointF(0, -rows * h);
        break;
    case 1:
        offset = QPointF(-rows * w, 0);
        break;
    case 2:
        offset = QPointF(0, rows * h);
        break;
    default:
        offset = QPointF(rows * w, 0);
        break;
    }
    return offset;
}

void DiscardView::applyRowOffset()
{
    const QPointF offset = rowOffset(int(tiles.size()));
    setTransform(QTransform::fromTranslate(offset.x(), offset.y()));
}

void DiscardView::addTile(tile t)
{
    if (!tiles.empty())
        tiles.back()->setHighlighted(false);
    const int i = int(tiles.size());
    auto* view = new TileView(m_orientation, i == m_riichiIndex ? TileImages::Turned : TileImages::Declared, t);
    tiles.push_back(view);
    addChild(view);
    view->setPos(tilePosition(i));
    view->setZValue(zValueFor(i));
    applyRowOffset();
    updateShadow();
}

tile DiscardView::takeLast()
{
    tile last = 0;
    if (!tiles.empty()) {
        TileView* view = tiles.back();
        view->setHighlighted(false);
        last = view->tileCode();
        if (view->scene() != nullptr)
            view->scene()->removeItem(view);
        delete view;
        tiles.pop_back();
    }
    applyRowOffset();
    updateShadow();
    return last;
}

void DiscardView::clear()
{
    for (TileView* view : tiles) {
        if (view->scene() != nullptr)
            view->scene()->removeItem(view);
        delete view;
    }
    tiles.clear();
    applyRowOffset();
    updateShadow();
}

void DiscardView::setDiscards(const std::vector<tile>& discards, int riichiIndex)
{
    clear();
    m_riichiIndex = riichiIndex;
    for (tile t : discards)
        addTile(t);
}

void DiscardView::markNextAsRiichi()
{
    m_riichiIndex = int(tiles.size());
}

void DiscardView::markLastAsRiichi()
{
    // An empty pond has nothing to turn.
    if (tiles.empty())
        return;
    const tile t = takeLast();
    m_riichiIndex = int(tiles.size());
    addTile(t);
}

void DiscardView::setActive(bool active)
{
    if (!tiles.empty())
        tiles.back()->setHighlighted(active);
}

void DiscardView::relayout()
{
    for (std::size_t i = 0; i < tiles.size(); ++i)
        tiles[i]->setPos(tilePosition(int(i)));
    applyRowOffset();
    updateShadow();
}

std::vector<TileGeometry> DiscardView::arrivalGeometry(const std::vector<tile>&)
{
    // Where the tile will stand once added: a tile that opens a new row moves
    // the pond by one row as it lands, so the flight ends where it stays.
    const int i = int(tiles.size());
    const QPointF local = tilePosition(i) + rowOffset(i + 1) - rowOffset(i);
    return {TileGeometry{mapToScene(local), TileImages::Declared, m_orientation}};
}

void DiscardView::receive(const std::vector<tile>& arriving)
{
    if (!arriving.empty())
        addTile(arriving.front());
}

std::vector<TileGeometry> DiscardView::departureGeometry(int)
{
    if (tiles.empty())
        return {};
    return {tiles.back()->tileGeometry()};
}

void DiscardView::giveUp(int)
{
    takeLast();
}
