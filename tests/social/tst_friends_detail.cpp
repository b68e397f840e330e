// The friend detail pane: the friend's tables found from the table paths
// of every resource in the live lobby model, Join and Watch, and the
// presence line, with the friend's texts shown as plain text.
#include "../lobby/LobbyTestData.h"
#include "CompactTableItem.h"
#include "CompactTableView.h"
#include "ConnectionManager.h"
#include "ChatOutputWidget.h"
#include "FriendDetailWindow.h"
#include "FriendsTestSession.h"
#include "PlayerDb.h"
#include "PresenceStanza.h"
#include "TableModel.h"
#include "Utils.h"
#include "XMPPClient.h"
#include "XMPPRosterItem.h"

#include <QAbstractItemModelTester>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <stdexcept>

namespace {

XMPPPresence makePresence(const QString& resource, int show, const QString& status = QString(),
                          const QStringList& tables = {})
{
    xmpp::PresenceStanza stanza;
    stanza.from = XMPPJid(QStringLiteral("localhost"), QStringLiteral("1002"), resource);
    stanza.show = show;
    if (!status.isEmpty())
        stanza.statuses.insert(QStringLiteral("UND"), status);
    stanza.tables = QSet<QString>(tables.begin(), tables.end());
    return XMPPPresence(stanza);
}

XMPPRosterItem makeItem(int flags, const QList<XMPPPresence>& presences = {})
{
    XMPPRosterItem item;
    item.jid = XMPPJid(QStringLiteral("localhost"), QStringLiteral("1002"));
    item.subscriptionFlags = flags;
    for (const XMPPPresence& p : presences)
        item.presences.insert(p.from().resource(), p);
    return item;
}

}

class FriendDetailTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<XMPPClient> client;
    std::unique_ptr<ConnectionManager> connection;
    std::unique_ptr<PlayerDb> playerDb;
    std::unique_ptr<TableModel> tables;
    std::unique_ptr<FriendDetailWindow> pane;
    std::unique_ptr<QAbstractItemModelTester> tester;

