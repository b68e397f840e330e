// The table notices: buttons per game type and for watchers, the reason
// lines, the countdown against the server clock, the number of missing
// players, and one reactivation per showing.

#include "ArtSearchPaths.h"
#include "GameFixtures.h"
#include "PlayerInactiveWindow.h"
#include "ServerTime.h"
#include "TimerView.h"
#include "ValueColumnType.h"
#include "WaitingForPlayersWindow.h"
#include "WashoutWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

using namespace fixtures;

namespace {
QPushButton* button(QWidget& w, const char* name)
{
    return w.findChild<QPushButton*>(QLatin1String(name));
}
QLabel* label(QWidget& w, const char* name)
{
    return w.findChild<QLabel*>(QLatin1String(name));
}
TableInfo moneyTable(int gameType)
{
    TableInfo info = table(0, gameType);
    info.value.setSettlement(1);
    info.value.setBet(500);
    info.value.setFee(25);
    return info;
}
}

class TestTableNotices : public QObject
{
    Q_OBJECT

    QTranslator english;
    QWidget window;

private Q_SLOTS:
    void initTestCase()
    {
        ArtSearchPaths::install();
        QVERIFY(english.load(QStringLiteral(TABLE_EN_QM)));
        QCoreApplication::installTranslator(&english);
        window.resize(800, 600);
        window.show();
    }

    void washoutButtonsPerGameType_data()
    {
        QTest::addColumn<int>("gameType");
        QTest::addColumn<bool>("endOfGame");
        QTest::addColumn<bool>("watching");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<bool>("leaveShown");
        QTest::addColumn<bool>("okShown");
        const QString play = QStringLiteral("Play (%1)").arg(ValueColumnType(moneyTable(2).value).stakeAndFeeText());
        QTest::newRow("single hand") << 0 << false << false << QStringLiteral("Ready") << true << false;
        QTest::newRow("tournament") << 1 << true << false << QStringLiteral("Next hand") << false << false;
        QTest::newRow("full game going on") << 2 << false << false << QStringLiteral("Next hand") << false << false;
        QTest::newRow("full game ended") << 2 << true << false << play << true << false;
        QTest::newRow("watcher") << 2 << true << true << QString() << false << true;
    }
    void washoutButtonsPerGameType()
    {
        QFETCH(int, gameType);
        QFETCH(bool, endOfGame);
        QFETCH(bool, watching);
        QFETCH(QString, ready);
        QFETCH(bool, leaveShown);
        QFETCH(bool, okShown);
        WashoutWindow notice(&window);
        notice.setTableInfo(moneyTable(gameType));
        notice.setEndOfGame(endOfGame);
        notice.setWatching(watching);
        notice.showDialog(true);
        QCOMPARE(button(notice, "readyButton")->isVisible(), !watching);
        if (!watching) {
            QCOMPARE(button(notice, "readyButton")->text(), ready);
            QVERIFY(button(notice, "readyButton")->isDefault());
        }
        QCOMPARE(button(notice, "leaveButton")->isVisible(), leaveShown);
        QCOMPARE(button(notice, "okButton")->isVisible(), okShown);
    }

