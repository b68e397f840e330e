// The friends page and the search window in this process against a real
// Prosody with the project's search module. Accounts 1001, 1002 and 1003
// each run their own client; 1001 uses the friends page, the others accept
// requests through their roster models as the program does.
#include "AvatarDialog.h"
#include "FriendDetailWindow.h"
#include "FriendSearchWindow.h"
#include "FriendsRosterModel.h"
#include "FriendsTestSession.h"
#include "FriendsWindow.h"
#include "PresenceStanza.h"
#include "ProsodyAccounts.h"
#include "ProsodyFixture.h"
#include "TableModel.h"
#include "../lobby/LobbyTestData.h"

#include "CompactTableItem.h"
#include "CompactTableView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

QImage iconOf(const char* file)
{
    return QIcon(QStringLiteral("resources:") + QLatin1String(file)).pixmap(16, 16).toImage();
}

}

class FriendsProsodyTest : public QObject
{
    Q_OBJECT

    /// One player's side: the chat client, names and pictures, and the roster.
    struct Account
    {
        XMPPClient client;
        ConnectionManager connection{false};
        PlayerDb playerDb{&connection, &client};
        std::unique_ptr<XMPPRosterModel> roster;
    };

    std::unique_ptr<ProsodyFixture> server;
    std::map<int, std::unique_ptr<Account>> accounts;

    bool connectAs(XMPPClient& client, int pid)
    {
        const QString user = QString::number(pid);
        return clienttest::connectAndWait(client, server->host(), server->port(), server->domain(), user,
                                          QStringLiteral("pw-") + user, XMPPClient::TlsRequired);
    }

    Account& login(int pid, bool withRoster = true)
    {
        auto account = std::make_unique<Account>();
        account->playerDb.setSearchJid(XMPPJid(server->searchService()));
        for (int id : {1001, 1002, 1003})
            account->connection.setPlayerName(id, QStringLiteral("player %1").arg(id));
        if (withRoster)
            account->roster = std::make_unique<XMPPRosterModel>(&account->client);
        if (!connectAs(account->client, pid))
            qWarning("login of %d failed:\n%s", pid, qPrintable(server->log().right(2000)));
        accounts[pid] = std::move(account);
        return *accounts[pid];
    }

    /// The roster of a user as a new session fetches it from the server.
    QMap<QString, int> freshRoster(int pid)
    {
        XMPPClient client;
        XMPPRosterModel roster(&client);
        QSignalSpy reset(&client, &XMPPClient::rosterReset);
        QMap<QString, int> items;
        if (!connectAs(client, pid) || !(reset.size() > 0 || reset.wait(5000)))
            return {{QStringLiteral("no roster"), -1}};
        for (int row = 0; row < roster.rowCount(); ++row) {
            const XMPPRosterItem* item = roster.itemAt(roster.index(row, 0));
            items.insert(item->jid.node(), item->subscriptionFlags);
        }
        return items;
    }

    static XMPPJid jid(int pid) { return XMPPJid(QStringLiteral("localhost"), QString::number(pid)); }

private Q_SLOTS:
    void initTestCase()
    {
        friendstest::setUpEnvironment();
        ProsodyFixture::Options options;
        options.searchUsers = {{QStringLiteral("1001"), QStringLiteral("Aki")},
                               {QStringLiteral("1002"), QStringLiteral("Kenji")},
                               {QStringLiteral("1003"), QStringLiteral("Mei")},
                               {QStringLiteral("1004"), QStringLiteral("Meiko")},
                               {QStringLiteral("1005"), QStringLiteral("Ayame")}};
        server = std::make_unique<ProsodyFixture>(options);
        QVERIFY(clienttest::startWithAccounts(*server, {"1001", "1002", "1003"}));
    }

    void cleanup() { accounts.clear(); }
    void cleanupTestCase() { server.reset(); }

