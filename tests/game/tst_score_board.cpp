// The end-of-hand score board: score tables, settlement rows and their
// payment rule, claim pictures, tabs, buttons by game type, the countdown,
// escaping of server text, and what a language change keeps.

#include "DeclaredView.h"
#include "HandScene.h"
#include "MeldView.h"
#include "ScoreBoard.h"
#include "TileView.h"
#include "TimerView.h"
#include "ViewTestSupport.h"

#include <QGraphicsView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

namespace {

player_score scoreOf(qint32 pid, int winner, int settlement = 0, int payment = 0)
{
    player_score s;
    s.pid = pid;
    s.name = QStringLiteral("player %1").arg(pid);
    s.scoreType = winner;
    s.settlement = settlement;
    s.currentScore = 100 + pid;
    s.payment = payment;
    return s;
}

TableInfo tableOf(int ruleset, int gameType)
{
    TableInfo t;
    t.ruleset = ruleset;
    t.gameType = gameType;
    t.value.setSettlement(1);
    t.value.setBet(500);
    t.value.setFee(25);
    return t;
}

} // namespace

class TestScoreBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(ViewTestSupport::prepareTiles());
    }

    void handScoreTable()
    {
        player_score s = scoreOf(1, 1);
        s.points = {{QStringLiteral("Pung <b>"), 1000}, {QStringLiteral("Kong"), 2000}};
        s.pointsTotal = 3000;
        s.limitHands = {{QStringLiteral("Nine gates"), 0}};
        s.handScore = 1200;
        const QString html = ScoreBoard::handScoreTable(s, 0);
        QVERIFY(html.startsWith(QStringLiteral("<table rules=\"groups\" width=\"100%\">")));
        QVERIFY(html.contains(QStringLiteral("<tr><td align=\"left\" colspan=\"2\"><u>Points:</u></td></tr>\n")));
        QVERIFY(html.contains(QStringLiteral("<tr><td align=\"left\">Pung &lt;b&gt;</td><td align=\"right\">1,000</td></tr>\n")));
        QVERIFY(html.contains(QStringLiteral(
            "<tr><td></td><td align=\"right\"><span style=\"text-decoration:overline;\">3000</span></td></tr>\n")));
        QVERIFY(html.contains(QStringLiteral("<tr><td align=\"left\">Nine gates</td><td align=\"right\"></td></tr>\n")));
        QVERIFY(html.contains(QStringLiteral("Hand Score</td><td align=\"right\">1,200")));
        QVERIFY(!html.contains(QStringLiteral("Doubles:")));
        QVERIFY(html.endsWith(QStringLiteral("</table>")));
        // No hand score row at a riichi table, nor for a score of 0.
        QVERIFY(!ScoreBoard::handScoreTable(s, 2).contains(QStringLiteral("Hand Score")));
        s.handScore = 0;
        QVERIFY(!ScoreBoard::handScoreTable(s, 0).contains(QStringLiteral("Hand Score")));
    }

    void columns_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("mahjongType");
        QTest::addColumn<QList<int>>("payments");
        QTest::addColumn<QList<int>>("settlements");
        QTest::addColumn<QList<bool>>("claimPictures");
        QTest::addColumn<bool>("paymentRow");

        QTest::newRow("two players, no payment") << 0 << 2 << QList<int>{0, 0} << QList<int>{10, -10}
                                                 << QList<bool>{true, false, false, false} << false;
        QTest::newRow("one payment shows the row for all") << 0 << 1 << QList<int>{0, -250} << QList<int>{10, -10}
                                                           << QList<bool>{true, false, false, false} << true;
        QTest::newRow("riichi tenpai") << 2 << 3 << QList<int>{0, 0, 0} << QList<int>{10, 1000, 0}
                                       << QList<bool>{true, true, false, false} << false;
        QTest::newRow("no way of winning: no picture") << 0 << 0 << QList<int>{0, 0} << QList<int>{0, 0}
                                                       << QList<bool>{false, false, false, false} << false;
    }
    void columns()
    {
        QFETCH(int, ruleset);
        QFETCH(int, mahjongType);
        QFETCH(QList<int>, payments);
        QFETCH(QList<int>, settlements);
        QFETCH(QList<bool>, claimPictures);
        QFETCH(bool, paymentRow);
        ScoreBoard board(nullptr);
        std::vector<player_score> scores;
        for (int i = 0; i < payments.size(); ++i)
            scores.push_back(scoreOf(i + 1, i == 0 ? 1 : 0, settlements[i], payments[i]));
        board.showScores(scores, -1, mahjongType, tableOf(ruleset, 0), false);
        for (int i = 0; i < 4; ++i) {
            const QString n = QString::number(i + 1);
            const bool used = i < payments.size();
            auto* claim = board.part<QLabel>(qPrintable(QStringLiteral("exclamation") + n));
            QCOMPARE(!claim->pixmap().isNull(), claimPictures[i]);
            QCOMPARE(board.part<QLabel>(qPrintable(QStringLiteral("name") + n))->text(),
                     used ? QStringLiteral("player %1").arg(i + 1) : QString());
            const QString total = board.part<QLabel>(qPrintable(QStringLiteral("total") + n))->text();
            QCOMPARE(total.contains(QStringLiteral("Payment")), used && paymentRow);
            QCOMPARE(total.isEmpty(), !used);
            QCOMPARE(board.tabs()->tabText(i), !used ? QString() : i == 0 ? QStringLiteral("Winning hand")
                                                                          : QStringLiteral("player %1").arg(i + 1));
        }
        if (paymentRow)
            QVERIFY(board.part<QLabel>("total2")->text().contains(QStringLiteral("$-2.50")));
    }

    void buttons_data()
    {
        QTest::addColumn<int>("gameType");
        QTest::addColumn<bool>("endOfGame");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<bool>("leave");
        QTest::newRow("single hand") << 0 << false << "Ready" << true;
        QTest::newRow("tournament") << 1 << true << "Next hand" << false;
        QTest::newRow("full game going on") << 2 << false << "Next hand" << false;
        QTest::newRow("full game over") << 2 << true << "Play ($5 + $0.25)" << true;
    }
    void buttons()
    {
        QFETCH(int, gameType);
        QFETCH(bool, endOfGame);
        QFETCH(QString, ready);
        QFETCH(bool, leave);
        ScoreBoard board(nullptr);
        board.showScores({scoreOf(1, 1)}, -1, 1, tableOf(0, gameType), endOfGame);
        QCOMPARE(board.part<QPushButton>("readyPushButton")->text(), ready);
        QCOMPARE(!board.part<QPushButton>("leavePushButton")->isHidden(), leave);
    }

    void scoringTilesAndTabs()
    {
        ScoreBoard board(nullptr);
        player_score winner = scoreOf(5, 1);
        winner.highlighted = {{{tile(1), tile(2), tile(3)}, 2}, {{tile(30), tile(30)}, 0}};
        board.showScores({scoreOf(3, 0), winner}, 5, 1, tableOf(0, 0), false);
        QCOMPARE(board.tabs()->currentIndex(), 1);
        const auto& melds = board.handScene(1)->declaredView()->melds();
        QCOMPARE(int(melds.size()), 2);
        QVERIFY(melds[0]->items()[1]->isHighlighted());
        QVERIFY(!melds[0]->items()[0]->isHighlighted());
        QVERIFY(!melds[1]->items()[0]->isHighlighted());
        QCOMPARE(melds[0]->items()[0]->tilePainter(), TileGraphics::instance().basePainter());
        // An unknown pid leaves the tab; -1 picks the first; old hands go.
        board.showScores({scoreOf(3, 0)}, 42, 1, tableOf(0, 0), false);
        QCOMPARE(board.tabs()->currentIndex(), 1);
        QVERIFY(board.handScene(1)->declaredView()->melds().empty());
        board.showScores({scoreOf(3, 0)}, -1, 1, tableOf(0, 0), false);
        QCOMPARE(board.tabs()->currentIndex(), 0);
        // A winning row of 26 tiles fits the tab of the smallest board whole.
        winner.highlighted = {{tile_vector(24, tile(4)), 0}, {{tile(30), tile(30)}, 0}};
        board.show();
        board.showScores({winner}, 5, 1, tableOf(0, 0), false);
        auto* view = static_cast<QGraphicsView*>(board.tabs()->currentWidget());
        QCOMPARE_LE(view->mapFromScene(view->sceneRect()).boundingRect().width(), view->viewport()->width() + 1);
        // The winner's long score names beside the losers' empty lists stand on one line.
        winner.points = {{QStringLiteral("Concealed kong of simples"), 4}};
        board.showScores({winner, scoreOf(3, 0)}, 5, 1, tableOf(0, 0), false);
        const QTextBlock row = board.part<QTextEdit>("score1")->document()->find(QStringLiteral("Concealed kong of simples")).block();
        QTRY_COMPARE(row.layout()->lineCount(), 1);
    }

    void tabsOfSentHands_data()
    {
        QTest::addColumn<QList<bool>>("withTiles"); // per record; the first is the winner
        QTest::addColumn<int>("selected");          // a record index, -1 for none
        QTest::addColumn<int>("current");
        QTest::newRow("only the winner's hand") << QList<bool>{true, false, false, false} << -1 << 0;
        QTest::newRow("a loser without tiles asked for") << QList<bool>{true, false, true, false} << 1 << 0;
        QTest::newRow("a loser with tiles asked for") << QList<bool>{true, false, true, false} << 2 << 2;
        QTest::newRow("the winner sent no tiles") << QList<bool>{false, true, false, false} << 0 << 1;
    }
    void tabsOfSentHands()
    {
        QFETCH(QList<bool>, withTiles);
        QFETCH(int, selected);
        QFETCH(int, current);
        ScoreBoard board(nullptr);
        std::vector<player_score> scores;
        for (int i = 0; i < withTiles.size(); ++i) {
            player_score s = scoreOf(11 + i, i == 0 ? 1 : 0);
            s.name = i == 2 ? QStringLiteral("Tom & <b>Jerry</b>") : s.name;
            if (withTiles[i])
                s.highlighted = {{{tile(std::uint8_t(i)), tile(std::uint8_t(i + 1)), tile(std::uint8_t(i + 2))}, 0}};
            scores.push_back(s);
        }
        board.showScores(scores, selected < 0 ? -1 : 11 + selected, 1, tableOf(0, 0), false);
        QCOMPARE(board.tabs()->currentIndex(), current);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(board.tabs()->isTabVisible(i), withTiles[i]);
            if (i > 0)
                QCOMPARE(board.tabs()->tabText(i).replace(QStringLiteral("&&"), QStringLiteral("&")), scores[std::size_t(i)].name);
        }
        // The tab follows a new name of its player.
        board.onPlayerNameUpdate(12, QStringLiteral("Kenji"));
        QCOMPARE(board.tabs()->tabText(1), QStringLiteral("Kenji"));
    }

    void buttonsReport()
    {
        QWidget window;
        ScoreBoard board(&window);
        window.show();
        board.show();
        QSignalSpy ready(&board, &ScoreBoard::readyClicked);
        QSignalSpy leave(&board, &ScoreBoard::leaveClicked);
        board.part<QPushButton>("leavePushButton")->click();
        QCOMPARE(leave.count(), 1);
        QVERIFY(board.isVisible());
        board.part<QPushButton>("readyPushButton")->click();
        QCOMPARE(ready.count(), 1);
        QVERIFY(!board.isVisible());
        board.setReadyVisible(false);
        QVERIFY(board.part<QPushButton>("readyPushButton")->isHidden());
        QVERIFY(!board.part<QPushButton>("closePushButton")->isHidden());
    }

    void countdown()
    {
        ScoreBoard board(nullptr);
        board.startCountdown(QDateTime::currentDateTimeUtc().addSecs(-5));
        QVERIFY(board.countdown()->isHidden());
        QVERIFY(board.part<QLabel>("nextRoundLabel")->isHidden());
        board.startCountdown(QDateTime::currentDateTimeUtc().addSecs(30));
        QVERIFY(!board.countdown()->isHidden());
        // The pie is round, however low the line of its label.
        board.show();
        const QImage pie = board.countdown()->grab().toImage();
        QRect painted;
        for (int y = 0; y < pie.height(); ++y)
            for (int x = 0; x < pie.width(); ++x)
                if (pie.pixel(x, y) != pie.pixel(0, 0))
                    painted |= QRect(x, y, 1, 1);
        QVERIFY2(painted.height() >= 30 && std::abs(painted.width() - painted.height()) <= 1,
                 qPrintable(QStringLiteral("%1x%2").arg(painted.width()).arg(painted.height())));
        board.stopCountdown();
        QVERIFY(board.countdown()->isHidden());
        QVERIFY(!board.countdown()->deadline().isValid());
    }

    void languageChangeKeepsTheScores()
    {
        ScoreBoard board(nullptr);
        player_score s = scoreOf(1, 1, 30);
        s.points = {{QStringLiteral("Pung"), 4}};
        board.showScores({s, scoreOf(2, 0)}, -1, 2, tableOf(0, 0), false);
        board.setAvatar(0, QPixmap(8, 8));
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&board, &change);
        QVERIFY(board.part<QTextEdit>("score1")->toPlainText().contains(QStringLiteral("Pung")));
        QCOMPARE(board.part<QLabel>("name2")->text(), QStringLiteral("player 2"));
        QCOMPARE(board.tabs()->tabText(0), QStringLiteral("Winning hand"));
        QVERIFY(!board.part<QLabel>("exclamation1")->pixmap().isNull());
        QCOMPARE(board.part<QLabel>("avatar1")->pixmap().size(), QSize(64, 64));
        QCOMPARE(board.part<QLabel>("name1")->textFormat(), Qt::PlainText);
    }
};

QTEST_MAIN(TestScoreBoard)
#include "tst_score_board.moc"