    void buttonsSignalOnceAndHide_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ready");
        QTest::addColumn<int>("leave");
        QTest::addColumn<int>("key"); // typed on the notice instead of a click, as in a dialog box
        QTest::newRow("ready") << QStringLiteral("readyButton") << 1 << 0 << 0;
        QTest::newRow("leave") << QStringLiteral("leaveButton") << 0 << 1 << 0;
        QTest::newRow("ok") << QStringLiteral("okButton") << 0 << 0 << 0;
        QTest::newRow("Return: ready") << QStringLiteral("readyButton") << 1 << 0 << int(Qt::Key_Return);
        QTest::newRow("Escape: leave") << QStringLiteral("leaveButton") << 0 << 1 << int(Qt::Key_Escape);
    }
    void buttonsSignalOnceAndHide()
    {
        QFETCH(QString, name);
        QFETCH(int, ready);
        QFETCH(int, leave);
        QFETCH(int, key);
        WashoutWindow notice(&window);
        notice.setTableInfo(table(0, 0));
        notice.setWatching(name == QStringLiteral("okButton"));
        QSignalSpy readySpy(&notice, &WashoutWindow::readyButtonClicked);
        QSignalSpy leaveSpy(&notice, &WashoutWindow::leaveButtonClicked);
        // The notice is still up when its signal goes out.
        bool shownAtSignal = false;
        auto seen = [&] { shownAtSignal = notice.isVisible(); };
        connect(&notice, &WashoutWindow::readyButtonClicked, this, seen);
        connect(&notice, &WashoutWindow::leaveButtonClicked, this, seen);
        notice.showDialog(true);
        if (key != 0)
            QTest::keyClick(&notice, Qt::Key(key));
        else
            QTest::mouseClick(notice.findChild<QPushButton*>(name), Qt::LeftButton);
        QCOMPARE(readySpy.count(), ready);
        QCOMPARE(leaveSpy.count(), leave);
        QVERIFY(!notice.isVisible());
        QCOMPARE(shownAtSignal, ready + leave == 1);
    }

    void washoutReasons_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("exhausted wall") << 4 << QString();
        QTest::newRow("nine terminals") << 6 << QStringLiteral("Nine honors or terminals.");
        QTest::newRow("four kongs") << 7 << QStringLiteral("Four kongs.");
        QTest::newRow("same wind") << 8 << QStringLiteral("Same wind discard.");
        QTest::newRow("four riichi") << 9 << QStringLiteral("No-one declared win after all player declared riichi.");
        QTest::newRow("unknown") << 42 << QString();
    }
    void washoutReasons()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        WashoutWindow notice(&window);
        notice.setWashoutType(type);
        notice.showDialog(true);
        QCOMPARE(label(notice, "washoutReason")->text(), text);
        QCOMPARE(label(notice, "washoutReason")->isVisible(), !text.isEmpty());
        QVERIFY(!label(notice, "textImage")->pixmap().isNull());
    }

    void readyCountdownOnlyWhileTheDeadlineIsAhead_data()
    {
        QTest::addColumn<int>("offsetMs");
        QTest::addColumn<bool>("shown");
        QTest::newRow("ahead") << 15000 << true;
        QTest::newRow("passed") << -1000 << false;
    }
    void readyCountdownOnlyWhileTheDeadlineIsAhead()
    {
        QFETCH(int, offsetMs);
        QFETCH(bool, shown);
        WashoutWindow notice(&window);
        notice.showDialog(true);
        notice.setReadyDeadline(ServerTime::currentTime().addMSecs(offsetMs));
        QCOMPARE(label(notice, "nextRoundLabel")->isVisible(), shown);
        auto* dial = notice.findChild<TimerView*>(QStringLiteral("nextRoundTimer"));
        QCOMPARE(dial->isVisible(), shown);
        QCOMPARE(dial->displayType(), TimerView::DEC_COUNTER);
        notice.resetTimer();
        QVERIFY(!dial->isVisible());
        QVERIFY(!dial->deadline().isValid());
    }

    void waitingNoticeCountsMissingPlayers_data()
    {
        QTest::addColumn<int>("seats");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stays");
        QTest::newRow("one") << 1 << QStringLiteral("Waiting for 1 player to join table.") << true;
        QTest::newRow("three") << 3 << QStringLiteral("Waiting for 3 players to join table.") << true;
        QTest::newRow("none hides, text kept") << 0 << QStringLiteral("Waiting for 2 players to join table.") << false;
        QTest::newRow("negative hides") << -1 << QStringLiteral("Waiting for 2 players to join table.") << false;
    }
    void waitingNoticeCountsMissingPlayers()
    {
        QFETCH(int, seats);
        QFETCH(QString, text);
        QFETCH(bool, stays);
        WaitingForPlayersWindow notice(&window);
        notice.onSeatsRemaining(2);
        notice.showDialog(true);
        notice.onSeatsRemaining(seats);
        QCOMPARE(label(notice, "mainText")->text(), text);
        QCOMPARE(notice.isVisible(), stays);
        QSignalSpy leave(&notice, &WaitingForPlayersWindow::leaveButtonClicked);
        notice.showDialog(true);
        QTest::mouseClick(button(notice, "leaveButton"), Qt::LeftButton);
        QCOMPARE(leave.count(), 1);
        QVERIFY(notice.isVisible());
    }

    void reactivateOncePerShowing()
    {
        PlayerInactiveWindow notice(&window);
        QSignalSpy spy(&notice, &PlayerInactiveWindow::reactivateButtonClicked);
        notice.showDialog(true);
        QVERIFY(!button(notice, "leaveButton")->isVisible());
        QTest::mouseClick(button(notice, "reactivateButton"), Qt::LeftButton);
        QTest::mouseClick(button(notice, "reactivateButton"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        notice.hide();
        notice.showDialog(true);
        QTest::mouseClick(button(notice, "reactivateButton"), Qt::LeftButton);
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_MAIN(TestTableNotices)
#include "tst_tablenotices.moc"
