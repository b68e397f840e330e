// The table window on its own: a model fed with server records, the window's
// handlers called as the controller calls them. What the table must survive
// (values it cannot place) and what it must show.

#include "ActionQueue.h"
#include "ConferenceArea.h"
#include "GameSounds.h"
#include "GameWindowAction.h"
#include "Sound.h"
#include "MeldView.h"
#include "SocialServices.h"
#include "AnimationRoles.h"
#include "AssignWindAnimation.h"
#include "DealStartHandAnimation.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "GameFixtures.h"
#include "GameGraphicsScene.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "MeldChoice.h"
#include "ModelessMsgBox.h"
#include "PlayerActionView.h"
#include "PlayerWidget.h"
#include "RoundScoreBoard.h"
#include "RoundScoreWidget.h"
#include "ScoreBoard.h"
#include "SideBar.h"
#include "TileAnimation.h"
#include "TileAnimationSet.h"
#include "TileGraphics.h"
#include "TimerView.h"
#include "UPushButton.h"
#include "Utils.h"
#include "ViewTestSupport.h"
#include "WaitingForPlayersWindow.h"
#include "WashoutWindow.h"

#include <QApplication>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <cmath>

using namespace fixtures;

namespace {

constexpr qint32 east = 21, west = 23, north = 24;

/// A model of a hand under way with the user seated at `ownWind` and the
/// other seats taken by players of the next winds, `players` in all.
std::unique_ptr<GameModel> playing(int ownWind = 1, int players = 4, int ruleset = 2, int gameType = 2)
{
    auto model = std::make_unique<GameModel>(tableId, table(ruleset, gameType), ownId, QStringLiteral("me"));
    model->markJoined();
    std::vector<PlayerData> records;
    const qint32 others[] = {east, west, north};
    int wind = ownWind;
    PlayerData me = player(ownId, ownWind, true);
    me.setTileCount(13);
    me.setHandTiles({tile(0), tile(1), tile(2), tile(9), tile(9), tile(12), tile(13), tile(14), tile(20), tile(20),
                     tile(27), tile(31), tile(31)});
    records.push_back(me);
    for (int i = 0; i < players - 1; ++i) {
        wind = (wind + 1) % 4;
        PlayerData p = player(others[i], wind, true);
        p.setTileCount(13);
        records.push_back(p);
    }
    model->onGameData(7, server_game_state::TILE_CLAIMED_STATE, records, tableState(east), wallState(5, {}, 70, 14));
    return model;
}

/// A chat room area that keeps the notices it is given.
class FakeConference : public ConferenceArea
{
public:
    using ConferenceArea::ConferenceArea;
    void joinTableRoom(qint32) override {}
    void joinTournamentRoom(int) override {}
    void leaveRoom() override {}
    void appendInfo(const QString& html) override { infos << html; }
    bool isJoined() const override { return false; }
    void setHiddenNotifications(int) override {}
    QStringList infos;
};

class FakeServices : public SocialServices
{
public:
    QPixmap playerPicture(qint32) override { return QPixmap(); }
    ConferenceArea* createConferenceArea(QWidget* parent, int) override
    {
        conference = new FakeConference(parent);
        return conference;
    }
    FakeConference* conference = nullptr;
};

/// A window showing the model, as the controller sets it up.
struct Table
{
    std::unique_ptr<GameModel> model;
    GameWindow w{nullptr, nullptr, ownId};
    explicit Table(std::unique_ptr<GameModel> m) : model(std::move(m)) { w.setModel(model.get()); }
    /// Offers to the user as the controller passes them: kept by the table, then shown.
    void offer(GameModel::OfferKind kind, const meld_offer_vector& offers, const TimeSpan& ts = span())
    {
        model->keepOffer(kind, offers, ts);
        if (kind == GameModel::OfferKind::Claim)
            w.showMeldSuggestion(offers, model->lastDiscard(), ts);
        else if (kind == GameModel::OfferKind::Declaration)
            w.showConcealedMeldSuggestion(offers, ts);
        else
            w.showRobTheKongSuggestion(ts, offers);
    }
};

} // namespace

class TestGameWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(ViewTestSupport::prepareTiles());
        QSettings().setValue(QStringLiteral("game/animations"), true);
        QSettings().setValue(QStringLiteral("game/sound"), false);
    }

    void seatsFollowTheOwnWind_data()
    {
        QTest::addColumn<int>("ownWind");
        QTest::addColumn<int>("eastAt");
        QTest::newRow("user East") << 0 << 0;
        QTest::newRow("user South: East on the left") << 1 << 3;
        QTest::newRow("user West: East across") << 2 << 2;
        QTest::newRow("user North: East on the right") << 3 << 1;
    }

    void seatsFollowTheOwnWind()
    {
        QFETCH(int, ownWind);
        QFETCH(int, eastAt);
        Table t(playing(ownWind));
        auto& [model, w] = t;
        QCOMPARE(w.seatPlayer(0)->id(), ownId);
        QCOMPARE(int(w.seatPlayer(eastAt)->wind()), 0);
        for (int o = 0; o < 4; ++o)
            QCOMPARE(int(w.seatPlayer(o)->wind()), (ownWind + o) % 4);
    }

    void observerSeesEastAtTheBottom_data()
    {
        QTest::addColumn<bool>("eastSeated");
        QTest::newRow("East seated") << true;
        QTest::newRow("East's seat free") << false;
    }

    void observerSeesEastAtTheBottom()
    {
        QFETCH(bool, eastSeated);
        auto model = std::make_unique<GameModel>(tableId, table(0), ownId, QStringLiteral("me"));
        std::vector<PlayerData> records;
        for (auto [id, wind] : {std::pair{east, 0}, {west, 2}, {north, 3}, {qint32(22), 1}}) {
            if (wind == 0 && !eastSeated)
                continue;
            PlayerData p = player(id, wind, true);
            p.setTileCount(13);
            records.push_back(p);
        }
        model->onWatching(true);
        model->onGameData(7, server_game_state::TILE_CLAIMED_STATE, records, tableState(west), wallState(5, {}, 70, 14));
        Table t(std::move(model));
        auto& w = t.w;
        QVERIFY(!w.handView()->isVisible());
        QVERIFY(w.timerView()->isHidden());
        QCOMPARE(w.seatPlayer(0) != nullptr, eastSeated);
        QCOMPARE(w.hiddenHand(0)->count(), eastSeated ? 13 : 0);
        QCOMPARE(w.seatPlayer(2)->id(), west); // the seats go round from East's place all the same
    }

    /// Before a hand a watcher's table shows no own hand at the bottom:
    /// neither an empty tray nor the tiles of a seat the user just left.
    void watcherBeforeTheFirstHandHasNoOwnHand_data()
    {
        QTest::addColumn<bool>("wasSeated");
        QTest::newRow("watching from the lobby") << false;
        QTest::newRow("unseated before the hand") << true;
    }

    void watcherBeforeTheFirstHandHasNoOwnHand()
    {
        QFETCH(bool, wasSeated);
        auto made = std::make_unique<GameModel>(tableId, table(0), ownId, QStringLiteral("me"));
        std::vector<PlayerData> records{player(east, 0), player(west, 2)};
        if (wasSeated) {
            made->markJoined();
            records.push_back(player(ownId, 1));
        }
        made->onGameData(1, server_game_state::INITIAL_STATE, records, tableState(), wallState(0, {}));
        Table t(std::move(made));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::playerStateChanged, &w, &GameWindow::onPlayerStateChanged);
        if (wasSeated) {
            w.onPrivatePlayerData(PrivatePlayerData{{tile(1), tile(2), tile(3)}, true, false});
            QVERIFY(w.handView()->isVisible());
            model->onPlayerLeft(ownId);
        } else {
            model->onWatching(true);
        }
        QVERIFY(!w.handView()->isVisible());
        QVERIFY(w.handView()->tiles().empty());
        QVERIFY(w.timerView()->isHidden());
        QVERIFY(w.hiddenHand(0)->isVisible());
    }

    /// Values the window cannot place are logged and skipped; the table
    /// goes on.
    void valuesTheWindowCannotPlace_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("discard by an unknown player") << "discard";
        QTest::newRow("mahjong meld") << "mahjong";
        QTest::newRow("meld of an unknown type") << "badMeld";
        QTest::newRow("hand end without scores") << "emptyScores";
        QTest::newRow("riichi auto-discard with nothing drawn") << "riichiNoDraw";
        QTest::newRow("deal for five players") << "fivePlayers";
    }

    void valuesTheWindowCannotPlace()
    {
        QFETCH(QString, event);
        Table t(playing(1));
        auto& [model, w] = t;
        QSignalSpy discards(&w, &GameWindow::discardTile);
        QSignalSpy riichis(&w, &GameWindow::callRiichi);
        const int westAt = w.orientationOf(west);
        const std::size_t meldsBefore = w.declaredView(westAt)->melds().size();
        if (event == "discard") {
            QTest::ignoreMessage(QtWarningMsg, "unknown player id 99");
            w.onTileDiscarded(99, tile(3), false);
            QCOMPARE(w.actionQueue()->size(), 0);
        } else if (event == "mahjong") {
            w.onMeldDeclared(west, claimMeld(game_protocol::meld_type::MAHJONG, tile(5)));
            w.flushActions();
            QCOMPARE(w.declaredView(westAt)->melds().size(), meldsBefore);
            QVERIFY(w.claimImage(westAt)->isVisible());
            QCOMPARE(w.claimImage(westAt)->kind(), 16);
        } else if (event == "badMeld") {
            meld_tuple m = claimMeld(game_protocol::meld_type::PONG, tile(5));
            m.type = static_cast<game_protocol::meld_type::enum_t>(3);
            QTest::ignoreMessage(QtWarningMsg, "can't create view for unhandled meld-type 3");
            w.onMeldDeclared(west, m);
            QCOMPARE(w.actionQueue()->size(), 0);
        } else if (event == "emptyScores") {
            QTest::ignoreMessage(QtWarningMsg, "hand end without scores; nothing to show");
            w.onHandEndScoring({}, endhand_reason_t(2), false);
            QVERIFY(w.scoreBoard()->isHidden());
        } else if (event == "riichiNoDraw") {
            model->onTileDiscarded(ownId, tile(31), true); // the user is in riichi now
            QVERIFY(model->ownPlayer()->lastDrawn().empty());
            QSettings().setValue(QStringLiteral("game/autoPass"), true);
            // A kong offered in riichi, declined: the drawn tile would go, but none is known.
            QTest::ignoreMessage(QtWarningMsg, "in riichi without a known drawn tile; nothing to choose");
            t.offer(GameModel::OfferKind::Declaration, {meld_offer{game_protocol::meld_type::KONG, tile(9)}});
            QTest::ignoreMessage(QtWarningMsg, "no drawn tile to discard automatically");
            w.meldAuction()->closeButton()->click();
        } else if (event == "fivePlayers") {
            // A fifth record at a four-seat table: the deal runs, deals no
            // tile and ends, and the queue goes on.
            std::vector<PlayerData> records;
            for (const auto& [id, p] : model->players())
                records.push_back(p);
            records.push_back(player(25, 0, true));
            model->onGameData(7, server_game_state::TILE_CLAIMED_STATE, records, tableState(east),
                              wallState(5, {}, 70, 14));
            if (int(model->players().size()) != 5)
                QSKIP("the model refuses a fifth record: nothing to deal to");
            w.resize(1024, 768);
            w.show();
            QTest::ignoreMessage(QtWarningMsg, "no deal for 5 players");
            w.enqueueAnimation(new DealStartHandAnimation(&w));
            w.enqueueAction(makeAction(&GameWindow::playStartSound, &w));
            QTRY_VERIFY(!w.actionQueue()->isBusy());
            QCOMPARE(w.actionQueue()->size(), 0);
            for (TileAnimation* a : w.dealTiles())
                QVERIFY(a == nullptr);
        }
        QCOMPARE(discards.count(), 0);
        QCOMPARE(riichis.count(), 0);
    }

    void dealGivesEachSeatItsTiles_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<QList<int>>("perWind"); // East, South, West, North
        QTest::newRow("four") << 4 << QList<int>{14, 13, 13, 13};
        QTest::newRow("three") << 3 << QList<int>{14, 13, 13, 0};
        QTest::newRow("two") << 2 << QList<int>{14, 0, 13, 0};
    }

    void dealGivesEachSeatItsTiles()
    {
        QFETCH(int, players);
        QFETCH(QList<int>, perWind);
        const std::vector<int> order = GameWindow::dealOrder(players);
        QList<int> counts(4, 0);
        for (int i = 0; i < DealStartHandAnimation::tileCount(players); ++i)
            ++counts[order[std::size_t(i)]];
        QCOMPARE(counts, perWind);
        // Blocks of four go to one seat, except the last round of singles.
        QCOMPARE(order[0], order[3]);
    }

    void dealFliesToTheSeatsAroundTheUser()
    {
        auto model = playing(1); // the user is South: East sits on the left
        GameWindow w(nullptr, nullptr, ownId);
        w.resize(1024, 768);
        w.setModel(model.get());
        auto* deal = new DealStartHandAnimation(&w);
        deal->start(false);
        TileAnimation* first = w.dealTiles()[0];
        QVERIFY(first);
        const auto distance = [&](int o) {
            return QLineF(first->posAt(1.0), w.hiddenHand(o)->slotScenePosition(0)).length();
        };
        for (int o : {0, 1, 2})
            QVERIFY2(distance(3) < distance(o), qPrintable(QString::number(o)));
        QVERIFY(w.dealTiles()[52]);
        deal->end(true);
        delete deal;
        w.hideDealTiles();
        for (TileAnimation* a : w.dealTiles())
            QVERIFY(!a || !a->picture()->isVisible());

        // A page dealt out of sight (a new round's) shows each hand where a deal in sight puts it.
        Table hidden(playing(1)), seen(playing(1));
        hidden.w.enqueueAnimation(new DealStartHandAnimation(&hidden.w));
        hidden.w.flushActions();
        for (Table* t : {&hidden, &seen}) {
            t->w.resize(1024, 768);
            t->w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&t->w));
        }
        seen.w.enqueueAnimation(new DealStartHandAnimation(&seen.w));
        seen.w.flushActions();
        for (std::size_t k = 0; k < 53; ++k) {
            const TileView* tile = hidden.w.dealTiles()[k]->picture();
            QCOMPARE(tile->pos(), seen.w.dealTiles()[k]->picture()->pos());
            QVERIFY(hidden.w.view()->sceneRect().contains(tile->sceneBoundingRect()));
        }
    }

    void windsSpiralFromTheCentre()
    {
        const QPointF c(100, 100), p(160, 40);
        QCOMPARE(AssignWindAnimation::pathPoint(c, p, 0.0), c);
        const QPointF end = AssignWindAnimation::pathPoint(c, p, 1.0);
        QVERIFY(qAbs(end.x() - p.x()) < 1e-9 && qAbs(end.y() - p.y()) < 1e-9);
        const QPointF half = AssignWindAnimation::pathPoint(c, p, 0.5); // half a turn, half the way
        QVERIFY(qAbs(half.x() - 70) < 1e-9 && qAbs(half.y() - 130) < 1e-9);
    }

    void hiddenCountsFollowTheModelForEveryMeld_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("visibility");
        QTest::newRow("pong") << 2 << 0;
        QTest::newRow("concealed kong") << 8 << 2;
        QTest::newRow("pair") << 32 << 1;
    }

    void hiddenCountsFollowTheModelForEveryMeld()
    {
        QFETCH(int, type);
        QFETCH(int, visibility);
        Table t(playing(1));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::meldDeclared, &w, &GameWindow::onMeldDeclared);
        model->onMeldDeclared(west, claimMeld(static_cast<game_protocol::meld_type::enum_t>(type), tile(5), visibility));
        w.flushActions();
        const int at = w.orientationOf(west);
        QCOMPARE(w.hiddenHand(at)->count(), model->player(west)->tileCount());
    }

    /// The user's turn after a draw marks the drawn tile in the own hand;
    /// another player's turn takes the mark away.
    void ownTurnMarksTheDrawnTile()
    {
        Table t(playing(1));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::tilesFromWall, &w, &GameWindow::onTilesFromWall);
        model->onTilesFromWall({tile(22)}, false);
        model->onPlayerShouldAct(ownId, span());
        w.onPlayerShouldAct(ownId, span());
        w.flushActions();
        const auto marked = [&w = w] {
            QList<int> codes;
            for (const HandTile* item : w.handView()->items())
                if (item->isHighlighted())
                    codes << item->tileCode().code();
            return codes;
        };
        QCOMPARE(w.handView()->tiles().size(), std::size_t(14));
        QCOMPARE(marked(), QList<int>{22});
        w.onPlayerShouldAct(east, span());
        w.flushActions();
        QCOMPARE(marked(), QList<int>{});
    }

    /// After a hand the score board waits for the seated user (Ready shown)
    /// at once only at a tournament table; elsewhere it waits from the
    /// server's ready question on, and never after the user said ready.
    void scoreBoardWaitsForTheUser_data()
    {
        QTest::addColumn<int>("gameType");
        QTest::addColumn<bool>("waitingAtHandEnd");
        QTest::newRow("single hand") << 0 << false;
        QTest::newRow("tournament") << 1 << true;
        QTest::newRow("full game") << 2 << false;
    }

    void scoreBoardWaitsForTheUser()
    {
        QFETCH(int, gameType);
        QFETCH(bool, waitingAtHandEnd);
        Table t(playing(1, 4, 0, gameType));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::gameStateChanged, &w, &GameWindow::onGameStateChanged);
        QVERIFY(!w.scoreBoard()->isWaitingMode()); // in play
        model->onHandEndNonScoring(endhand_reason_t(0), false);
        QCOMPARE(w.scoreBoard()->isWaitingMode(), waitingAtHandEnd);
        w.onAreYouReady(span(), false);
        QVERIFY(w.scoreBoard()->isWaitingMode());
        w.onReadyButtonClick();
        QVERIFY(!w.scoreBoard()->isWaitingMode());
        // Once the game is over the side bar's Leave stays, whatever board
        // the user closes; a tournament table is left by its round's board.
        auto* leave = w.sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"));
        QVERIFY(leave && !leave->isVisibleTo(&w));
        model->onHandEndNonScoring(endhand_reason_t(0), true);
        QCOMPARE(leave->isVisibleTo(&w), gameType != 1);
    }

    /// The side bar's riichi stick count follows the model at a riichi
    /// discard and when the table is rebuilt or emptied.
    void stickCountsFollowTheModel()
    {
        Table t(playing(1, 4, 2));
        auto& [model, w] = t;
        auto* sticks = w.sideBar()->findChild<QLabel*>(QStringLiteral("riichiStickText"));
        QVERIFY(sticks);
        QCOMPARE(sticks->text(), QStringLiteral("x0"));
        connect(model.get(), &GameModel::tileDiscarded, &w, &GameWindow::onTileDiscarded);
        model->onTileDiscarded(east, tile(5), true);
        QCOMPARE(model->riichiSticks(), 1);
        QCOMPARE(sticks->text(), QStringLiteral("x1"));
        // A new snapshot with two sticks carried on the table rebuilds it.
        std::vector<PlayerData> records;
        for (const auto& [id, p] : model->players())
            records.push_back(p);
        connect(model.get(), &GameModel::gameStateChanged, &w, &GameWindow::onGameStateChanged);
        model->onGameData(8, server_game_state::TILE_CLAIMED_STATE, records, tableState(east, -1, 2),
                          wallState(5, {}, 60, 14));
        QCOMPARE(sticks->text(), QStringLiteral("x%1").arg(model->riichiSticks()));
        QVERIFY(model->riichiSticks() >= 2);
    }

    /// The score board shows the name the table knows for a player, also
    /// when the hand end carries the placeholder of a name still asked for,
    /// and follows a name that arrives later, as the side bar does.
    void scoreBoardShowsTheNamesTheTableKnows_data()
    {
        QTest::addColumn<QString>("recordName");
        QTest::addColumn<QString>("tableName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hand end without the name") << unknownText() << "Kenji" << "Kenji";
        QTest::newRow("table without the name") << "Kenji" << unknownText() << "Kenji";
        QTest::newRow("both with it") << "Kenji" << "Kenji" << "Kenji";
    }

    void scoreBoardShowsTheNamesTheTableKnows()
    {
        QFETCH(QString, recordName);
        QFETCH(QString, tableName);
        QFETCH(QString, shown);
        Table t(playing(1));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::playerNameChanged, &w, &GameWindow::onPlayerNameChanged);
        model->onPlayerNameUpdate(east, tableName);
        std::map<qint32, player_score> scores;
        for (qint32 pid : {east, ownId, west, north}) {
            player_score s;
            s.pid = pid;
            s.scoreType = pid == east ? 1 : 0;
            s.name = pid == east ? recordName : QStringLiteral("player%1").arg(pid);
            scores[pid] = s;
        }
        w.onHandEndScoring(scores, endhand_reason_t(1), false);
        auto* column = w.scoreBoard()->part<QLabel>("name1");
        QCOMPARE(column->text(), shown);
        model->onPlayerNameUpdate(east, QStringLiteral("Sakura"));
        QCOMPARE(column->text(), QStringLiteral("Sakura"));
        QVERIFY(w.sideBar()->playerWidget(east)->findChild<QLabel*>(QStringLiteral("nameLabel"))->toolTip().contains(
            QStringLiteral("Sakura")));
    }

    /// A money round's board names its players as the table does.
    void roundBoardShowsTheNamesTheTableKnows()
    {
        Table t(playing(1));
        auto& [model, w] = t;
        // The winner's call leaves the side bar with the last hand's board.
        player_score win;
        std::tie(win.pid, win.scoreType) = std::pair(east, 1);
        w.onHandEndScoring({{east, win}}, endhand_reason_t(1), false);
        const auto* call = w.sideBar()->playerWidget(east)->findChild<QLabel*>(QStringLiteral("claimLabel"));
        QVERIFY(!call->isHidden());
        w.onEndOfRound({{east, 10, 250}, {ownId, 0, -250}});
        for (const char* name : {"readyPushButton", "closePushButton"})
            if (auto* button = w.scoreBoard()->part<QPushButton>(name); !button->isHidden())
                QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(call->isHidden());
        QStringList names;
        for (const RoundScoreWidget* panel : w.roundScoreBoard()->panels())
            names << panel->screenName();
        QCOMPARE(names, (QStringList{QStringLiteral("player%1").arg(east), QStringLiteral("player%1").arg(ownId)}));
    }

    void furitenNeverShowsWithTheTimeout()
    {
        Table t(playing(1));
        auto& [model, w] = t;
        model->onFuritenChanged(true);
        w.onFuritenChanged(true);
        QVERIFY(w.furitenImage()->isVisible());
        w.onTimeoutOccured();
        QVERIFY(w.timeoutImage()->isVisible());
        QVERIFY(!w.furitenImage()->isVisible());
        w.hideTimeoutItem();
        QVERIFY(w.furitenImage()->isVisible());
    }

    void resizeEndsRunningAnimations()
    {
        Table t(playing(1));
        auto& [model, w] = t;
        w.handView()->setTiles({tile(1), tile(2)});
        w.show();
        w.enqueueAnimation(new TileAnimationSet(w.scene(), static_cast<AnimationSourceRole*>(w.handView()),
                                                static_cast<DiscardTargetRole*>(w.discardView(0)), 300,
                                                std::vector<tile>{tile(1)}));
        w.enqueueAnimation(new DealStartHandAnimation(&w));
        QVERIFY(w.actionQueue()->isBusy());
        const QRectF before = w.view()->sceneRect();
        w.resize(1200, 900);
        w.resize(1210, 905);
        // While the resizing goes on the tiles fly on in the old layout...
        QVERIFY(w.actionQueue()->isBusy());
        QCOMPARE(w.view()->sceneRect(), before);
        // ...which is made anew once it pauses, after they have landed.
        QTRY_VERIFY(!w.actionQueue()->isBusy());
        QCOMPARE(w.actionQueue()->size(), 0);
        QCOMPARE(w.discardView(0)->count(), 1);
        QCOMPARE(w.view()->sceneRect().size(), QSizeF(w.view()->size()));

        // A move ended early (a resize, a click) leaves no tile in flight:
        // the discard's picture leaves at once, dealt tiles stand at their seats.
        w.handView()->setTiles({tile(3)});
        const int items = int(w.scene()->items().size());
        w.enqueueAnimation(new TileAnimationSet(w.scene(), static_cast<AnimationSourceRole*>(w.handView()),
                                                static_cast<DiscardTargetRole*>(w.discardView(0)), 300, std::vector<tile>{tile(3)}));
        QTest::qWait(100);
        w.flushActions();
        QCOMPARE(int(w.scene()->items().size()), items); // the tile, now in the pond
        w.enqueueAnimation(new DealStartHandAnimation(&w));
        QTest::qWait(500);
        w.flushActions();
        for (const TileAnimation* dealt : w.dealTiles())
            QCOMPARE(dealt->picture()->pos(), dealt->posAt(1.0));

        // A chow still flying when the window grows lies as one made at the new size.
        meld_tuple chow = claimMeld(game_protocol::meld_type::CHOW, tile(0));
        chow.extra = east;
        w.onMeldDeclared(ownId, chow);
        w.resize(1600, 1200);
        QTRY_VERIFY(!w.actionQueue()->isBusy() && !TileGraphics::instance().isRendering());
        QTRY_COMPARE(w.view()->sceneRect().size(), QSizeF(w.view()->size()));
        const MeldView* shown = w.declaredView(0)->melds().front();
        const MeldView fresh(0, 1, tile(0), shown->claimedPosition(), shown->claimedOffset(), 0);
        for (std::size_t i = 1; i < 3; ++i)
            QCOMPARE(shown->items()[i]->pos() - shown->items()[0]->pos(), fresh.items()[i]->pos() - fresh.items()[0]->pos());
    }

    void overlaysKeepTheirPlaceOnResize_data()
    {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::addColumn<QPoint>("expected");
        // The notice (its size s) starts at (100, 50) in a 1024 x 768 window.
        QTest::newRow("grown: same share of the free room") << QSize(1024, 768) << QSize(2048, 1536) << QPoint(-1, -1);
        QTest::newRow("too small: at its top left") << QSize(1024, 768) << QSize(100, 100) << QPoint(0, 0);
    }

    void overlaysKeepTheirPlaceOnResize()
    {
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        QFETCH(QPoint, expected);
        GameWindow w(nullptr, nullptr, ownId);
        w.resize(from);
        w.show();
        QWidget* notice = w.waitingWindow();
        // The notice is as big as its texts ask.
        const QSize s = notice->size();
        notice->move(100, 50);
        w.resize(to);
        if (expected != QPoint(-1, -1)) {
            QCOMPARE(notice->pos(), expected);
            return;
        }
        // The room left and right of the notice (above and below) keeps its
        // proportion, to a pixel, and the notice stays inside the window.
        const QRect r = notice->geometry();
        QVERIFY(QRect(QPoint(0, 0), to).contains(r));
        const double before = 100.0 / (from.width() - s.width() - 100),
                     beforeY = 50.0 / (from.height() - s.height() - 50);
        QVERIFY(std::abs(double(r.left()) / (to.width() - r.right() - 1) - before) < 0.01);
        QVERIFY(std::abs(double(r.top()) / (to.height() - r.bottom() - 1) - beforeY) < 0.01);
        QVERIFY(r.left() > 100 && r.top() > 50);
    }

    /// Boards stay wholly on the page through resizes, back where they stood; the wheel scrolls one the page cuts.
    void overlaysStayOnThePage_data()
    {
        QTest::addColumn<bool>("scores");
        QTest::newRow("round board") << false;
        QTest::newRow("score board") << true;
    }

    void overlaysStayOnThePage()
    {
        QFETCH(bool, scores);
        Table t(playing(1));
        auto& [model, w] = t;
        w.resize(1900, 1040);
        w.show();
        connect(model.get(), &GameModel::handEndScoring, &w, &GameWindow::onHandEndScoring);
        const auto show = [&model = model, &w = w, scores]() -> QWidget* {
            if (!scores)
                return w.onEndOfRound({{east, 10, 250}, {ownId, 0, -250}}), w.roundScoreBoard();
            player_score score;
            score.pid = east;
            score.scoreType = 1;
            model->onHandEndScoring({{east, score}}, endhand_reason_t(1), false);
            return w.onAreYouReady(span(60000), false), w.scoreBoard();
        };
        QWidget* shown = show();
        shown->move(shown->x() / 3, shown->y() / 2); // off the centre, as a player drags it
        const QPoint home = shown->pos();
        for (const QSize size : {QSize(1024, 768), QSize(1900, 1040), QSize(800, 600), QSize(1900, 1040),
                                 QSize(800, 400), QSize(1900, 1040), QSize(800, 400)}) {
            w.resize(size);
            const QRect r = shown->geometry();
            QVERIFY(r.left() >= 0 && r.right() < size.width() && r.top() >= 0 && (r.bottom() < size.height() || !r.top()));
            QVERIFY(size.width() != 1900 || shown->pos() == home);
        }
        QWheelEvent wheel(QPointF(shown->x() + 5, 200), {}, {}, QPoint(0, -2400), {}, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&w, &wheel); // as the board's parts pass it on: none of them scrolls
        QVERIFY(shown->geometry().bottom() < 400);
        if (scores) {
            QSignalSpy sent(&w, &GameWindow::ready);
            QTest::mouseClick(w.scoreBoard()->part<QPushButton>("readyPushButton"), Qt::LeftButton);
            QCOMPARE(sent.count(), 1);
        }
        QVERIFY(show()->y() >= 0); // shown anew on the small page
    }

    void answersBelongToTheirMoment_data()
    {
        // What is asked: a claim, a declaration (of a kong, riichi or a pair), robbing a kong, the turn; or a
        // claim with nothing to claim, passed by the table or (auto pass off) by hand.
        QTest::addColumn<QString>("kind");
        // Then, in order, the server's events and the person's inputs, each followed by the answers that went
        // out at it (marked >).
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("shownAfter");    // the chooser at the end
        QTest::newRow("claim, then another discard") << "claim" << "discard" << false;
        QTest::newRow("claim, then another player claims") << "claim" << "claimed" << false;
        QTest::newRow("claim, then the own draw") << "claim" << "draw" << false;
        QTest::newRow("claim, then a player is to act") << "claim" << "act" << false;
        QTest::newRow("claim, then the hand ends: Alt+Z sends nothing") << "claim" << "washout Alt+Z" << false;
        QTest::newRow("claim, then nothing") << "claim" << "" << true;
        QTest::newRow("claim, then a discard and its claim in one turn") << "claim" << "discard claim" << true;
        QTest::newRow("declaration, then the own turn goes on") << "declare" << "act" << true;
        QTest::newRow("declaration, then the own discard") << "declare" << "discard" << false;
        QTest::newRow("robbing a kong, then the kong's dead-wall draw") << "rob" << "deadDraw" << false;
        QTest::newRow("Alt+Z passes at the key, before the next pong offered at once")
            << "claim" << "Alt+Z >pass discard claim" << true;
        QTest::newRow("Alt+P, then Escape: the pong alone") << "claim" << "Alt+P >pong Escape" << false;
        QTest::newRow("a language switch keeps the keys") << "claim" << "language Alt+P >pong" << false;
        QTest::newRow("the own discard confirmed, the page opened again: a second click sends nothing")
            << "turn" << "click >discardTile confirm reopen click" << false;
        QTest::newRow("a wash-out in the own turn: a click sends nothing") << "turn" << "washout click" << false;
        QTest::newRow("nor one in the next deal, on the page opened again") << "turn" << "washout deal reopen click" << false;
        QTest::newRow("Ready on the wash-out answers its question") << "turn" << "washout Ready >ready" << false;
        QTest::newRow("Return on the wash-out answers it too") << "turn" << "washout Return >ready" << false;
        QTest::newRow("the next hand dealt without the Ready: the notice's Ready sends nothing")
            << "turn" << "washout deal Ready" << false;
        QTest::newRow("nothing to claim: the table passes, not its page") << "nothing" << "" << false;
        QTest::newRow("nothing to claim, auto pass off: the chooser asks") << "nothing by hand" << "" << true;
        QTest::newRow("riichi chosen: the tile is still to come") << "riichi" << "Riichi" << false;
        QTest::newRow("riichi chosen, then its tile clicked") << "riichi" << "Riichi click >riichi" << false;
        QTest::newRow("riichi by its key, then its tile clicked") << "riichi" << "Alt+R click >riichi" << false;
        // The table's chat line holds "a pong" as the offer comes; "typed" adds " chow kong".
        QTest::newRow("chat typed: the line whole, Alt+P answers") << "claim, typing" << "typed Alt+P >pong" << false;
        QTest::newRow("chat typed: Tab reaches the offer") << "claim, typing" << "typed Tab Space >pass" << false;
        QTest::newRow("chat typed, then a box: its Ok is not typed") << "claim, typing" << "box typed" << true;
        QTest::newRow("a pair offered: no row, its key sends nothing") << "pair" << "Alt+1" << true;
        // A span of 200 ms, run out by the server's clock before its time-out arrives.
        QTest::newRow("Pass clicked after the claim's span: nothing, the next claim answered on its own")
            << "late claim" << "late Pass timeout claim Pass >pass" << false;
        QTest::newRow("Alt+Z after the claim's span: nothing") << "late claim" << "late Alt+Z timeout claim Alt+Z >pass" << false;
        QTest::newRow("a discard clicked after the turn's span: nothing") << "late turn" << "late click" << false;
    }
    void answersBelongToTheirMoment()
    {
        // The person's keys and clicks on the real widgets, the server's
        // events through the table's model: each answer goes out at its input
        // for what was asked then, and nothing answers a moment that is over.
        QFETCH(QString, kind);
        QFETCH(QString, steps);
        QFETCH(bool, shownAfter);
        const auto span = [late = kind.startsWith("late ")] { return fixtures::span(late ? 200 : 15000); };
        kind.remove(QStringLiteral("late "));
        QSettings().setValue(QStringLiteral("game/autoPass"), kind != "nothing by hand");
        const auto autoPassBack = qScopeGuard([] { QSettings().setValue(QStringLiteral("game/autoPass"), true); });
        // The page in a window with a control after it, as the main window's top bar.
        QWidget frame;
        QPushButton topBar(QStringLiteral("top bar"), &frame);
        topBar.setGeometry(0, 768, 100, 30);
        frame.resize(1024, 800);
        Table t(playing(1));
        auto& [model, w] = t;
        w.setParent(&frame);
        connect(model.get(), &GameModel::handEndNonScoring, &w, &GameWindow::onHandEndNonScoring);
        connect(model.get(), &GameModel::gameStateChanged, &w, &GameWindow::onGameStateChanged);
        connect(model.get(), &GameModel::startHand, &w, &GameWindow::onStartHand);
        w.resize(1024, 768);
        frame.show();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QStringList seen;
        connect(&w, &GameWindow::callPass, [&] { seen << ">pass"; });
        connect(&w, &GameWindow::callPong, [&] { seen << ">pong"; });
        connect(&w, &GameWindow::discardTile, [&] { seen << ">discardTile"; });
        connect(&w, &GameWindow::ready, [&] { seen << ">ready"; });
        connect(&w, &GameWindow::callRiichi, [&](qint32, qint32, tile t) {
            seen << (t == tile(27) ? ">riichi" : QStringLiteral(">riichi with %1").arg(t.code()));
        });
        const meld_offer pong{game_protocol::meld_type::PONG, tile(9)};
        const meld_offer kong{game_protocol::meld_type::KONG, tile(9)};
        struct : QTranslator // another language: every text but the keys in capitals
        {
            bool isEmpty() const override { return false; }
            QString translate(const char*, const char* text, const char*, int) const override
            {
                return QString::fromUtf8(text).contains(QLatin1Char('+')) ? QString() : QString::fromUtf8(text).toUpper();
            }
        } language;
        model->onTileDiscarded(east, tile(9), false);
        QLineEdit chat(w.sideBar()); // the table's chat line
        chat.show();
        if (kind.endsWith("typing"))
            chat.setFocus(), QTest::keyClicks(&chat, QStringLiteral("a pong"));
        if (kind == "pair") // logged, and left out
            QTest::ignoreMessage(QtWarningMsg, "claim offer left out: invalid meld offer sent");
        if (kind.startsWith("claim"))
            t.offer(GameModel::OfferKind::Claim, {pong}, span());
        else if (kind.startsWith("nothing"))
            t.offer(GameModel::OfferKind::Claim, {});
        else if (kind == "declare" || kind == "riichi" || kind == "pair")
            t.offer(GameModel::OfferKind::Declaration, {kind == "declare" ? kong
                                                        : kind == "riichi" ? meld_offer{game_protocol::meld_type::RIICHI, tile(27)}
                                                                           : meld_offer{game_protocol::meld_type::enum_t(32), tile(9)}});
        else if (kind == "rob")
            t.offer(GameModel::OfferKind::RobKong, {meld_offer{game_protocol::meld_type::MAHJONG, tile(0)}});
        else
            model->onPlayerShouldAct(ownId, span());
        MeldAuction* chooser = w.meldAuction();
        QCOMPARE(chooser->isVisibleTo(&w), kind != "turn" && kind != "nothing");
        // A declaration's: Close.
        QCOMPARE(chooser->passButton()->isVisibleTo(&w), kind.startsWith("claim") || kind == "rob" || kind == "nothing by hand");
        tile clicked(0);
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step.startsWith(QLatin1Char('>')))
                continue;
            seen << step;
            if (step == "discard") {
                model->onTileDiscarded(kind == "declare" ? ownId : west, kind == "declare" ? tile(27) : tile(9), false);
            } else if (step == "claim") { // built at the turn's end, for the newest offer
                t.offer(GameModel::OfferKind::Claim, {kong});
            } else if (step == "claimed") {
                model->onTileClaimed(west);
            } else if (step == "draw") {
                model->onTilesFromWall({tile(3)}, false);
            } else if (step == "deadDraw") {
                model->onHiddenTilesFromWall(west, 1, true);
            } else if (step == "act") {
                model->onPlayerShouldAct(kind == "declare" ? ownId : west, span());
            } else if (step == "washout") {
                model->onHandEndNonScoring(endhand_reason_t(7), false);
            } else if (step == "deal") {
                model->onStartHand(8, Seating(north, ownId, east, west), {}, false, tableState(north), wallState(5, {}));
                model->onTilesFromWall(playing()->ownPlayer()->handTiles(), false);
                QVERIFY(!w.washoutWindow()->isVisibleTo(&w)); // the last hand's notice goes with the deal
            } else if (step == "reopen") {
                w.setModel(nullptr);
                w.setModel(model.get());
            } else if (step == "confirm") {
                model->onTileDiscarded(ownId, clicked, false);
            } else if (step == "click") { // the first tile that may be chosen, else the first
                w.flushActions();
                const auto& items = w.handView()->items();
                QVERIFY(!items.empty());
                const auto clickable = std::find_if(items.begin(), items.end(),
                                                    [&w = w](const HandTile* i) { return w.handView()->isClickable(i->tileCode()); });
                const HandTile* item = clickable != items.end() ? *clickable : items.front();
                clicked = item->tileCode();
                const QPoint at = w.view()->mapFromScene(item->sceneBoundingRect().center());
                QTest::mouseClick(w.view()->viewport(), Qt::LeftButton, {}, at);
            } else if (step == "late") {
                QTest::qWait(300);
            } else if (step == "timeout") {
                model->onTimeout();
                w.onTimeoutOccured();
            } else if (step == "Pass") {
                QTest::mouseClick(chooser->passButton(), Qt::LeftButton);
            } else if (step == "Riichi") {
                QTest::mouseClick(chooser->riichiButton(), Qt::LeftButton);
            } else if (step == "Ready") {
                QTest::mouseClick(w.washoutWindow()->findChild<QPushButton*>(QStringLiteral("readyButton")), Qt::LeftButton);
            } else if (step == "box") {
                ModelessMsgBox::information(&w, QStringLiteral("Note"), QStringLiteral("Note")), QTest::qWait(0);
            } else if (step == "typed") {
                QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" chow kong"));
            } else if (step == "Escape" || step == "Return" || step == "Tab" || step == "Space") {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            } else if (step == "language") {
                QVERIFY(QCoreApplication::installTranslator(&language));
                QCoreApplication::processEvents();
            } else {
                QTest::keySequence(&w, QKeySequence(step));
            }
        }
        QTest::qWait(150); // a key's click, were it animated, would land now
        QCOMPARE(seen.join(QLatin1Char(' ')), steps);
        QCOMPARE(chooser->isVisibleTo(&w), shownAfter);
        QCOMPARE(w.isRiichiMode(), steps.endsWith(QLatin1String("Riichi")));
        // The next key goes to what is asked, else to the table: never to the side bar.
        const QWidget* keys = QApplication::focusWidget();
        QCOMPARE(chat.text(), kind.endsWith("typing") ? QStringLiteral("a pong chow kong") : QString());
        const QWidget* asking = kind.endsWith("typing") && !steps.contains("Tab") ? &chat
                                : shownAfter                                      ? static_cast<QWidget*>(chooser)
                                                                                  : w.washoutWindow();
        QVERIFY2(keys && ((keys == w.view() && asking != &chat) || keys == asking || asking->isAncestorOf(keys)), qPrintable(keys ? keys->objectName() : "none"));
        if (steps.endsWith(QLatin1String(" claim")))
            QVERIFY(chooser->choices().front()->offer() == kong);
    }

    void claimTimeRunningOutIsTheServers_data()
    {
        QTest::addColumn<bool>("claim");
        QTest::newRow("a claim") << true;
        QTest::newRow("a declaration") << false;
    }
    void claimTimeRunningOutIsTheServers()
    {
        // A pass sent when the client's estimate of the server's clock runs
        // out would arrive after the server's own time-out: nothing is sent,
        // and the server's time-out closes the chooser.
        QFETCH(bool, claim);
        Table t(playing(1));
        auto& [model, w] = t;
        w.resize(1024, 768);
        QSignalSpy passes(&w, &GameWindow::callPass);
        const meld_offer pong{game_protocol::meld_type::PONG, tile(9)};
        if (claim)
            t.offer(GameModel::OfferKind::Claim, {pong}, span(150));
        else
            t.offer(GameModel::OfferKind::Declaration, {meld_offer{game_protocol::meld_type::KONG, tile(9)}}, span(150));
        QVERIFY(w.meldAuction()->isVisibleTo(&w));
        QTest::qWait(400);
        QCOMPARE(passes.count(), 0);
        QVERIFY(w.meldAuction()->isVisibleTo(&w));
        model->onTimeout();
        w.onTimeoutOccured();
        QVERIFY(!w.meldAuction()->isVisibleTo(&w));
        QCOMPARE(passes.count(), 0);
        // A pass chosen in time goes out once.
        t.offer(GameModel::OfferKind::Claim, {pong}, span(150));
        QTest::mouseClick(w.meldAuction()->passButton(), Qt::LeftButton);
        QTest::qWait(400);
        QCOMPARE(passes.count(), 1);
        QCOMPARE(passes.first().at(2).toBool(), false);
    }

    void riichiAfterASnapshotChoosesNoTile()
    {
        // The own record as a snapshot gives it: in riichi, fourteen tiles,
        // the drawn one not known.
        auto model = std::make_unique<GameModel>(tableId, table(2, 2), ownId, QStringLiteral("me"));
        model->markJoined();
        std::vector<PlayerData> records;
        PlayerData me = player(ownId, 1, true);
        me.setTileCount(14);
        me.setHandTiles({tile(0), tile(1), tile(2), tile(9), tile(9), tile(12), tile(13), tile(14), tile(20),
                         tile(20), tile(27), tile(31), tile(31), tile(5)});
        me.setDiscards({tile(33)}, 0);
        records.push_back(me);
        for (auto [id, wind] : {std::pair{west, 2}, std::pair{north, 3}, std::pair{east, 0}}) {
            PlayerData p = player(id, wind, true);
            p.setTileCount(13);
            records.push_back(p);
        }
        model->onGameData(7, server_game_state::TILE_CLAIMED_STATE, records, tableState(east), wallState(5, {}, 70, 14));
        QVERIFY(model->ownPlayer()->riichiDiscardIndex() != -1);
        QVERIFY(model->ownPlayer()->lastDrawn().empty());
        Table t(std::move(model));
        QSignalSpy discards(&t.w, &GameWindow::discardTile);
        QTest::ignoreMessage(QtWarningMsg, "in riichi without a known drawn tile; nothing to choose");
        t.model->onPlayerShouldAct(ownId, span());
        QVERIFY(!t.w.handView()->isClickable(tile(27)));
        t.w.flushActions();
        QTest::ignoreMessage(QtWarningMsg, "Player hand is not active");
        t.w.onTileClick(tile(27));
        QCOMPARE(discards.count(), 0);
    }

    void scoredHandEndCountsDownToTheNextHand_data()
    {
        QTest::addColumn<bool>("readyAsked"); // the ready question came before the scores
        QTest::addColumn<bool>("endOfGame");  // the hand ends the full game: Play names the stake
        QTest::newRow("deadline known") << true << false;
        QTest::newRow("deadline not yet known") << false << false;
        QTest::newRow("game over, the stake changes under the board") << true << true;
    }
    void scoredHandEndCountsDownToTheNextHand()
    {
        QFETCH(bool, readyAsked);
        QFETCH(bool, endOfGame);
        Table t(playing(1, 4, 0, 2));
        auto& [model, w] = t;
        connect(model.get(), qOverload<const TableInfo&>(&GameModel::tableInfo), &w, &GameWindow::onTableInfo);
        if (readyAsked)
            w.onAreYouReady(span(30000), false);
        std::map<qint32, player_score> scores;
        for (qint32 pid : {east, ownId, west, north}) {
            player_score s;
            s.pid = pid;
            s.scoreType = pid == east ? 1 : 0;
            scores[pid] = s;
        }
        w.onHandEndScoring(scores, endhand_reason_t(1), endOfGame);
        QVERIFY(w.scoreBoard()->isVisibleTo(&w));
        QCOMPARE(w.scoreBoard()->countdown()->isVisibleTo(w.scoreBoard()), readyAsked);
        if (endOfGame) {
            TableInfoUpdates changes;
            for (const auto& [key, value] : {std::pair("SETTLEMENT", 1), std::pair("BET", 1999), std::pair("FEE", 1)})
                changes.push_back(*makeTableInfoChange(key, qint32(value)));
            model->onTableInfo(4, changes);
            QCOMPARE(w.scoreBoard()->part<QPushButton>("readyPushButton")->text(), QStringLiteral("Play ($19.99 + $0.01)"));
        }
    }

    void rebuildShowsEachBonusTileOnce()
    {
        // A bonus tile declared in the hand (a meld record) and the
        // snapshot's bonus list naming it again, beside one of its own.
        Table t(playing(1));
        auto& [model, w] = t;
        w.resize(1024, 768);
        model->onDeclareBonus(west, {tile(34)});
        std::vector<PlayerData> records;
        for (const auto& [id, p] : model->players()) {
            PlayerData copy = p;
            if (id == west)
                copy.setBonusTiles({tile(34), tile(35)});
            records.push_back(copy);
        }
        model->onGameData(8, server_game_state::TILE_CLAIMED_STATE, records, tableState(east), wallState(5, {}, 70, 14));
        Table again(std::move(model));
        const int o = again.w.orientationOf(west);
        tile_vector shown;
        for (const MeldView* group : again.w.declaredView(o)->melds())
            for (tile x : group->tiles())
                shown.push_back(x);
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, (tile_vector{tile(34), tile(35)}));
    }

    void rebuildIsSilent()
    {
        // West's pong, made before the window opens (a watcher coming in, a
        // rejoin): building the table plays no meld sound; a meld declared
        // afterwards does.
        class Recording : public Sound
        {
        public:
            explicit Recording(QStringList& log, unsigned slot) : log(log), slot(slot) {}
            void play(bool) override { log << QString::number(slot); }
            void stop() override {}
            QStringList& log;
            unsigned slot;
        };
        QStringList played;
        GameSounds& sounds = GameSounds::instance();
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot)
            sounds.setSound(slot, std::make_unique<Recording>(played, slot));
        QSettings().setValue(QStringLiteral("game/sound"), true);
        auto model = playing(1);
        model->onTileDiscarded(east, tile(9), false);
        model->onTileClaimed(west);
        model->onMeldDeclared(west, claimMeld(game_protocol::meld_type::PONG, tile(9)));
        GameWindow w(nullptr, nullptr, ownId);
        w.resize(1024, 768);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        played.clear();
        w.setModel(model.get());
        const int o = w.orientationOf(west);
        QCOMPARE(int(w.declaredView(o)->melds().size()), 1);
        QCOMPARE(played, QStringList{});
        w.declareMeld(o, claimMeld(game_protocol::meld_type::PONG, tile(12)), ClaimedFrom::None);
        QCOMPARE(played.size(), 1);
        QSettings().setValue(QStringLiteral("game/sound"), false);
        w.setModel(nullptr);
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot)
            sounds.setSound(slot, nullptr);
    }

    void playerNamesReachTheChatAsText()
    {
        FakeServices services;
        auto model = std::make_unique<GameModel>(tableId, table(0, 2), ownId, QStringLiteral("me"));
        model->markJoined();
        PlayerData evil = player(30, 0, true);
        evil.setName(QStringLiteral("<a href=\"user:Admin\">Bob</a>"));
        model->onGameData(7, server_game_state::INITIAL_STATE, {player(ownId, 1, true), evil}, tableState(),
                          wallState(0, {}));
        GameWindow w(nullptr, &services, ownId);
        w.setModel(model.get());
        QVERIFY(services.conference);
        w.onPlayerSeated(30, tableId, false);
        w.onPlayerUnseated(30);
        const QStringList infos = services.conference->infos;
        QCOMPARE(infos, (QStringList{QStringLiteral("&lt;a href=&quot;user:Admin&quot;&gt;Bob&lt;/a&gt; joined the table"),
                                     QStringLiteral("&lt;a href=&quot;user:Admin&quot;&gt;Bob&lt;/a&gt; left the table")}));
        w.setModel(nullptr);
    }

    void sideBarFollowsTheSeatsAfterALeaveInTheHand()
    {
        // West leaves during the hand and the seat is taken at once; the table changes once the hand ends.
        Table t(playing(1, 4, 0, 2));
        auto& [model, w] = t;
        connect(model.get(), &GameModel::playerUnseated, &w, [&w = w](qint32 pid, qint32) { w.onPlayerUnseated(pid); });
        connect(model.get(), &GameModel::playerSeated, &w, &GameWindow::onPlayerSeated);
        connect(model.get(), &GameModel::gameStateChanged, &w, &GameWindow::onGameStateChanged);
        model->onPlayerLeft(west);
        model->onPlayerJoined(player(30, 2));
        model->onPlayerIsReady(30);
        QVERIFY(w.sideBar()->hasPlayer(west)); // it plays on until the hand ends
        model->onHandEndNonScoring(endhand_reason_t(0), false);
        QVERIFY(!w.sideBar()->hasPlayer(west));
        QVERIFY(w.sideBar()->hasPlayer(30));
        QCOMPARE(w.sideBar()->findChildren<PlayerWidget*>().size(), 4);
    }
};

QTEST_MAIN(TestGameWindow)
#include "tst_game_window.moc"
