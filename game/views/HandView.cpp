#include "HandView.h"

#include "GameSounds.h"
#include "SvgDocument.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSvgItem>
#include <QSvgRenderer>

#include <algorithm>
#include <array>

namespace {

/// One renderer for every hand's frame, kept for the life of the process.
QSvgRenderer* frameRenderer()
{
    static QSvgRenderer* renderer = new QSvgRenderer(SvgDocument::read(QStringLiteral("resources:/frame.svg")));
    return renderer;
}

const TileImages* imagesOf(const TilePainter* painter)
{
    return painter != nullptr ? painter->tileImages() : nullptr;
}

int handHeightFrom(const TilePainter* painter)
{
    const TileImages* images = imagesOf(painter);
    if (images == nullptr)
        return 0;
    const int hi = int(images->rect(0, TileImages::Hand).height());
    return hi + hi / 6;
}

} // namespace

HandTile::HandTile(HandView* hand)
    : TileView(0, TileImages::Hand)
    , m_hand(hand)
{
    setAcceptHoverEvents(true);
}

void HandTile::lower()
{
    if (m_hoverOffset != 0) {
        setTransform(QTransform());
        m_hoverOffset = 0;
    }
}

void HandTile::refresh()
{
    lower();
    setEnabled(m_hand->isClickable(tileCode()));
}

void HandTile::hoverEnterEvent(QGraphicsSceneHoverEvent*)
{
    if (m_hoverOffset == 0 && m_hand->isClickable(tileCode())) {
        m_hoverOffset = hoverLift;
        setTransform(QTransform::fromTranslate(0, -hoverLift));
        GameSounds::instance().play(GameSounds::Hover);
    }
}

void HandTile::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    lower();
}

void HandTile::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
    if (m_hand->isActive())
        Q_EMIT m_hand->tileClicked(tileCode());
}

HandView::HandView()
    : m_frame(new QGraphicsSvgItem)
{
    // The tiles take their own hover and mouse events.
    setFiltersChildEvents(false);
    m_frame->setSharedRenderer(frameRenderer());
    m_frame->setElementId(QStringLiteral("frame"));
    m_frame->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    m_frame->setZValue(-1.0);
    addChild(m_frame);
    setTiles({});
}

HandView::~HandView() = default;

int HandView::tileWidth() const
{
    const TileImages* images = imagesOf(TileGraphics::instance().gamePainter());
    return images != nullptr ? std::max(images->size3D(0, TileImages::Hand).width, 0) : 0;
}

int HandView::tileHeight() const
{
    const TileImages* images = imagesOf(TileGraphics::instance().gamePainter());
    return images != nullptr ? int(images->rect(0, TileImages::Hand).height()) : 0;
}

int HandView::height()
{
    return handHeightFrom(TileGraphics::instance().gamePainter());
}

int HandView::baseHeight()
{
    return handHeightFrom(TileGraphics::instance().basePainter());
}

bool HandView::isClickable(tile t) const
{
    return m_active && (m_allowed.empty() || std::find(m_allowed.begin(), m_allowed.end(), t) != m_allowed.end());
}

void HandView::setTiles(const tile_vector& input)
{
    tile_vector sorted = input;
    std::sort(sorted.begin(), sorted.end(), [](tile a, tile b) { return a.code() < b.code(); });
    const std::size_t n = sorted.size();
    const int w = tileWidth();
    while (m_tiles.size() < n) {
        auto* item = new HandTile(this);
        addChild(item);
        item->setPos(-double(m_tiles.size() + 1) * w, 0);
        m_tiles.push_back(item);
    }
    while (m_tiles.size() > n) {
        HandTile* item = m_tiles.back();
        m_tiles.pop_back();
        if (QGraphicsScene* s = item->scene())
            s->removeItem(item);
        delete item;
    }
    layoutFrame(int(n));
    for (std::size_t i = 0; i < n; ++i) {
        m_tiles[i]->setTile(sorted[n - 1 - i]);
        m_tiles[i]->refresh();
    }
}

void HandView::setTiles(const tile_vector& hand, const tile_vector& drawn)
{
    setTiles(hand);
    clearHighlights();
    if (!isMarkingDrawnTiles())
        return;
    for (tile t : drawn)
        highlightTile(t);
}

tile_vector HandView::tiles() const
{
    tile_vector codes;
    codes.reserve(m_tiles.size());
    for (const HandTile* item : m_tiles)
        codes.push_back(item->tileCode());
    return codes;
}

void HandView::setActive(bool active)
{
    if (m_active == active)
        return;
    if (!active)
        setAllowedTiles({});
    m_active = active;
    for (HandTile* item : m_tiles)
        item->refresh();
}

void HandView::setAllowedTiles(const tile_vector& tiles)
{
    m_allowed = tiles;
    for (HandTile* item : m_tiles)
        item->refresh();
}

