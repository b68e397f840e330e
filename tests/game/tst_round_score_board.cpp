// The round score board: panel order, number and money texts, tournament
// points, name and picture updates, dragging, and what a language change keeps.

#include "RoundScoreBoard.h"
#include "RoundScoreWidget.h"
#include "SocialServices.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class FakeServices : public SocialServices
{
public:
    QPixmap playerPicture(qint32 playerId) override
    {
        asked.append(playerId);
        QPixmap p(8, 8);
        p.fill(QColor::fromHsv((playerId * 40) % 360, 200, 200));
        return p;
    }
    ConferenceArea* createConferenceArea(QWidget*, int) override { return nullptr; }
    QList<qint32> asked;
};

QStringList column(const RoundScoreBoard& board, const char* label)
{
    QStringList texts;
    for (const RoundScoreWidget* panel : board.panels())
        texts << panel->label(label)->text();
    return texts;
}

} // namespace

class TestRoundScoreBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void tournamentOrder_data()
    {
        QTest::addColumn<TournamentRoundScores>("scores");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("results");

        QTest::newRow("results, then mahjong points")
            << TournamentRoundScores{{1, 0, -2}, {2, 20, 4}, {3, 30, 4}, {4, 0, 10}}
            << QStringList{"a", "b", "c", "d"} << QStringList{"d", "c", "b", "a"} << QStringList{"5", "2", "2", "-1"};
        QTest::newRow("full tie: the later name first")
            << TournamentRoundScores{{1, 5, 3}, {2, 5, 3}} << QStringList{"anna", "zoe"} << QStringList{"zoe", "anna"}
            << QStringList{"1.5", "1.5"};
        QTest::newRow("negative half points") << TournamentRoundScores{{1, 0, -1}, {2, 0, -7}}
                                              << QStringList{"a", "b"} << QStringList{"a", "b"}
                                              << QStringList{"-0.5", "-3.5"};
        QTest::newRow("large points in full") << TournamentRoundScores{{1, 0, 2147483647}, {2, 0, -2147483647}}
                                              << QStringList{"a", "b"} << QStringList{"a", "b"}
                                              << QStringList{"1073741823.5", "-1073741823.5"};
    }
    void tournamentOrder()
    {
        QFETCH(TournamentRoundScores, scores);
        QFETCH(QStringList, names);
        QFETCH(QStringList, order);
        QFETCH(QStringList, results);
        RoundScoreBoard board(nullptr, nullptr);
        for (int i = 0; i < names.size(); ++i)
            board.onPlayerNameUpdate(i + 1, names[i]);
        board.showRoundScores(scores);
        QVERIFY(board.isTournamentRound());
        QCOMPARE(column(board, "screenName"), order);
        QCOMPARE(column(board, "roundResults"), results);
        for (int k = 0; k < board.panels().size(); ++k)
            QCOMPARE(board.panels()[k]->geometry(), QRect(11, 55 + 95 * k, 334, 94));
    }

    void moneyRound()
    {
        RoundScoreBoard board(nullptr, nullptr);
        board.showMonetaryRoundScores({{1, 10, 250}, {2, 40, 300}, {3, 0, -550}});
        QVERIFY(!board.isTournamentRound());
        QCOMPARE(column(board, "mahjongPoints"), (QStringList{"$3", "$2.50", "$-5.50"}));
        for (const RoundScoreWidget* panel : board.panels()) {
            QCOMPARE(panel->label("mahjongPointsLabel")->text(), QStringLiteral("Round balance:"));
            QVERIFY(panel->label("roundResults")->isHidden());
            QVERIFY(panel->label("tournamentPointsLabel")->isHidden());
        }
    }

    void tournamentPoints()
    {
        RoundScoreBoard board(nullptr, nullptr);
        board.showRoundScores({{1, 0, 4}, {2, 0, 2}});
        QCOMPARE(column(board, "tournamentPoints"), (QStringList{"0", "0"}));
        board.updateTournamentPoints({{1, QString(), 7, 0, true}, {9, QString(), 100, 0, true}});
        QCOMPARE(column(board, "tournamentPoints"), (QStringList{"3.5", "0"}));
        // A later list lacking player 1 resets it.
        board.updateTournamentPoints({{2, QString(), 3, 0, true}});
        QCOMPARE(column(board, "tournamentPoints"), (QStringList{"0", "1.5"}));
    }

    void namesAndPictures()
    {
        FakeServices services;
        RoundScoreBoard board(&services, nullptr);
        board.showRoundScores({{7, 0, 4}, {8, 0, 2}});
        QCOMPARE(services.asked, (QList<qint32>{7, 8}));
        QVERIFY(!board.panels()[0]->label("avatar")->pixmap().isNull());
        // Names come from the ranking list when nothing else named them.
        board.updateTournamentPoints({{8, QStringLiteral("<b>bob</b>"), 0, 0, true}});
        QCOMPARE(board.panels()[1]->screenName(), QStringLiteral("<b>bob</b>"));
        QCOMPARE(board.panels()[1]->label("screenName")->textFormat(), Qt::PlainText);
        // A name that sorts first changes nothing of the order.
        board.onPlayerNameUpdate(8, QStringLiteral("zzz"));
        QCOMPARE(column(board, "screenName"), (QStringList{"", "zzz"}));
        board.onPlayerPictureUpdate(8);
        board.onPlayerPictureUpdate(99);
        QCOMPARE(services.asked, (QList<qint32>{7, 8, 8}));
        Q_EMIT services.playerPictureUpdate(7);
        QCOMPARE(services.asked.last(), 7);
    }

    void noServicesNoPicture()
    {
        RoundScoreBoard board(nullptr, nullptr);
        board.showMonetaryRoundScores({{1, 0, 0}});
        QVERIFY(board.panels()[0]->label("avatar")->pixmap().isNull());
    }

    void headers()
    {
        RoundScoreBoard board(nullptr, nullptr);
        TournamentInfo info;
        info.name = QStringLiteral("Spring <i>cup</i>");
        info.currentRound = 0;
        info.numberOfRounds = 3;
        board.setTournamentInfo(info);
        QCOMPARE(board.titleLabel()->text(), info.name);
        QCOMPARE(board.titleLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(board.roundLabel()->text(), QStringLiteral("Round 1/3"));
        TableInfo table;
        table.name = QStringLiteral("Table 9");
        board.setTableInfo(table);
        QCOMPARE(board.titleLabel()->text(), QStringLiteral("Table 9"));
        QCOMPARE(board.roundLabel()->text(), QStringLiteral("Round results"));
    }

    void closeHidesThenSignals()
    {
        QWidget window;
        RoundScoreBoard board(nullptr, &window);
        window.show();
        board.show();
        bool hiddenAtSignal = false;
        connect(&board, &RoundScoreBoard::closeClick, this, [&] { hiddenAtSignal = board.isHidden(); });
        QSignalSpy spy(&board, &RoundScoreBoard::closeClick);
        board.closeButton()->click();
        QCOMPARE(spy.count(), 1);
        QVERIFY(hiddenAtSignal);
    }

    void languageChangeKeepsShownData()
    {
        RoundScoreBoard board(nullptr, nullptr);
        TournamentInfo info;
        info.name = QStringLiteral("Cup");
        info.currentRound = 1;
        info.numberOfRounds = 4;
        board.setTournamentInfo(info);
        board.onPlayerNameUpdate(1, QStringLiteral("ann"));
        board.showRoundScores({{1, 12, 5}});
        board.updateTournamentPoints({{1, QString(), 9, 0, true}});
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&board, &change);
        QCoreApplication::sendEvent(board.panels()[0], &change);
        QCOMPARE(board.titleLabel()->text(), QStringLiteral("Cup"));
        QCOMPARE(board.roundLabel()->text(), QStringLiteral("Round 2/4"));
        QCOMPARE(column(board, "screenName"), QStringList{"ann"});
        QCOMPARE(column(board, "mahjongPoints"), QStringList{"12"});
        QCOMPARE(column(board, "roundResults"), QStringList{"2.5"});
        QCOMPARE(column(board, "tournamentPoints"), QStringList{"4.5"});
    }

    void dragByTitleOnly()
    {
        QWidget window;
        window.resize(800, 600);
        RoundScoreBoard board(nullptr, &window);
        board.move(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A press on the round label starts nothing.
        QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(50, 45));
        QTest::mouseMove(&board, QPoint(80, 80));
        QCOMPARE(board.pos(), QPoint(100, 100));
        QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(80, 80));

        QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(50, 20));
        QTest::mouseMove(&board, QPoint(60, 25));
        QCOMPARE(board.pos(), QPoint(110, 105));
        // The pointer outside the window: the board stays where it was.
        QTest::mouseMove(&board, QPoint(-200, 25));
        QCOMPARE(board.pos(), QPoint(110, 105));
        QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(-200, 25));
        QTest::mouseMove(&board, QPoint(90, 90));
        QCOMPARE(board.pos(), QPoint(110, 105));
    }
};

QTEST_MAIN(TestRoundScoreBoard)
#include "tst_round_score_board.moc"
