// The table window's construction, its layout at the window's scale, the
// rebuild of the whole table from the model, and the small steps that the
// queued actions call.

#include "GameWindow.h"

#include "ActionQueue.h"
#include "CityView.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "GameGraphicsScene.h"
#include "GameSounds.h"
#include "GameWindowAction.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "PlayerActionView.h"
#include "PlayerInactiveWindow.h"
#include "PrevalentWindView.h"
#include "PictureFile.h"
#include "RiichiStickView.h"
#include "RotatingCube.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "SocialServices.h"
#include "TableBackground.h"
#include "TileAnimation.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TimerView.h"
#include "Utils.h"
#include "WaitingForPlayersWindow.h"
#include "WallView.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"
#include "WindView.h"

#include <QAction>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QTimer>
#include <QLinearGradient>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace {

/// How long a shown window's resizing must pause before the table is laid out anew.
constexpr int relayoutPauseMs = 120;

const char* const positionNames[4] = {"BOTTOM", "RIGHT", "TOP", "LEFT"};

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

} // namespace

GameWindow::GameWindow(QWidget* parent, SocialServices* services, qint32 playerId)
    : QWidget(parent)
    , m_services(services)
    , m_scene(std::make_unique<GameGraphicsScene>())
    , m_playerId(playerId)
    , m_queue(std::make_unique<ActionQueue>())
{
    setObjectName(QStringLiteral("GameWindow"));
    build();
}

GameWindow::~GameWindow()
{
    // Queued steps hold pointers into the scene: they go first, unexecuted.
    m_queue->reset();
    for (TileAnimation*& a : m_dealTiles) {
        delete a;
        a = nullptr;
    }
    m_view->setScene(nullptr);
    m_walls.reset();
}

template <typename Panel, typename Signal>
void GameWindow::connectAnswer(Panel* panel, Signal signal, void (GameWindow::*slot)())
{
    connect(panel, signal, this, [this, panel, slot] {
        if (atShownSeating(panel))
            (this->*slot)();
        else
            panel->hide(); // shown for a seating that is over: it has nothing to act on
    });
}

