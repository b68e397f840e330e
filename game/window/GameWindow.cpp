// The table window's construction, the rebuild of the whole table from the
// model, and the small steps that the queued actions call.

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
#include "TableFocus.h"
#include "TileAnimation.h"
#include "TileGraphics.h"
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

#include <algorithm>

namespace {

/// How long a shown window's resizing must pause before the table is laid out anew.
constexpr int relayoutPauseMs = 120;

const char* const positionNames[4] = {"BOTTOM", "RIGHT", "TOP", "LEFT"};

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
    m_spanEndTimer = new QTimer(this);
    m_spanEndTimer->setSingleShot(true);
    m_spanEndTimer->setTimerType(Qt::PreciseTimer);
    connect(m_spanEndTimer, &QTimer::timeout, this, &GameWindow::armControls);
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
    new TableFocus(this);
}

void GameWindow::loadTextImages()
{
    m_timeoutImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:/timeout.png")));
    m_furitenImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:/furiten.png")));
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
