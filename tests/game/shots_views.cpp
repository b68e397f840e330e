// Pictures of the table's views and boards, saved in the working directory
// for a person to look at: every meld kind on every side, the claim chooser
// with several offers, a whole table, and both score boards in English and
// Japanese. Each picture is also checked for having been drawn at all.

#include "DeclaredView.h"
#include "GameGraphicsScene.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "MeldChoice.h"
#include "PrevalentWindView.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "TableWall.h"
#include "ViewTestSupport.h"

#include <TableInfo.h>

#include <QGraphicsView>
#include <QLocale>
#include <QPainter>
#include <QTest>
#include <QTranslator>

namespace {

/// A meld record as the model keeps it: `extra` the claimed-from player,
/// `extraTile` the claimed tile's offset in a chow.
meld_tuple meldOf(int type, int code, int visibility = 0, int extra = -1, int extraTile = 0xFF)
{
    meld_tuple m;
    m.type = game_protocol::meld_type::enum_t(type);
    m.visibility = game_protocol::meld_visibility::enum_t(visibility);
    m.meld_tile = tile(std::uint8_t(code));
    m.extra = extra;
    m.extra_tile = tile(std::uint8_t(extraTile));
    return m;
}

/// Every meld kind, each claimed from another seat.
void declareAll(DeclaredView* view)
{
    view->declareMeld(meldOf(1, 2, 0, 7, 1), ClaimedFrom::Left); // chow 3-4-5, the 4 claimed from the left
    view->declareMeld(meldOf(2, 27, 0, 7), ClaimedFrom::Across); // pong from across
    view->declareMeld(meldOf(8, 31, 1), ClaimedFrom::None); // concealed kong
    view->declareMeld(meldOf(8, 20, 0, 7), ClaimedFrom::Right); // kong from the right
    view->declareMeld(meldOf(2, 12, 0, 7), ClaimedFrom::Across);
    view->declareMeld(meldOf(4, 12), ClaimedFrom::None); // the pong above extended
    view->declareMeld(meldOf(32, 33, 0, 7), ClaimedFrom::Left);
    view->addBonusTile(tile(35));
    view->addBonusTile(tile(39));
}

/// True when the picture holds more than one colour.
bool drawn(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

bool save(const QImage& image, const QString& name)
{
    return drawn(image) && image.save(name);
}

QImage renderScene(QGraphicsScene& scene, const QRectF& rect)
{
    QImage image(rect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(32, 96, 64));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    scene.render(&painter, QRectF(QPointF(0, 0), rect.size()), rect);
    return image;
}

std::vector<player_score> sampleScores()
{
    player_score winner;
    winner.pid = 7;
    winner.name = QStringLiteral("Sakura <3");
    winner.scoreType = 1;
    winner.points = {{QStringLiteral("Pung of dragons"), 8}, {QStringLiteral("Concealed kong"), 16}};
    winner.pointsTotal = 24;
    winner.doubles = {{QStringLiteral("Dragon pung"), 1}};
    winner.doublesTotal = 1;
    winner.handScore = 1200;
    winner.settlement = 2400;
    winner.currentScore = 4400;
    winner.payment = 250;
    winner.highlighted = {{{tile(2), tile(3), tile(4)}, 2}, {{tile(31), tile(31), tile(31), tile(31)}, 0},
                          {{tile(9), tile(9)}, 1}};
    std::vector<player_score> scores{winner};
    for (int i = 0; i < 3; ++i) {
        player_score other;
        other.pid = 8 + i;
        other.name = QStringLiteral("Player %1").arg(i + 2);
        other.scoreType = 0;
        other.settlement = -800;
        other.currentScore = 1200 - 100 * i;
        other.payment = -80;
        other.highlighted = {{{tile(std::uint8_t(10 + i)), tile(std::uint8_t(11 + i)), tile(std::uint8_t(12 + i))}, 0}};
        scores.push_back(other);
    }
    return scores;
}

} // namespace

class ShotsViews : public QObject
{
    Q_OBJECT

    QTranslator japanese;