void HandView::highlightTile(tile t)
{
    for (HandTile* item : m_tiles) {
        if (item->tileCode() == t && !item->isHighlighted()) {
            item->setHighlighted(true);
            return;
        }
    }
}

void HandView::clearHighlights()
{
    for (HandTile* item : m_tiles)
        item->setHighlighted(false);
}

void HandView::updateToolTips()
{
    for (HandTile* item : m_tiles)
        item->updateToolTip();
}

void HandView::relayout()
{
    const int w = tileWidth();
    for (std::size_t i = 0; i < m_tiles.size(); ++i)
        m_tiles[i]->setPos(-double(i + 1) * w, 0);
    layoutFrame(int(m_tiles.size()));
}

void HandView::layoutFrame(int n)
{
    m_frame->setParentItem(this);
    m_frame->setTransform(QTransform());
    const TileImages* images = imagesOf(TileGraphics::instance().gamePainter());
    const int hi = images != nullptr ? int(images->rect(0, TileImages::Hand).height()) : 0;
    QSvgRenderer* renderer = frameRenderer();
    QRectF area = m_frame->boundingRect();
    if (renderer->elementExists(QStringLiteral("frameArea")) && renderer->elementExists(QStringLiteral("frame"))) {
        const QRectF frame = renderer->boundsOnElement(QStringLiteral("frame"));
        area = renderer->boundsOnElement(QStringLiteral("frameArea")).translated(-frame.topLeft());
    }
    const int w = n * tileWidth();
    const int m = tileWidth() / 2;
    m_frame->setPos(-(w + m), hi / 6);
    if (area.width() > 0 && area.height() > 0) {
        QTransform t;
        t.scale((w + 2.0 * m) / area.width(), hi / area.height());
        t.translate(-area.x(), -area.y());
        m_frame->setTransform(t);
    }
    m_frame->setVisible(n != 0);
}

QPointF HandView::anchor() const
{
    const int n = int(m_tiles.size());
    const QPointF p = pos();
    return QPointF(p.x() - ((n - 1) * tileWidth()) / 2, p.y());
}

int HandView::insertionSteps(const tile_vector& fromRight, tile t)
{
    int c = 1;
    std::size_t i = 0;
    while (i < fromRight.size() && fromRight[i].code() > t.code()) {
        c += 2;
        ++i;
    }
    while (i < fromRight.size() && fromRight[i].code() == t.code()) {
        c += 1;
        ++i;
    }
    return c;
}

QPointF HandView::insertionPoint(int steps) const
{
    const TileImages* images = imagesOf(TileGraphics::instance().gamePainter());
    const int ht = images != nullptr ? std::max(images->size3D(0, TileImages::Hand).height, 0) : 0;
    const QPointF p = pos();
    return QPointF(p.x() - (tileWidth() * steps) / 2, p.y() - ht / 2);
}

std::vector<TileGeometry> HandView::sourceGeometry(const std::vector<tile>& list)
{
    // The hand is counted once per code, so that the places of many tiles
    // cost one walk of the hand rather than one per tile: the steps of
    // insertionSteps are 1, 2 per higher tile and 1 per equal one.
    std::array<int, 256> equal{};
    for (const HandTile* item : m_tiles)
        ++equal[item->tileCode().code()];
    std::array<int, 256> higher{};
    for (std::size_t code = higher.size() - 1; code-- > 0;)
        higher[code] = higher[code + 1] + equal[code + 1];
    std::vector<TileGeometry> out;
    out.reserve(list.size());
    for (tile t : list) {
        const int steps = 1 + 2 * higher[t.code()] + equal[t.code()];
        out.push_back(TileGeometry{insertionPoint(steps), TileImages::Hand, 0});
    }
    return out;
}

std::vector<TileGeometry> HandView::sourceGeometry(int)
{
    return {};
}

void HandView::takeTiles(const std::vector<tile>& list)
{
    // Of each code the tiles nearest the left end go: from the highest index
    // down, as many as the list names.
    std::array<int, 256> wanted{};
    for (tile t : list)
        ++wanted[t.code()];
    const tile_vector current = tiles();
    tile_vector kept;
    kept.reserve(current.size());
    for (auto it = current.rbegin(); it != current.rend(); ++it) {
        if (wanted[it->code()] > 0)
            --wanted[it->code()];
        else
            kept.push_back(*it);
    }
    if (kept.size() != current.size())
        setTiles(kept);
}

void HandView::takeTiles(int)
{
}

std::vector<TileGeometry> HandView::targetGeometry(const std::vector<tile>& list)
{
    return sourceGeometry(list);
}

std::vector<TileGeometry> HandView::targetGeometry(int)
{
    return {};
}

void HandView::putTiles(const std::vector<tile>& list)
{
    tile_vector current = tiles();
    current.insert(current.end(), list.begin(), list.end());
    setTiles(current);
}

void HandView::putTiles(int)
{
}