private Q_SLOTS:
    void initTestCase() { friendstest::setUpEnvironment(); }

    void init()
    {
        client = std::make_unique<XMPPClient>();
        connection = std::make_unique<ConnectionManager>(false);
        connection->setPlayerName(1002, QStringLiteral("<b>Kenji</b>"));
        playerDb = std::make_unique<PlayerDb>(connection.get(), client.get());
        tables = std::make_unique<TableModel>(nullptr);
        pane = std::make_unique<FriendDetailWindow>();
        pane->setPlayerDb(playerDb.get());
        pane->setTableModel(tables.get());
        tester = std::make_unique<QAbstractItemModelTester>(&pane->lobbyModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void cleanup()
    {
        tester.reset();
        pane.reset();
        tables.reset();
        playerDb.reset();
        connection.reset();
        client.reset();
    }

    void tablesOfEveryResource()
    {
        tables->subscribe(QStringLiteral("101"));
        for (qint32 id : {7, 8, 9})
            tables->addOrUpdateTable(lobbytest::makeTable(id, QStringLiteral("101/Regular")));
        // Seated from two resources, idle on a third that sorts first: all count.
        pane->setRosterItem(makeItem(3, {makePresence(QStringLiteral("0"), 0),
                                         makePresence(QStringLiteral("a"), xmpp::PresenceStanza::Away, {}, {"101/Regular/9"}),
                                         makePresence(QStringLiteral("b"), 0, {},
                                                      {"101/Regular/7", "101/Regular/8", "101/Regular/x1", "202/5000"})}));
        QCOMPARE(pane->tableFilter().tableIds, (QSet<int>{7, 8, 9, 5000}));
        QStringList paths = pane->tableFilter().paths;
        paths.sort();
        QCOMPARE(paths, (QStringList{"101/Regular", "101/Regular", "101/Regular", "202"}));
        QList<qint32> shown = pane->tableListView()->tableIdsTopDown();
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, (QList<qint32>{7, 8, 9}));

        QSignalSpy joins(pane.get(), &FriendDetailWindow::joinTable);
        QSignalSpy watches(pane.get(), &FriendDetailWindow::watchTable);
        // None chosen yet: Watch asks which; the chosen card shows it.
        pane->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css")));
        pane->show();
        QTest::mouseClick(pane->watchButton(), Qt::LeftButton);
        QCOMPARE(QToolTip::text(), QStringLiteral("Which table? Click one of the tables first."));
        QTest::mouseClick(pane->tableListView()->item(8), Qt::LeftButton);
        const auto look = [&](CompactTableItem* c) { return c->grab(QRect(c->width() - 3, 1, 1, 1)).toImage().pixel(0, 0); };
        QVERIFY(look(pane->tableListView()->item(8)) != look(pane->tableListView()->item(7)));
        QTest::mouseClick(pane->watchButton(), Qt::LeftButton);
        QTest::mouseClick(pane->joinButton(), Qt::LeftButton);
        Q_EMIT pane->tableListView()->item(7)->doubleClicked();
        QCOMPARE(watches.size(), 1);
        QCOMPARE(watches.first().first().toInt(), 8);
        QCOMPARE(joins.size(), 2);
        QCOMPARE(joins.at(0).first().toInt(), 8);
        QCOMPARE(joins.at(1).first().toInt(), 7);

        // Offline: no tables, and Join and Watch do nothing.
        pane->setRosterItem(makeItem(3));
        QVERIFY(pane->tableListView()->tableIdsTopDown().isEmpty());
        QCOMPARE(pane->presenceAndStatusLabel()->text(), QStringLiteral("not available"));
        pane->joinButton()->click();
        pane->watchButton()->click();
        QCOMPARE(joins.size() + watches.size(), 3);
        tester.reset();
        pane.reset();
        tables->unsubscribe(QStringLiteral("101"));
        QVERIFY(tables->subscriptions().isEmpty()); // the pane gave its paths back
    }

    void presenceLine_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("show");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("not subscribed") << 2 << 0 << "" << "";
        QTest::newRow("online") << 1 << 0 << "" << "online";
        QTest::newRow("pending, busy") << 4 << int(xmpp::PresenceStanza::DoNotDisturb) << "" << "busy";
        QTest::newRow("online with status") << 3 << 0 << "<img src=x> & more"
                                            << "Online with status \"<img src=x> & more\"";
        const QString lines = QStringLiteral("busy\n").repeated(1000);
        QTest::newRow("status of 1,000 lines") << 3 << 0 << lines
                                               << "Online with status \"" + lines.left(5 * ChatOutputWidget::MaxRows - 1)
                                                      + ChatOutputWidget::ElisionMark + "\"";
    }

    void presenceLine()
    {
        QFETCH(int, flags);
        QFETCH(int, show);
        QFETCH(QString, status);
        QFETCH(QString, text);
        pane->setRosterItem(makeItem(flags, {makePresence(QStringLiteral("r"), show, status)}));
        QCOMPARE(pane->presenceAndStatusLabel()->text(), text);
        QCOMPARE(pane->nameLabel()->text(), QStringLiteral("<b>Kenji</b>"));
        QCOMPARE(pane->nameLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(pane->presenceAndStatusLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(pane->windowTitle(), QStringLiteral("Friend details for <b>Kenji</b>"));
        QCOMPARE(pane->shownPid(), 1002);
        QVERIFY(pane->removeButton()->isEnabled());
        QVERIFY(!pane->avatarLabel()->pixmap().isNull());
    }

    void emptyAndUnready()
    {
        QVERIFY(!pane->removeButton()->isEnabled());
        QCOMPARE(pane->shownPid(), -1);
        pane->setRosterItem(makeItem(1));
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(pane.get(), &change);
        QCOMPARE(pane->windowTitle(), QStringLiteral("Friend Details"));
        pane->clear();
        QVERIFY(pane->nameLabel()->text().isEmpty() && pane->avatarLabel()->pixmap().isNull());
        FriendDetailWindow bare;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, bare.setRosterItem(makeItem(1)));
        QCOMPARE(bare.shownPid(), -1);
    }
};

QTEST_MAIN(FriendDetailTest)
#include "tst_friends_detail.moc"