    void setLanguage(bool ja)
    {
        if (ja) {
            QVERIFY(japanese.load(QStringLiteral(VIEWS_JA_QM)));
            QCoreApplication::installTranslator(&japanese);
        } else {
            QCoreApplication::removeTranslator(&japanese);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(ViewTestSupport::prepareTiles());
    }

    void meldsOnEverySide()
    {
        GameGraphicsScene scene;
        const QPointF places[4] = {{100, 760}, {1000, 640}, {950, 150}, {130, 110}};
        for (int side = 0; side < 4; ++side) {
            auto* view = new DeclaredView(side, side % 2 == 0 ? 880 : 520);
            scene.addItem(view);
            view->setPos(places[side]);
            declareAll(view);
        }
        QVERIFY(save(renderScene(scene, QRectF(0, 0, 1150, 900)), QStringLiteral("melds_all_sides.png")));
    }

    void claimChooser()
    {
        QWidget window;
        window.resize(400, 600);
        auto* chooser = new MeldAuction(&window);
        chooser->clear();
        chooser->showPassButton();
        for (const meld_offer& offer : {meld_offer{game_protocol::meld_type::CHOW, tile(2)},
                                        meld_offer{game_protocol::meld_type::CHOW, tile(3)},
                                        meld_offer{game_protocol::meld_type::PONG, tile(4)},
                                        meld_offer{game_protocol::meld_type::KONG, tile(4)},
                                        meld_offer{game_protocol::meld_type::MAHJONG, tile(0)}})
            chooser->addOffer(offer, tile(4));
        chooser->setMode(0);
        // The table window gives the chooser its size hint, as here.
        chooser->resize(chooser->sizeHint());
        QVERIFY(chooser->height() > 4 * 87);
        window.show();
        chooser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(save(chooser->grab().toImage(), QStringLiteral("claim_chooser.png")));
    }

    void wholeTable()
    {
        GameGraphicsScene scene;
        TableWall wall(&scene);
        TableInfo table;
        table.ruleset = 2;
        wall.setRuleset(table);
        wall.setPos(QPoint(290, 170));
        wall.setWall(0, 60, 14, 10, 2, {tile(5)});
        auto* hand = new HandView;
        scene.addItem(hand);
        hand->setPos(760, 900);
        hand->setTiles({tile(0), tile(1), tile(2), tile(9), tile(9), tile(18), tile(19), tile(20), tile(27), tile(27),
                        tile(31), tile(32), tile(33)});
        hand->setActive(true);
        hand->highlightTile(tile(9));
        const QPointF hiddenAt[4] = {{0, 0}, {1160, 150}, {350, 70}, {90, 850}};
        for (int side = 1; side < 4; ++side) {
            auto* hidden = new HiddenHandView(side);
            scene.addItem(hidden);
            hidden->setPos(hiddenAt[side]);
            hidden->setCount(13);
        }
        const QPointF meldsAt[4] = {{800, 860}, {1040, 800}, {800, 150}, {230, 160}};
        for (int side = 0; side < 4; ++side) {
            auto* view = new DeclaredView(side, side % 2 == 0 ? 400 : 300);
            scene.addItem(view);
            view->setPos(meldsAt[side]);
            view->declareMeld(meldOf(2, 27 + side, 0, 7), ClaimedFrom::Across);
            view->declareMeld(meldOf(1, 3 + side, 0, 7, 1), ClaimedFrom::Left);
            view->declareMeld(meldOf(8, 31, 1), ClaimedFrom::None);
            view->addBonusTile(tile(std::uint8_t(34 + side)));
        }
        auto* wind = new PrevalentWindView;
        scene.addItem(wind);
        wind->setScale(1.5);
        wind->setWind(1);
        const QRectF inner = wall.innerRect().translated(290, 170);
        wind->setPos(inner.center() - QPointF(wind->width() / 2.0, wind->height() / 2.0));
        QVERIFY(save(renderScene(scene, QRectF(0, 0, 1280, 1000)), QStringLiteral("table_views.png")));
    }

    void scoreBoards_data()
    {
        QTest::addColumn<bool>("ja");
        QTest::newRow("en") << false;
        QTest::newRow("ja") << true;
    }
    void scoreBoards()
    {
        QFETCH(bool, ja);
        setLanguage(ja);
        const QString suffix = ja ? QStringLiteral("ja") : QStringLiteral("en");
        QWidget window;
        window.resize(1000, 800);
        auto* board = new ScoreBoard(&window);
        TableInfo table;
        table.name = QStringLiteral("Table 12");
        table.ruleset = 0;
        table.gameType = 2;
        table.value.setSettlement(1);
        table.value.setBet(500);
        table.value.setFee(25);
        board->showScores(sampleScores(), 7, 1, table, true);
        for (int i = 0; i < 4; ++i)
            board->setAvatar(i, QPixmap(QStringLiteral("resources:/avatar-default-%1.png").arg(i % 2 + 1)));
        board->startCountdown(QDateTime::currentDateTimeUtc().addSecs(20));
        board->setReadyVisible(true);
        window.show();
        board->showDialog(true);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(save(board->grab().toImage(), QStringLiteral("score_board_%1.png").arg(suffix)));

        auto* round = new RoundScoreBoard(nullptr, &window);
        TournamentInfo info;
        info.name = QStringLiteral("Winter <cup>");
        info.currentRound = 1;
        info.numberOfRounds = 4;
        round->setTournamentInfo(info);
        round->onPlayerNameUpdate(1, QStringLiteral("Sakura"));
        round->onPlayerNameUpdate(2, QStringLiteral("Kenji"));
        round->onPlayerNameUpdate(3, QStringLiteral("Mei"));
        round->onPlayerNameUpdate(4, QStringLiteral("Ana"));
        round->showRoundScores({{1, 0, -2}, {2, 20, 4}, {3, 30, 4}, {4, 0, 10}});
        round->updateTournamentPoints({{4, QString(), 7, 0, true}, {3, QString(), 5, 0, true}});
        round->show();
        round->raise();
        QVERIFY(save(round->grab().toImage(), QStringLiteral("round_score_board_%1.png").arg(suffix)));
        setLanguage(false);
    }
};

QTEST_MAIN(ShotsViews)
#include "shots_views.moc"
