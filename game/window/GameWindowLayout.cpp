// The table window's layout: the size the table needs at its tiles' natural
// scale, the scale that fits the window, where every part of the table goes,
// and the relayout that follows the window's size and the tile set.

#include "GameWindow.h"

#include "DealStartHandAnimation.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "GameGraphicsScene.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "PlayerActionView.h"
#include "PlayerInactiveWindow.h"
#include "PrevalentWindView.h"
#include "RiichiStickView.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "TableBackground.h"
#include "TableWall.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TimerView.h"
#include "WaitingForPlayersWindow.h"
#include "WallView.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"
#include "WindView.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QLinearGradient>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

/// The width of the bottom seat's single wall tile in the current set, a
/// third of it in whole units: the spacing the table keeps between its parts.
int wallTileThird(TilePainter* painter)
{
    const TileImages* images = painter ? painter->tileImages() : nullptr;
    const int w = images ? images->size3D(0, TileImages::WallSingle).width : 28;
    return std::max(0, w) / 3;
}

/// Lays the cloth for the view's size: at once (stretched while the exact
/// one is rendered elsewhere, so a resize never waits for it), then exact.
/// A window out of sight is dressed as it shows: the size it still has may
/// be an old one, and every table shares one cloth.
void dressTable(QGraphicsScene* scene, QGraphicsView* view, QObject* window)
{
    const QRectF r = view->sceneRect();
    scene->setBackgroundBrush(quickBackgroundBrush(int(r.width()), int(r.height()), window, [scene, view, window] {
        if (view->isVisible())
            dressTable(scene, view, window);
    }));
}

/// Where an overlay was last put, and the share of the free room that put
/// it there: kept on the overlay itself, for as long as it lives.
constexpr const char* overlayShareProperty = "overlayShare";
constexpr const char* overlayPlacedProperty = "overlayPlacedAt";

/// The share (0 to 1) of `room` free pixels that lie before an overlay at
/// `pos`; `kept` when there is no room to share.
double shareOf(int pos, int room, double kept)
{
    return room > 0 ? std::clamp(double(pos) / room, 0.0, 1.0) : kept;
}

/// Where an overlay stands in the room the page (`page`, the size it had)
/// leaves it, per axis: 0 at the left or top, 1 at the right or bottom.
QPointF overlayShare(const QWidget* overlay, const QSize& page)
{
    // Left where it was put, the overlay keeps the share it was put at:
    // one read back from whole pixels drifts with every resize, and one
    // larger than the page has none to read.
    const QVariant kept = overlay->property(overlayShareProperty);
    if (kept.isValid() && overlay->property(overlayPlacedProperty).toPoint() == overlay->pos())
        return kept.toPointF();
    const QPointF fallback = kept.isValid() ? kept.toPointF() : QPointF(0.5, 0.5);
    return {shareOf(overlay->x(), page.width() - overlay->width(), fallback.x()),
            shareOf(overlay->y(), page.height() - overlay->height(), fallback.y())};
}

/// Puts an overlay at its share of the room the page leaves it: wholly on
/// the page, or, larger than the page, at its top left.
void placeOverlay(QWidget* overlay, const QPointF& share, const QSize& page)
{
    const int roomX = page.width() - overlay->width(), roomY = page.height() - overlay->height();
    const QPoint at(roomX > 0 ? int(std::lround(share.x() * roomX)) : 0,
                    roomY > 0 ? int(std::lround(share.y() * roomY)) : 0);
    overlay->move(at);
    overlay->setProperty(overlayShareProperty, share);
    overlay->setProperty(overlayPlacedProperty, at);
}

} // namespace

QList<QWidget*> GameWindow::overlays() const
{
    QList<QWidget*> all{m_watching, m_waiting, m_seated, m_inactive, m_scoreBoard,
                        m_washout,  m_roundScore, m_auction};
    if (m_leaveQuestion)
        all << m_leaveQuestion;
    return all;
}

QSize GameWindow::naturalTableSize() const
{
    const TilePainter* base = TileGraphics::instance().basePainter();
    const TileImages* images = base ? base->tileImages() : nullptr;
    const int wall = images ? images->size3D(0, TileImages::WallSingle).width : 28;
    const int q = std::max(0, wall) / 3 * 3;
    const int margin = std::max(0, HandView::baseHeight() - DeclaredView::reservedHeight(0) / 2);
    const QSize walls = m_walls->baseSize();
    const int width = DeclaredView::reservedWidth(3) + DeclaredView::reservedWidth(1) + q + walls.width();
    const int height = DeclaredView::reservedHeight(2) + DeclaredView::reservedHeight(0) + q + walls.height() + margin;
    return QSize(std::max(1, width), std::max(1, height));
}

