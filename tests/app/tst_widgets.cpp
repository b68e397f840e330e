#include "ServerTime.h"
#include "ULabel.h"
#include "UPushButton.h"
#include "UStackedWidget.h"
#include "UTabWidget.h"
#include "UTimer.h"
#include "UTreeView.h"

#include <TimeSpan.h>

#include <QHelpEvent>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

class TestWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timerCountsDownToTimeout()
    {
        UTimer timer;
        QSignalSpy updates(&timer, &UTimer::update);
        QSignalSpy timeouts(&timer, &UTimer::timeout);
        const QDateTime now = ServerTime::currentTime();
        timer.start(TimeSpan(now, now.addMSecs(2300)));
        // One update at once with left and total both about the span.
        QCOMPARE(updates.count(), 1);
        QVERIFY(qAbs(updates.at(0).at(0).toInt() - 2300) < 100);
        QCOMPARE(updates.at(0).at(1).toInt(), 2300);
        QVERIFY(timer.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 1, 5000);
        // About one update per second, falling, the last one with 0.
        QVERIFY(updates.count() >= 3);
        for (int i = 1; i < updates.count(); ++i)
            QVERIFY(updates.at(i).at(0).toInt() < updates.at(i - 1).at(0).toInt());
        QCOMPARE(updates.last().at(0).toInt(), 0);
        QCOMPARE(updates.last().at(1).toInt(), 2300);
        QVERIFY(!timer.isRunning());
        const int count = updates.count();
        QTest::qWait(1200);
        QCOMPARE(updates.count(), count);
        QCOMPARE(timeouts.count(), 1);
    }

    void timerWithPastOrInvalidDeadline()
    {
        UTimer timer;
        QSignalSpy updates(&timer, &UTimer::update);
        QSignalSpy timeouts(&timer, &UTimer::timeout);
        const QDateTime now = ServerTime::currentTime();
        timer.start(TimeSpan(now.addSecs(-10), now.addSecs(-5)));
        QCOMPARE(updates.count(), 1);
        QCOMPARE(updates.at(0), (QList<QVariant>{0, 5000}));
        QCOMPARE(timeouts.count(), 1);
        QVERIFY(!timer.isRunning());

        // An end before the start: total 0, no running timer.
        timer.start(TimeSpan(now.addSecs(-5), now.addSecs(-10)));
        QCOMPARE(updates.last(), (QList<QVariant>{0, 0}));
        QCOMPARE(timeouts.count(), 2);

        timer.start(TimeSpan());
        QCOMPARE(updates.last(), (QList<QVariant>{0, 0}));
        QCOMPARE(timeouts.count(), 3);
        QTest::qWait(1100);
        QCOMPARE(updates.count(), 3);
    }

    void timerWithoutStartUsesServerNow()
    {
        UTimer timer;
        QSignalSpy updates(&timer, &UTimer::update);
        timer.start(TimeSpan(QDateTime(), ServerTime::currentTime().addSecs(30)));
        QVERIFY(qAbs(updates.at(0).at(1).toInt() - 30000) < 200);
        QVERIFY(qAbs(updates.at(0).at(0).toInt() - 30000) < 200);
        timer.stop();
        QVERIFY(!timer.isRunning());
        QTest::qWait(1100);
        QCOMPARE(updates.count(), 1);
    }

    void timerRestartReplacesTheSpan()
    {
        UTimer timer;
        QSignalSpy updates(&timer, &UTimer::update);
        QSignalSpy timeouts(&timer, &UTimer::timeout);
        const QDateTime now = ServerTime::currentTime();
        timer.start(TimeSpan(now, now.addSecs(60)));
        timer.start(TimeSpan(now, now.addMSecs(800)));
        QCOMPARE(updates.last().at(1).toInt(), 800);
        QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 1, 3000);
        QTest::qWait(1100);
        QCOMPARE(timeouts.count(), 1);
    }

    void timerRunsOnTheServerClock()
    {
        // The server's clock is an hour ahead of the local one.
        ServerTime* st = ServerTime::instance();
        qint32 id = 0;
        st->setRequestSender([&id] { return ++id; });
        st->onTimeFromServer(id, QDateTime::currentDateTimeUtc().addSecs(3600));
        st->setRequestSender(nullptr);

        UTimer timer;
        QSignalSpy updates(&timer, &UTimer::update);
        QSignalSpy timeouts(&timer, &UTimer::timeout);
        // A deadline 10 s ahead in server time is 10 s away, not an hour and 10 s.
        timer.start(TimeSpan(QDateTime(), ServerTime::currentTime().addSecs(10)));
        QVERIFY(qAbs(updates.last().at(0).toInt() - 10000) < 200);
        timer.stop();
        // A deadline that the local clock has not reached but the server's has: over at once.
        timer.start(TimeSpan(QDateTime(), QDateTime::currentDateTimeUtc().addSecs(60)));
        QCOMPARE(updates.last().at(0).toInt(), 0);
        QCOMPARE(timeouts.count(), 1);
    }

    void labelElides()
    {
        ULabel label;
        label.resize(60, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        const QString text = QStringLiteral("A rather long player name that cannot fit");
        label.setText(text);
        QCOMPARE(label.fullText(), text);
        QCOMPARE(label.toolTip(), text);
        QVERIFY(label.text() != text);
        QVERIFY(label.text().contains(QLatin1String("...")));
        QCOMPARE(label.elideMode(), Qt::ElideMiddle);
        QVERIFY(label.text().startsWith(QLatin1Char('A')) && label.text().endsWith(QLatin1Char('t')));
        // The size hint is the one of the whole text.
        QVERIFY(label.sizeHint().width() > 100);
        QCOMPARE(label.minimumSizeHint().width(), -1);

        label.setProperty("elideMode", QVariant::fromValue(Qt::ElideRight));
        QVERIFY(label.text().endsWith(QLatin1String("...")));
        label.setElideMode(Qt::ElideNone);
        QCOMPARE(label.minimumSizeHint(), label.sizeHint());

        label.setElideMode(Qt::ElideMiddle);
        label.resize(1000, 20);
        QCOMPARE(label.text(), text);
        // A name of markup shows as written, in the label and its tool tip.
        label.setText(QStringLiteral("<img src=x>"));
        QTextDocument tip;
        tip.setHtml(label.toolTip());
        QCOMPARE(tip.toPlainText(), QStringLiteral("<img src=x>"));
        QCOMPARE(label.textFormat(), Qt::PlainText);
    }

    void pushButtonToolTip()
    {
        UPushButton b;
        b.setText(QStringLiteral("Quit"));
        QCOMPARE(b.composedToolTip(), QStringLiteral("Quit"));
        b.setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(b.composedToolTip(),
                 QStringLiteral("Quit (%1)").arg(QKeySequence(QStringLiteral("Ctrl+Q")).toString(QKeySequence::NativeText)));
        // Setting the text replaces the shortcut by the text's mnemonic (none here).
        b.setText(QStringLiteral("Leave"));
        QCOMPARE(b.composedToolTip(), QStringLiteral("Leave"));
        b.setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
        QVERIFY(b.composedToolTip().startsWith(QLatin1String("Leave (")));
        b.setToolTip(QStringLiteral("Leave the table"));
        QVERIFY(b.composedToolTip().startsWith(QLatin1String("Leave the table (")));
        QVERIFY(b.composedToolTip().endsWith(QLatin1Char(')')));
        b.setShortcut(QKeySequence());
        QCOMPARE(b.composedToolTip(), QStringLiteral("Leave the table"));
        // With a tooltip, the text does not matter.
        b.setText(QStringLiteral("Other"));
        QCOMPARE(b.composedToolTip(), QStringLiteral("Leave the table"));

        // The tooltip event is handled by the button.
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), b.mapToGlobal(QPoint(2, 2)));
        QVERIFY(QCoreApplication::sendEvent(&b, &help));
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Leave the table"));
        QToolTip::hideText();
    }

    void tabWidget()
    {
        UTabWidget tabs;
        QCOMPARE(tabs.objectName(), QStringLiteral("UTabWidget"));
        QVERIFY(tabs.findChild<QTabBar*>(QStringLiteral("tabBar")));
        QVERIFY(tabs.findChild<UStackedWidget*>(QStringLiteral("tabPane")));
        QVERIFY(tabs.findChild<QFrame*>(QStringLiteral("bottomFrame")));
        QVERIFY(tabs.findChild<QFrame*>(QStringLiteral("tabBarContainer")));
        QSignalSpy changed(&tabs, &UTabWidget::currentChanged);
        auto* a = new QWidget;
        auto* b = new QWidget;
        auto* c = new QWidget;
        QCOMPARE(tabs.addTab(a, QStringLiteral("A")), 0);
        QCOMPARE(tabs.addTab(b, QStringLiteral("B")), 1);
        QCOMPARE(tabs.addTab(c, QStringLiteral("C")), 2);
        QCOMPARE(tabs.count(), 3);
        changed.clear();
        tabs.setCurrentIndex(2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 2);
        QCOMPARE(tabs.tabPane()->currentWidget(), c);
        QCOMPARE(tabs.indexOf(b), 1);
        QCOMPARE(tabs.widget(0), a);
        tabs.setTabText(1, QStringLiteral("Bee"));
        QCOMPARE(tabs.tabBar()->tabText(1), QStringLiteral("Bee"));
        tabs.removeTab(7);
        QCOMPARE(tabs.count(), 3);
        tabs.removeTab(0);
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.tabBar()->count(), 2);
        QCOMPARE(tabs.tabBar()->tabText(0), QStringLiteral("Bee"));
        delete a;
    }

    void treeViewToolTips()
    {
        QStandardItemModel model(3, 2);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c) {
                auto* item = new QStandardItem(QStringLiteral("r%1c%2").arg(r).arg(c));
                item->setToolTip(QStringLiteral("model tip"));
                model.setItem(r, c, item);
            }
        UTreeView view;
        view.setModel(&model);
        view.resize(300, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QPoint cell = view.visualRect(model.index(1, 1)).center();
        QHelpEvent help(QEvent::ToolTip, cell, view.viewport()->mapToGlobal(cell));
        QCoreApplication::sendEvent(view.viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("model tip"));
        QToolTip::hideText();

        QList<int> rows;
        view.setToolTipFunction([&rows](QAbstractItemModel* m, int row) {
            rows << row;
            return QStringLiteral("row %1 of %2").arg(row).arg(m->rowCount());
        });
        QCoreApplication::sendEvent(view.viewport(), &help);
        QCOMPARE(rows, QList<int>{1});
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("row 1 of 3"));
        // Empty space hides the tooltip and does not ask the function.
        const QPoint empty(5, 290);
        QHelpEvent none(QEvent::ToolTip, empty, view.viewport()->mapToGlobal(empty));
        QCoreApplication::sendEvent(view.viewport(), &none);
        QCOMPARE(rows.size(), 1);
        QTRY_VERIFY(!QToolTip::isVisible());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