    void addFriendFromTheSearchAndFollowThePresence()
    {
        Account& me = login(1001, false);
        Account& kenji = login(1002);
        FriendsWindow window(&me.client, &me.playerDb);
        TableModel tables(nullptr);
        tables.subscribe(QStringLiteral("101"));
        tables.addOrUpdateTable(lobbytest::makeTable(7, QStringLiteral("101/Regular"), QStringLiteral("East Hall")));
        window.setTableModel(&tables);
        window.setSearchJid(XMPPJid(server->searchService()));
        window.resize(700, 500);
        window.show();
        QTRY_COMPARE(me.client.state(), int(XMPPClient::SessionState));

        // Search: three names hold "me"; the list is sorted by name.
        window.openSearchWindow(QStringLiteral("me"));
        auto* search = window.findChild<FriendSearchWindow*>();
        QVERIFY(search);
        QTRY_COMPARE_WITH_TIMEOUT(search->resultList()->topLevelItemCount(), 3, 5000);
        QStringList names;
        for (int i = 0; i < 3; ++i)
            names << search->resultList()->topLevelItem(i)->text(0);
        QCOMPARE(names, (QStringList{"Ayame", "Mei", "Meiko"}));
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("3 user(s) found"));

        search->searchInput()->setText(QStringLiteral("Kenji"));
        search->searchButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(search->resultList()->topLevelItemCount(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(search->resultList()->topLevelItem(0)->text(0), QStringLiteral("Kenji"), 5000);
        QTreeWidget* results = search->resultList();
        QSignalSpy pushes(&me.client, &XMPPClient::rosterUpdate);

        const QPoint first = results->visualItemRect(results->topLevelItem(0)).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, first); // a double-click starts with a press
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, first);