void GameWindow::setTableSize(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    m_view->setSceneRect(0, 0, width, height);
    m_view->resetTransform();
    const QSize natural = naturalTableSize();
    const double scale = std::min(double(width) / natural.width(), double(height) / natural.height());
    TileGraphics::instance().setGameScale(scale);
    const double s = TileGraphics::instance().gameScale();
    for (WindView* w : m_winds)
        w->setScale(s);
    m_prevalent->setScale(1.5 * s);
    const int side = int(0.67 * m_hand->tileHeight());
    m_timer->resize(side, side);

    QLinearGradient top(0, 0, 0, 8);
    top.setColorAt(0, QColor(0, 0, 0, 100));
    top.setColorAt(1, QColor(0, 0, 0, 0));
    m_topShadow->setBrush(top);
    m_topShadow->setPen(Qt::NoPen);
    m_topShadow->setRect(0, 0, width, 8);
    QLinearGradient bottom(0, height, 0, height - 8);
    bottom.setColorAt(0, QColor(0, 0, 0, 100));
    bottom.setColorAt(1, QColor(0, 0, 0, 0));
    m_bottomShadow->setBrush(bottom);
    m_bottomShadow->setPen(Qt::NoPen);
    m_bottomShadow->setRect(0, height - 8, width, 8);
}

void GameWindow::layoutTable()
{
    m_layoutStale = false;
    const double s = TileGraphics::instance().gameScale();
    const QRectF sceneRect = m_view->sceneRect();
    const QPointF c(std::round(sceneRect.center().x()), std::round(sceneRect.center().y()));
    const int margin = std::max(0, HandView::height() - int(DeclaredView::reservedHeight(0) * s) / 2);

    m_walls->relayout();
    for (int o = 0; o < 4; ++o) {
        m_hidden[std::size_t(o)]->relayout();
        m_discards[std::size_t(o)]->relayout();
        m_declared[std::size_t(o)]->setMaxLength(420.0 * s);
        // The melds' tiles were placed for the tile size they were made with.
        m_declared[std::size_t(o)]->relayout();
    }
    m_hand->relayout();

    const int wallsWidth = m_walls->width();
    const int wallsHeight = m_walls->height();
    const QPoint wallsPos(int(c.x()) - wallsWidth / 2, int(c.y()) - (wallsHeight + margin + WallView::maxLift()) / 2);
    m_walls->setPos(wallsPos);
    // A page out of sight takes its cloth as it shows. Asked now, at a size
    // it may never show at, the one cloth of every table would be made anew,
    // and every other page would paint its whole table again when shown.
    if (isVisible())
        dressTable(m_scene.get(), m_view, this);

    // The walls report their rectangles in their own coordinates.
    QRectF outer = m_walls->boundingRect();
    QRectF inner = m_walls->innerRect();
    outer.translate(wallsPos);
    inner.translate(wallsPos);

    const int w = m_winds[0]->width();
    const int h = m_winds[2]->height();
    m_windPositions = {QPointF(inner.left() - w, outer.bottom()), QPointF(outer.right(), inner.bottom()),
                       QPointF(inner.right(), outer.top() - h), QPointF(outer.left() - w, inner.top() - h)};
    for (int o = 0; o < 4; ++o)
        m_winds[std::size_t(o)]->setPos(m_windPositions[std::size_t(o)]);

    for (int o = 0; o < 4; ++o) {
        WindView* marker = m_winds[std::size_t(o)];
        const QRectF r = marker->boundingRect().translated(marker->pos());
        const QPointF corner[4] = {r.bottomRight(), r.topRight(), r.topLeft(), r.bottomLeft()};
        m_sticks[std::size_t(o)]->setScale(s);
        m_sticks[std::size_t(o)]->setPos(corner[o]);
    }

    const int q = wallTileThird(TileGraphics::instance().gamePainter());
    m_discards[0]->setPos(inner.left() + q, inner.bottom() - q);
    m_discards[1]->setPos(inner.right() - q, inner.bottom() - q);
    m_discards[2]->setPos(inner.right() - q, inner.top() + q);
    m_discards[3]->setPos(inner.left() + q, inner.top() + q);

    m_declared[0]->setPos(inner.left() + q, outer.bottom() + q);
    m_declared[1]->setPos(outer.right() + q, inner.bottom() - q);
    m_declared[2]->setPos(inner.right() - q, outer.top() - q);
    m_declared[3]->setPos(outer.left() - q, inner.top() + q);

    const int m0 = q + int(0.5 * s * DeclaredView::reservedHeight(0));
    const int m1 = q + int(0.5 * s * DeclaredView::reservedWidth(1));
    const int handY = std::max(int(outer.bottom() + m0),
                               int((sceneRect.bottom() + outer.bottom() + m0 - HandView::height()) / 2));
    m_hand->setPos(outer.right(), handY);

    const QPoint timerAt = m_view->mapFromScene(
        QPointF(outer.right() + m0 / 2, handY + (m_hand->tileHeight() - m_timer->height()) / 2));
    m_timer->move(timerAt);

    m_prevalent->setPos(c.x() - std::round(m_prevalent->width() / 2.0),
                        c.y() - std::round(m_prevalent->height() / 2.0));

    // A claim's word stands inside the walls, between the wind disc and the
    // claiming seat's side: the melds it announces and the tiles beside them
    // lie outside the walls, in view.
    const QRectF disc(m_prevalent->pos(), QSizeF(m_prevalent->width(), m_prevalent->height()));
    const QPointF claimAt[4] = {QPointF(c.x(), (disc.bottom() + inner.bottom()) / 2),
                                QPointF((disc.right() + inner.right()) / 2, c.y()),
                                QPointF(c.x(), (inner.top() + disc.top()) / 2),
                                QPointF((inner.left() + disc.left()) / 2, c.y())};
    for (int o = 0; o < 4; ++o) {
        m_claims[std::size_t(o)]->setScale(s);
        m_claims[std::size_t(o)]->setPos(std::round(claimAt[o].x()), std::round(claimAt[o].y()));
    }

    m_hidden[0]->setPos(m_hand->pos());
    m_hidden[1]->setPos(outer.right() + m1, outer.top());
    m_hidden[2]->setPos(outer.left(), outer.top() - m0);
    m_hidden[3]->setPos(outer.left() - m1, outer.bottom());

    m_walls->setLightPosition(c);
    for (int o = 0; o < 4; ++o) {
        m_discards[std::size_t(o)]->setLightPosition(c);
        m_declared[std::size_t(o)]->setLightPosition(c);
        m_hidden[std::size_t(o)]->setLightPosition(c);
    }
    // Until the first draw the dealt tiles stand for the hands: they go where
    // the hands now lie, however long ago (and at whatever size) the deal was.
    DealStartHandAnimation::followLayout(this);
    placeTimeoutImage();
    placeFuritenImage();
}