void GameWindow::build()
{
    resize(1024, 768);
    m_view = new QGraphicsView(this);
    m_view->setObjectName(QStringLiteral("GameView"));
    m_view->setGeometry(0, 0, 1024, 768);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setScene(m_scene.get());
    m_view->setCacheMode(QGraphicsView::CacheNone);
    m_view->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // The cloth covers the whole view: nothing needs filling before it.
    m_view->viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_view->viewport()->setAutoFillBackground(false);
    // A window being resized (a drag of its edge sends a resize at every
    // step) keeps its table as it is and lays it out again once the resizing
    // pauses: each step costs a paint, not a new tile scale and a layout.
    m_relayoutTimer = new QTimer(this);
    m_relayoutTimer->setSingleShot(true);
    m_relayoutTimer->setInterval(relayoutPauseMs);
    connect(m_relayoutTimer, &QTimer::timeout, this, &GameWindow::relayoutForSize);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_topShadow = m_scene->addRect(QRectF());
    m_bottomShadow = m_scene->addRect(QRectF());

    m_hand = new HandView();
    m_hand->setZValue(100);
    connect(m_hand, &HandView::tileClicked, this, &GameWindow::onTileClick);
    m_scene->addItem(m_hand);

    m_timeoutImage = new QGraphicsPixmapItem();
    m_furitenImage = new QGraphicsPixmapItem();
    for (QGraphicsPixmapItem* image : {m_timeoutImage, m_furitenImage}) {
        image->setTransformationMode(Qt::SmoothTransformation);
        image->setZValue(200);
        image->hide();
        m_scene->addItem(image);
    }
    loadTextImages();

    m_prevalent = new PrevalentWindView();
    m_prevalent->hide();
    m_scene->addItem(m_prevalent);

    for (int o = 0; o < 4; ++o) {
        const auto i = std::size_t(o);
        m_discards[i] = new DiscardView(o);
        m_scene->addItem(m_discards[i]);
        m_winds[i] = new WindView(o);
        m_winds[i]->hide();
        m_winds[i]->setWind(o);
        m_winds[i]->setZValue(100);
        m_scene->addItem(m_winds[i]);
        m_declared[i] = new DeclaredView(o, 420.0);
        m_scene->addItem(m_declared[i]);
        m_claims[i] = new PlayerActionView(o);
        m_claims[i]->setAnchorMode(PlayerActionView::AnchorCentre);
        m_claims[i]->setZValue(100);
        m_claims[i]->hide();
        m_scene->addItem(m_claims[i]);
        m_hidden[i] = new HiddenHandView(o);
        m_scene->addItem(m_hidden[i]);
        m_seatIds[i] = -1;
        m_sticks[i] = new RiichiStickView(o);
        m_sticks[i]->setZValue(-1);
        m_scene->addItem(m_sticks[i]);
    }
    // The top melds lie behind the top wall's tiles.
    m_declared[2]->setZValue(-100);

    m_walls = std::make_unique<CityView>(m_scene.get());

    m_auction = new MeldAuction(this);
    m_auction->hide();
    connect(m_auction, &MeldAuction::meldSelected, this, &GameWindow::onMeldSelected);
    connect(m_auction, &MeldAuction::passSelected, this, &GameWindow::onPassMeldSelected);
    connect(m_auction, &MeldAuction::closeSelected, this, &GameWindow::onCloseMeldAuction);

    m_scoreBoard = new ScoreBoard(this);
    connectAnswer(m_scoreBoard, &ScoreBoard::readyClicked, &GameWindow::onReadyButtonClick);
    connectAnswer(m_scoreBoard, &ScoreBoard::leaveClicked, &GameWindow::onLeaveButtonClick);
    for (auto closed : {&ScoreBoard::closeClicked, &ScoreBoard::readyClicked})
        connect(m_scoreBoard, closed, this, [this] {
            if (m_roundBoardWaits)
                showRoundBoard();
        });
    m_scoreBoard->hide();

    m_waiting = new WaitingForPlayersWindow(this);
    connect(m_waiting, &WaitingForPlayersWindow::leaveButtonClicked, this, &GameWindow::onLeaveButtonClick);
    m_waiting->hide();

    m_seated = new SeatedWindow(this);
    connectAnswer(m_seated, &SeatedWindow::leaveButtonClicked, &GameWindow::onLeaveButtonClick);
    connectAnswer(m_seated, &SeatedWindow::playButtonClicked, &GameWindow::onReadyButtonClick);
    m_seated->hide();

    m_watching = new WatchingWindow(this);
    connect(m_watching, &WatchingWindow::leaveButtonClicked, this, &GameWindow::onLeaveButtonClick);
    connect(m_watching, &WatchingWindow::joinButtonClicked, this, &GameWindow::onJoinButtonClick);
    m_watching->hide();

    m_inactive = new PlayerInactiveWindow(this);
    connect(m_inactive, &PlayerInactiveWindow::reactivateButtonClicked, this,
            &GameWindow::onReactivateButtonClicked);
    connect(m_inactive, &PlayerInactiveWindow::leaveButtonClicked, this, &GameWindow::onLeaveButtonClick);
    m_inactive->hide();

    m_sideBar = new SideBar(m_services, this);
    m_sideBar->connectLeaveButton(this);
    connect(m_sideBar, &SideBar::userMenuRequested, this, &GameWindow::userMenuRequested);

    m_washout = new WashoutWindow(this);
    m_washout->hide();
    connectAnswer(m_washout, &WashoutWindow::readyButtonClicked, &GameWindow::onReadyButtonClick);
    connectAnswer(m_washout, &WashoutWindow::leaveButtonClicked, &GameWindow::onLeaveButtonClick);

    m_roundScore = new RoundScoreBoard(m_services, this);
    m_roundScore->hide();
    connectAnswer(m_roundScore, &RoundScoreBoard::closeClick, &GameWindow::onRoundScoreCloseClick);

    m_timer = new TimerView(m_view);
    m_timer->setGeometry(0, 0, 20, 20);
    m_timer->hide();

    layoutTable();

    TileGraphics& graphics = TileGraphics::instance();
    connect(&graphics, &TileGraphics::tileGraphicsChanged, this, &GameWindow::onTileGraphicsChanged,
            Qt::DirectConnection);
    connect(&graphics, &TileGraphics::gameScaleChanged, this, &GameWindow::onGameScaleChanged,
            Qt::QueuedConnection);

    m_cube = new RotatingCube(this);
    static const QImage pig = PictureFile::image(QStringLiteral("avatars:/pig.png"));
    m_cube->setPicture(pig);
    m_cube->setZValue(100000);
    m_cube->hide();
    m_scene->addItem(m_cube);
    auto* cubeAction = new QAction(this);
    cubeAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+E")));
    connect(cubeAction, &QAction::triggered, this, &GameWindow::onShowCube);
    addAction(cubeAction);

    resetViews();
    m_sideBar->reset();
}