        // The request shows at once ("asking"), is accepted by the other side,
        // and the friend is online.
        QListView* list = window.friendList();
        QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window.rosterItemForJid(jid(1002))->subscriptionFlags & 5, 1, 5000);
        // First pushed as asking (own request pending), then as accepted.
        QCOMPARE(pushes.first().at(0).value<XMPPJid>(), jid(1002));
        QCOMPARE(pushes.first().at(1).toInt(), 4);
        QTRY_COMPARE_WITH_TIMEOUT(list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage(),
                                  iconOf("xmpp_available.png"), 5000);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("player 1002"));

        // Away with a status message, seated at a table.
        list->setCurrentIndex(list->model()->index(0, 0));
        xmpp::PresenceStanza away(XMPPJid(), xmpp::PresenceStanza::Available, QString());
        away.show = xmpp::PresenceStanza::Away;
        away.statuses.insert(QStringLiteral("UND"), QStringLiteral("back <soon>"));
        away.tables = {QStringLiteral("101/Regular/7")};
        kenji.client.write(away);
        QTRY_COMPARE_WITH_TIMEOUT(window.rosterModel()->toolTipText(*window.rosterItemForJid(jid(1002))),
                                  QStringLiteral("player 1002 is away with status \"back <soon>\""), 5000);
        QCOMPARE(list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage(),
                 iconOf("xmpp_away.png"));
        FriendDetailWindow* pane = window.friendDetail();
        QTRY_COMPARE(pane->tableListView()->tableIdsTopDown(), QList<qint32>{7});
        QCOMPARE(pane->presenceAndStatusLabel()->text(), QStringLiteral("Away with status \"back <soon>\""));
        QSignalSpy joins(&window, &FriendsWindow::joinTable);
        QTest::mouseClick(pane->tableListView()->item(7), Qt::LeftButton);
        pane->joinButton()->click();
        QCOMPARE(joins.size(), 1);
        QCOMPARE(joins.first().first().toInt(), 7);

        // Removing a friend one only follows drops the roster item.
        window.onRemoveAction();
        QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 0, 5000);
        QCOMPARE(freshRoster(1001).value(QStringLiteral("1002"), -2), -2);
        window.setTableModel(nullptr);
        tables.unsubscribe(QStringLiteral("101"));
    }

    void mutualFriendRemovedOnBothSides()
    {
        Account& me = login(1001, false);
        Account& mei = login(1003);
        FriendsWindow window(&me.client, &me.playerDb);
        QTRY_COMPARE(me.client.state(), int(XMPPClient::SessionState));
        // Mei asks first: the page's roster accepts at once.
        mei.client.sendSubscription(jid(1001), false);
        QTRY_VERIFY_WITH_TIMEOUT(mei.roster->itemForJid(jid(1001))
                                     && mei.roster->itemForJid(jid(1001))->subscriptionFlags == 1, 5000);
        window.addFriend(jid(1003));
        QTRY_VERIFY_WITH_TIMEOUT(window.rosterItemForJid(jid(1003))
                                     && window.rosterItemForJid(jid(1003))->subscriptionFlags == 3, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window.friendList()->model()->rowCount(), 1, 5000);
        window.friendList()->setCurrentIndex(window.friendList()->model()->index(0, 0));
        window.friendDetail()->removeButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(window.friendList()->model()->rowCount(), 0, 5000);
        // The item itself is gone, not kept with no subscription.
        QTRY_VERIFY_WITH_TIMEOUT(!window.rosterItemForJid(jid(1003)), 5000);
        QCOMPARE(freshRoster(1001).value(QStringLiteral("1003"), -2), -2);
        // Neither side receives the other's presence any more.
        QTRY_COMPARE_WITH_TIMEOUT(mei.roster->itemForJid(jid(1001))->subscriptionFlags & 3, 0, 5000);
        QCOMPARE(freshRoster(1001).value(QStringLiteral("1003"), 0) & 3, 0);
        QCOMPARE(freshRoster(1003).value(QStringLiteral("1001"), 0) & 3, 0);
    }

    void friendTablesFollowByDifference()
    {
        Account& me = login(1001, false);
        Account& kenji = login(1002);
        // Kenji's picture is smaller than the pane's frame.
        QImage small(16, 16, QImage::Format_ARGB32);
        small.fill(Qt::red);
        QSignalSpy uploaded(&kenji.playerDb, &PlayerDb::changePictureOk);
        kenji.playerDb.uploadPicture(small);
        QVERIFY(uploaded.wait(5000));

        FriendsWindow window(&me.client, &me.playerDb);
        TableModel tables(nullptr);
        tables.subscribe(QStringLiteral("101"));
        for (qint32 id : {701, 702})
            tables.addOrUpdateTable(lobbytest::makeTable(id, QStringLiteral("101/Regular"), QStringLiteral("Hall %1").arg(id)));
        window.setTableModel(&tables);
        window.resize(700, 500);
        window.show();
        QTRY_COMPARE(me.client.state(), int(XMPPClient::SessionState));
        window.addFriend(jid(1002));
        QTRY_VERIFY_WITH_TIMEOUT(window.rosterItemForJid(jid(1002))
                                     && (window.rosterItemForJid(jid(1002))->subscriptionFlags & 1), 5000);
        QListView* list = window.friendList();
        QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 1, 5000);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        FriendDetailWindow* pane = window.friendDetail();
        QTRY_COMPARE_WITH_TIMEOUT(pane->shownPid(), 1002, 5000);
        // The picture fills the frame.
        QTRY_COMPARE_WITH_TIMEOUT(pane->avatarLabel()->pixmap().toImage().pixelColor(8, 8), QColor(Qt::red), 5000);
        QCOMPARE(pane->avatarLabel()->pixmap().size(), QSize(64, 64));
        // No table yet: nothing to join or watch.
        QVERIFY(!pane->joinButton()->isEnabled() && !pane->watchButton()->isEnabled());

        const auto sit = [&](const QStringList& paths, const QString& status) {
            xmpp::PresenceStanza p(XMPPJid(), xmpp::PresenceStanza::Available, QString());
            p.statuses.insert(QStringLiteral("UND"), status);
            p.tables = QSet<QString>(paths.begin(), paths.end());
            kenji.client.write(p);
            QTRY_COMPARE_WITH_TIMEOUT(pane->presenceAndStatusLabel()->text(),
                                      QStringLiteral("Online with status \"%1\"").arg(status), 5000);
        };
        const QStringList seats{"101/Regular/701", "101/Regular/702", "202/Far/5000"};
        sit(seats, QStringLiteral("one"));
        // The far table arrives once the pane asked for its path.
        QVERIFY(tables.isPathSubscribed(QStringLiteral("202/Far")));
        tables.addOrUpdateTable(lobbytest::makeTable(5000, QStringLiteral("202/Far"), QStringLiteral("Far Hall")));
        QTRY_COMPARE(pane->tableListView()->tableIdsTopDown().size(), 3);
        QTest::mouseClick(pane->tableListView()->item(702), Qt::LeftButton);
        QCOMPARE(pane->tableListView()->currentTableId(), 702);
        QVERIFY(pane->joinButton()->isEnabled());

        // A new status with the same seats: the choice and the far table stay.
        sit(seats, QStringLiteral("two"));
        QCOMPARE(pane->tableListView()->currentTableId(), 702);
        QVERIFY(tables.rowOfTable(5000) >= 0);
        QCOMPARE(tables.subscriptions().value(QStringLiteral("202/Far")), 1);
        QCOMPARE(pane->tableListView()->tableIdsTopDown().size(), 3);

        // A presence naming thousands of lobby paths costs a bounded number.
        QStringList many = seats;
        for (int i = 0; i < 2000; ++i)
            many << QStringLiteral("303/R%1/%1").arg(i);
        sit(many, QStringLiteral("busy"));
        int taken = 0;
        const QMap<QString, int> held = tables.subscriptions();
        for (auto it = held.cbegin(); it != held.cend(); ++it)
            taken += it.key() == QLatin1String("101") ? 0 : it.value();
        QVERIFY2(taken <= FriendDetailWindow::MaxTablePaths, qPrintable(QString::number(taken)));
        // The seats that stay keep their cards, the choice and their lobby paths.
        QCOMPARE(pane->tableListView()->currentTableId(), 702);
        QVERIFY(tables.rowOfTable(5000) >= 0);

        // The chosen table is left: nothing is chosen, Join asks which.
        sit({QStringLiteral("101/Regular/701")}, QStringLiteral("three"));
        QCOMPARE(pane->tableListView()->tableIdsTopDown(), QList<qint32>{701});
        QSignalSpy joins(&window, &FriendsWindow::joinTable);
        QCOMPARE(pane->tableListView()->currentTableId(), -1);
        QTest::mouseClick(pane->joinButton(), Qt::LeftButton);
        QCOMPARE(joins.size(), 0);
        window.setTableModel(nullptr);
        tables.unsubscribe(QStringLiteral("101"));
    }

    void avatarUploadSeenByAnotherAccount()
    {
        Account& mei = login(1003);
        Account& kenji = login(1002);
        mei.playerDb.setOwnPlayer(1003, QStringLiteral("Mei"));
        QWidget page;
        page.resize(600, 500);
        auto* dialog = new AvatarDialog(&page);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &AvatarDialog::changeAvatar, &mei.playerDb, &PlayerDb::uploadPicture);
        connect(&mei.playerDb, &PlayerDb::changePictureOk, dialog, &AvatarDialog::onChangeAvatarSucceded);
        connect(&mei.playerDb, &PlayerDb::changePictureFailed, dialog, &AvatarDialog::onChangeAvatarFailed);
        QPointer<AvatarDialog> alive(dialog);
        QImage picture(100, 50, QImage::Format_ARGB32);
        picture.fill(QColor(10, 200, 30));
        dialog->addAvatar(picture);
        dialog->avatarView()->setCurrentIndex(dialog->model()->index(dialog->model()->rowCount() - 1, 0));
        dialog->okButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 5000);
        QVERIFY(!QApplication::overrideCursor());

        QSignalSpy pictures(&kenji.playerDb, &PlayerDb::playerPictureUpdate);
        kenji.playerDb.playerPicture(1003);
        QTRY_VERIFY_WITH_TIMEOUT(pictures.contains(QList<QVariant>{1003}), 5000);
        const QImage seen = kenji.playerDb.playerPicture(1003).toImage();
        QCOMPARE(seen.size(), QSize(64, 32));
        QCOMPARE(QColor(seen.pixel(10, 10)), QColor(10, 200, 30));
    }
};

QTEST_MAIN(FriendsProsodyTest)
#include "tst_friends_prosody.moc"