void GameWindow::placeTimeoutImage()
{
    const double k = 1.2 * TileGraphics::instance().gameScale();
    const QSizeF size = m_timeoutImage->pixmap().size();
    m_timeoutImage->setTransform(QTransform::fromScale(k, k));
    m_timeoutImage->setOffset(-size.width() / 2, -size.height());
    m_timeoutImage->setPos(m_hand->anchor());
}

void GameWindow::placeFuritenImage()
{
    const double k = 1.2 * TileGraphics::instance().gameScale();
    const QSizeF size = m_furitenImage->pixmap().size();
    m_furitenImage->setTransform(QTransform::fromScale(k, k));
    m_furitenImage->setOffset(-size.width() / 2, -size.height());
    m_furitenImage->setPos(m_hand->anchor());
}

void GameWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int b = m_sideBar->width();
    const QSize n = event->size();
    m_sideBar->setGeometry(n.width() - b, 0, b, n.height());
    m_view->resize(std::max(0, n.width() - b), n.height());
    if (isVisible())
        m_relayoutTimer->start();
    else
        relayoutForSize();
    // Each overlay keeps its place relative to the page: its share of the
    // room as it stood, read before the score board takes its new height.
    const QList<QWidget*> shown = overlays();
    QList<QPointF> shares;
    for (const QWidget* overlay : shown)
        shares << overlayShare(overlay, event->oldSize());
    m_scoreBoard->fitHeight(n.height());
    for (qsizetype i = 0; i < shown.size(); ++i)
        placeOverlay(shown[i], shares[i], n);
}

void GameWindow::wheelEvent(QWheelEvent* event)
{
    // An overlay larger than the page stands at its top left: the wheel
    // over it (that none of its parts took) brings the rest into view.
    QWidget* overlay = childAt(event->position().toPoint());
    while (overlay != nullptr && overlay->parentWidget() != this)
        overlay = overlay->parentWidget();
    if (overlay != nullptr && overlays().contains(overlay)) {
        const QPoint step = event->pixelDelta().isNull() ? event->angleDelta() / 2 : event->pixelDelta();
        const auto scroll = [](int pos, int delta, int room) {
            return room < 0 ? std::clamp(pos + delta, room, 0) : pos;
        };
        const QPoint to(scroll(overlay->x(), step.x(), width() - overlay->width()),
                        scroll(overlay->y(), step.y(), height() - overlay->height()));
        if (to != overlay->pos()) {
            overlay->move(to);
            event->accept();
            return;
        }
    }
    QWidget::wheelEvent(event);
}

void GameWindow::relayoutForSize()
{
    m_relayoutTimer->stop();
    // Moving tiles fly between places of the old layout: they land first.
    flushActions();
    setTableSize(m_view->width(), m_view->height());
    layoutTable();
}

void GameWindow::onTileGraphicsChanged()
{
    flushActions();
    setTableSize(width() - m_sideBar->width(), height());
    layoutTable();
}

void GameWindow::onGameScaleChanged()
{
    // Every table shares the scale: the pages out of sight lay out as they
    // show rather than all in the turn that the page in sight needs.
    if (!isVisible()) {
        m_layoutStale = true;
        return;
    }
    layoutTable();
}

void GameWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_layoutStale)
        layoutTable();
    else
        dressTable(m_scene.get(), m_view, this);
}