void GameWindow::loadTextImages()
{
    m_timeoutImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:/timeout.png")));
    m_furitenImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:/furiten.png")));
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

void GameWindow::updateFuritenImage()
{
    const PlayerData* own = m_model ? m_model->ownPlayer() : nullptr;
    if (!own) {
        m_furitenImage->hide();
        return;
    }
    placeFuritenImage();
    m_furitenImage->setVisible(own->furiten() && !m_timeoutImage->isVisible());
}

void GameWindow::setActiveSeat(int orientation)
{
    playSound(1);
    for (int o = 0; o < 4; ++o)
        m_discards[std::size_t(o)]->setActive(o == orientation);
    placeFuritenImage();
}

int GameWindow::nextWind(int wind)
{
    if (wind < 0 || wind > 3) {
        qWarning() << "invalid wind" << wind;
        return -1;
    }
    return (wind + 1) % 4;
}

ClaimedFrom GameWindow::claimDirection(const GameModel* model, const meld_tuple& m, qint32 claimantId)
{
    if (!model || m.extra == -1 || m.extra == claimantId)
        return ClaimedFrom::None;
    const PlayerData* from = model->player(m.extra);
    const PlayerData* claimant = model->player(claimantId);
    if (!from || !claimant)
        return ClaimedFrom::None;
    // Turns go East, South, West, North: the player one wind before the
    // claimant sits on the left, two before across, three before on the right.
    switch ((int(claimant->wind()) - int(from->wind())) & 3) {
    case 1:
        return ClaimedFrom::Left;
    case 2:
        return ClaimedFrom::Across;
    case 3:
        return ClaimedFrom::Right;
    default:
        return ClaimedFrom::None;
    }
}

std::vector<int> GameWindow::dealOrder(int players)
{
    std::vector<int> winds;
    if (players < 2 || players > 4)
        return winds;
    const std::vector<int> seats = players == 4 ? std::vector<int>{0, 1, 2, 3}
                                 : players == 3 ? std::vector<int>{0, 1, 2}
                                                : std::vector<int>{0, 2};
    for (int round = 0; round < 3; ++round)
        for (int w : seats)
            for (int k = 0; k < 4; ++k)
                winds.push_back(w);
    for (int w : seats)
        winds.push_back(w);
    winds.push_back(0);
    return winds;
}

const PlayerData* GameWindow::seatPlayer(int orientation) const
{
    if (!m_model || orientation < 0 || orientation > 3)
        return nullptr;
    const qint32 id = m_seatIds[std::size_t(orientation)];
    return id == -1 ? nullptr : m_model->player(id);
}

int GameWindow::orientationOf(qint32 playerId) const
{
    for (int o = 0; o < 4; ++o)
        if (m_seatIds[std::size_t(o)] == playerId && seatPlayer(o))
            return o;
    qWarning().noquote() << "unknown player id" << playerId;
    return -1;
}

qint32 GameWindow::tableId() const
{
    return m_model ? m_model->tableId() : -1;
}

qint32 GameWindow::bottomPlayerId() const
{
    return m_seatIds[0] != -1 ? m_seatIds[0] : m_playerId;
}

void GameWindow::syncWithModel()
{
    if (!m_model)
        return;
    const bool seated = m_model->isOwnPlayerSeated();
    const PlayerData* bottom = nullptr;
    int bottomWind = 0;
    if (seated) {
        qDebug() << "WE ARE SEATED";
        bottom = m_model->ownPlayer();
        m_hidden[0]->hide();
        m_hand->show();
        m_hand->setTiles(bottom ? bottom->handTiles() : tile_vector{});
        m_timer->show();
        m_timer->raise();
        bottomWind = bottom ? int(bottom->wind()) : 0;
    } else {
        qDebug() << "WE ARE OBSERVING";
        bottom = m_model->playerByWind(0);
        m_hand->hide();
        m_hand->clear();
        m_hidden[0]->show();
        m_hidden[0]->setTileCount(bottom ? bottom->tileCount() : 0);
        m_timer->hide();
        bottomWind = 0;
    }
    if (bottomWind < 0 || bottomWind > 3) {
        qWarning() << "bottom seat has no valid wind:" << bottomWind;
        bottomWind = 0;
    }
    m_seatIds[0] = bottom ? bottom->id() : -1;
    int wind = bottomWind;
    for (int o = 1; o < 4; ++o) {
        wind = nextWind(wind);
        const PlayerData* p = m_model->playerByWind(wind);
        m_seatIds[std::size_t(o)] = p ? p->id() : -1;
    }

    m_prevalent->setVisible(m_tableInfo.gameType == 2);
    m_prevalent->setWind(m_model->turnWords()[1] & 3);

    for (int o = 0; o < 4; ++o) {
        const auto i = std::size_t(o);
        m_declared[i]->clear();
        m_claims[i]->hide();
        m_winds[i]->setGlow(false);
        const PlayerData* p = seatPlayer(o);
        m_winds[i]->setVisible(p != nullptr);
        if (!p) {
            qDebug().noquote() << positionNames[o] << "is free";
            m_hidden[i]->setTileCount(0);
            m_discards[i]->clear();
            m_sticks[i]->setCount(0);
            m_sticks[i]->hide();
            continue;
        }
        qDebug().noquote() << p->name() << "wind" << int(p->wind()) << "at" << positionNames[o];
        m_winds[i]->setWind(int(p->wind()));
        m_discards[i]->setDiscards(p->discards(), p->riichiDiscardIndex());
        if (o != 0 || !seated)
            m_hidden[i]->setTileCount(p->tileCount());
        if (m_sideBar->hasPlayer(p->id()))
            m_sideBar->setPlayerWind(p->id(), int(p->wind()));
        // A rebuild is silent: the melds are shown without their sounds.
        std::vector<tile> shownBonus;
        for (const meld_tuple& m : p->melds()) {
            m_declared[i]->declareMeld(m, claimDirection(m_model, m, p->id()));
            if (int(m.type) == 64) // a bonus tile declared during the hand
                shownBonus.push_back(m.meld_tile);
        }
        // The snapshot's bonus tiles that no meld record holds already.
        for (tile t : p->bonusTiles()) {
            const auto held = std::find(shownBonus.begin(), shownBonus.end(), t);
            if (held != shownBonus.end())
                shownBonus.erase(held);
            else
                m_declared[i]->addBonusTile(t);
        }
        const bool riichi = p->riichiDiscardIndex() != -1;
        m_sticks[i]->setCount(riichi ? 1 : 0);
        m_sticks[i]->setVisible(riichi);
    }
    m_sideBar->updateSticks();
    m_walls->setUp(bottomWind, m_model->liveWall(), m_model->deadWall(), m_model->deadWallPosition(),
                   m_model->deadWallDealt(), m_model->doraTiles());
    const PlayerData* own = m_model->ownPlayer();
    placeFuritenImage();
    m_furitenImage->setVisible(own && own->furiten() && !m_timeoutImage->isVisible());
    updateInactiveWindow();
}

void GameWindow::updateInactiveWindow()
{
    if (m_model && m_model->isOwnPlayerSeated()) {
        const PlayerData* own = m_model->ownPlayer();
        if (own && !own->active())
            m_inactive->showDialog(true);
        else
            m_inactive->hide();
    } else {
        m_inactive->hide();
    }
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
    repositionOverlay(m_watching, event);
    repositionOverlay(m_waiting, event);
    repositionOverlay(m_seated, event);
    repositionOverlay(m_inactive, event);
    m_scoreBoard->fitHeight(n.height());
    repositionOverlay(m_scoreBoard, event);
    repositionOverlay(m_washout, event);
    repositionOverlay(m_roundScore, event);
    repositionOverlay(m_auction, event);
    if (m_leaveQuestion)
        repositionOverlay(m_leaveQuestion, event);
}

void GameWindow::relayoutForSize()
{
    m_relayoutTimer->stop();
    // Moving tiles fly between places of the old layout: they land first.
    flushActions();
    setTableSize(m_view->width(), m_view->height());
    layoutTable();
}

void GameWindow::repositionOverlay(QWidget* widget, QResizeEvent* event)
{
    const int w = widget->width(), h = widget->height();
    const QSize n = event->size(), o = event->oldSize();
    if (n.width() - w < 1 || n.height() - h < 1)
        return;
    if (o.width() - w >= 1 && o.height() - h >= 1)
        widget->move(widget->x() * (n.width() - w) / (o.width() - w),
                     widget->y() * (n.height() - h) / (o.height() - h));
    else
        widget->move((n.width() - w) / 2, (n.height() - h) / 2);
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

void GameWindow::onShowCube()
{
    m_cube->show();
}

void GameWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void GameWindow::retranslate()
{
    m_hand->updateToolTips();
    for (int o = 0; o < 4; ++o) {
        m_declared[std::size_t(o)]->updateToolTips();
        m_winds[std::size_t(o)]->setWind(m_winds[std::size_t(o)]->wind());
        m_claims[std::size_t(o)]->refresh();
    }
    m_prevalent->retranslate();
    loadTextImages();
    placeTimeoutImage();
    placeFuritenImage();
}

// --- queue

bool GameWindow::animationsEnabled() const
{
    return settingsSwitch("game/animations", true);
}

void GameWindow::enqueueAction(GameWindowAction* action)
{
    m_queue->enqueueAction(action);
}

void GameWindow::enqueueAnimation(GameWindowAnimation* animation)
{
    m_queue->enqueueAnimation(animation);
}

void GameWindow::flushActions()
{
    m_queue->flushActions();
}

// --- steps

void GameWindow::declareMeld(int orientation, meld_tuple m, ClaimedFrom from)
{
    if (orientation < 0 || orientation > 3)
        return;
    m_declared[std::size_t(orientation)]->declareMeld(m, from);
    switch (m.type) {
    case game_protocol::meld_type::CHOW:
    case game_protocol::meld_type::PONG:
    case game_protocol::meld_type::KONG:
    case game_protocol::meld_type::MAHJONG:
        if (isVisible())
            GameSounds::instance().playMeld(m.type);
        break;
    default:
        break;
    }
}

void GameWindow::addKanDora(tile t)
{
    m_walls->addKanDora(t);
}

void GameWindow::playStartSound()
{
    playSound(9);
}

void GameWindow::showHandStarted()
{
    if (settingsSwitch("game/autoPopdownScoreDialog", false)) {
        m_scoreBoard->hide();
        m_washout->hide();
        m_roundScore->hide();
        m_roundBoardWaits = false;
    }
    appendInfo(tr("Hand started"));
}

void GameWindow::showBonusTiles(int orientation, std::shared_ptr<std::vector<tile>> tiles)
{
    if (orientation < 0 || orientation > 3 || !tiles)
        return;
    for (tile t : *tiles)
        m_declared[std::size_t(orientation)]->addBonusTile(t);
}

void GameWindow::updateOwnHand(std::shared_ptr<std::vector<tile>> hand, std::shared_ptr<std::vector<tile>> drawn)
{
    if (hand)
        m_hand->setTiles(*hand, drawn ? *drawn : tile_vector{});
}

void GameWindow::highlightPlayer(qint32 playerId)
{
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->setActivePlayer(playerId);
    for (int o = 0; o < 4; ++o)
        m_winds[std::size_t(o)]->setGlow(seatPlayer(o) && m_seatIds[std::size_t(o)] == playerId);
}

void GameWindow::clearHighlights()
{
    m_sideBar->clearActivePlayer();
    for (int o = 0; o < 4; ++o)
        if (seatPlayer(o))
            m_winds[std::size_t(o)]->setGlow(false);
}

void GameWindow::hideClaimImages()
{
    m_sideBar->hideClaims();
    for (PlayerActionView* v : m_claims)
        v->hide();
}

void GameWindow::hideDealTiles()
{
    for (TileAnimation* a : m_dealTiles)
        if (a)
            a->picture()->hide();
}

void GameWindow::stopCountdowns()
{
    m_sideBar->stopTimers();
    m_timer->setTimeSpan(TimeSpan());
    if (m_model)
        Q_EMIT clearTimeout(m_model->tableId());
}

QPixmap GameWindow::playerPicture(qint32 playerId) const
{
    return m_services ? m_services->playerPicture(playerId) : QPixmap();
}

void GameWindow::appendInfo(const QString& text)
{
    // The chat pane shows rich text; these notices, and the player names in
    // them, are plain.
    m_sideBar->appendInfo(text.toHtmlEscaped());
}

void GameWindow::askPlayer(const TimeSpan& ts)
{
    if (m_model && m_model->isSeated())
        Q_EMIT tableActivity(tableId(), true, ts);
}

bool GameWindow::isOwnSeat(qint32 playerId) const
{
    // A watcher whose account sits here from another client sees that seat
    // as anyone's.
    return playerId == m_playerId && m_seatIds[0] == m_playerId && m_model && m_model->isOwnPlayerSeated();
}

void GameWindow::playSound(unsigned slot)
{
    if (isVisible())
        GameSounds::instance().play(slot, 0);
}
