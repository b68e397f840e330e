// The seated and watching dialogs: the table's terms, the countdown and its
// end, the buttons, and server text kept out of markup.

#include "SeatedWindow.h"
#include "WatchingWindow.h"

#include <TimeSpan.h>

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestSeatDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void countdownText_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::newRow("rounds down to one") << 1499 << "You will automatically be unseated from this table in 1 second(s)"
                                            << true;
        QTest::newRow("rounds up") << 2500 << "You will automatically be unseated from this table in 3 second(s)" << true;
        QTest::newRow("below half a second hides") << 499 << QString() << false;
    }
    void countdownText()
    {
        QFETCH(int, left);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        QWidget window;
        SeatedWindow dialog(&window);
        window.show();
        dialog.show();
        dialog.onTimerUpdate(left);
        QCOMPARE(dialog.isVisible(), visible);
        if (visible)
            QCOMPARE(dialog.label("leaveWarning")->text(), text);
    }

    void tableTerms_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("bonus");
        QTest::addColumn<bool>("bonusShown");
        QTest::addColumn<bool>("penaltyShown");
        QTest::newRow("free table: neither row") << 0 << 0 << false << false;
        QTest::newRow("place bonus") << 3 << 500 << true << false;
    }
    void tableTerms()
    {
        QFETCH(int, kind);
        QFETCH(int, bonus);
        QFETCH(bool, bonusShown);
        QFETCH(bool, penaltyShown);
        QWidget window;
        SeatedWindow dialog(&window);
        window.show();
        dialog.show();
        TableInfo info;
        info.name = QStringLiteral("<b>Bold</b> & co");
        info.ruleset = 2;
        info.gameType = 2;
        info.speed = 15000;
        info.capacity.setCapacity(4);
        info.value.setSettlement(kind);
        info.value.setBet(1000);
        info.value.setPlayers(4);
        info.value.setBonusTable({bonus, 0, 0, 0});
        dialog.onTableInfo(info);
        QCOMPARE(dialog.label("tableName")->text(), info.name);
        QCOMPARE(dialog.label("tableName")->textFormat(), Qt::PlainText);
        QCOMPARE(dialog.label("capacity")->text(), QStringLiteral("4"));
        QVERIFY(!dialog.label("rules")->text().isEmpty());
        QCOMPARE(dialog.label("placeBonus")->isVisible(), bonusShown);
        QCOMPARE(dialog.label("placeBonusLabel")->isVisible(), bonusShown);
        QCOMPARE(dialog.label("feedingPenalty")->isVisible(), penaltyShown);
        QCOMPARE(dialog.label("feedingPenaltyLabel")->isVisible(), penaltyShown);
        // A language change fills the values again from the kept table.
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&dialog, &change);
        QCOMPARE(dialog.label("tableName")->text(), info.name);
        QCOMPARE(dialog.label("placeBonus")->isVisible(), bonusShown);
    }

    void countdownEnds()
    {
        SeatedWindow dialog(nullptr);
        QSignalSpy timeouts(&dialog, &SeatedWindow::timeout);
        dialog.startCountdown(TimeSpan(QDateTime(), QDateTime::currentDateTimeUtc().addMSecs(100)));
        QVERIFY(timeouts.wait(3000));
    }

    void buttonsStopTheCountdown_data()
    {
        QTest::addColumn<bool>("play");
        QTest::newRow("play") << true;
        QTest::newRow("leave") << false;
    }
    void buttonsStopTheCountdown()
    {
        QFETCH(bool, play);
        SeatedWindow dialog(nullptr);
        QSignalSpy timeouts(&dialog, &SeatedWindow::timeout);
        QSignalSpy plays(&dialog, &SeatedWindow::playButtonClicked);
        QSignalSpy leaves(&dialog, &SeatedWindow::leaveButtonClicked);
        dialog.startCountdown(TimeSpan(QDateTime(), QDateTime::currentDateTimeUtc().addMSecs(100)));
        (play ? dialog.playButton() : dialog.leaveButton())->click();
        QCOMPARE(plays.count(), play ? 1 : 0);
        QCOMPARE(leaves.count(), play ? 0 : 1);
        QVERIFY(!timeouts.wait(1300));
    }

    void watching()
    {
        QWidget window;
        WatchingWindow dialog(&window);
        window.show();
        dialog.show();
        QSignalSpy joins(&dialog, &WatchingWindow::joinButtonClicked);
        QSignalSpy leaves(&dialog, &WatchingWindow::leaveButtonClicked);
        dialog.onJoinableChanged(false);
        QVERIFY(!dialog.joinButton()->isEnabled());
        QVERIFY(dialog.leaveButton()->isEnabled());
        dialog.onJoinableChanged(true);
        dialog.joinButton()->click();
        dialog.leaveButton()->click();
        QCOMPARE(joins.count(), 1);
        QCOMPARE(leaves.count(), 1);
        dialog.setUnseatedInfoHidden(true);
        QVERIFY(dialog.pickedUpInfo()->isHidden());
        dialog.setUnseatedInfoHidden(false);
        QVERIFY(!dialog.pickedUpInfo()->isHidden());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Watching"));
    }
};

QTEST_MAIN(TestSeatDialogs)
#include "tst_seat_dialogs.moc"
