// The friends page and the search window against a scripted XMPP server:
// what adding, removing and searching put on the wire, which requests are
// held back, and that the detail pane shows the current friend only.
#include "FriendDetailWindow.h"
#include "FriendSearchWindow.h"
#include "FriendsRosterModel.h"
#include "FriendsTestSession.h"
#include "FriendsWindow.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeWidget>

using namespace friendstest;

namespace {

const QString Friend = QStringLiteral("1002@localhost");
const QString Other = QStringLiteral("1003@localhost");
const QByteArray SearchForm = "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='form'>"
                              "<field var='FORM_TYPE' type='hidden'><value>jabber:iq:search</value></field>"
                              "<field var='search' type='text-single' label='Name'/></x></query>";

QByteArray report(const QList<QPair<QString, QString>>& rows)
{
    QByteArray xml = "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'><reported>"
                     "<field var='jid'/><field var='Name'/></reported>";
    for (const auto& row : rows)
        xml += "<item><field var='jid'><value>" + row.first.toUtf8() + "</value></field><field var='Name'><value>"
               + row.second.toUtf8() + "</value></field></item>";
    return xml + "</x></query>";
}

/// The search requests (form asks or searches) the client wrote.
int searchRequests(const QString& wrote, const char* type)
{
    return wrote.count(QRegularExpression(QStringLiteral("<iq to=\"search.localhost\" id=\"\\d+\" type=\"%1\"><query "
                                                         "xmlns=\"jabber:iq:search\"")
                                              .arg(QLatin1String(type))));
}

/// Counts the rows the list measures.
struct MeasuringDelegate : QStyledItemDelegate
{
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable int measured = 0;
    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override { return ++measured, QStyledItemDelegate::sizeHint(o, i); }
};

}

class FriendsWindowsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Session> s;
    std::unique_ptr<FriendsWindow> window;
    std::unique_ptr<QAbstractItemModelTester> tester;

    /// The page after login with a roster of Friend (subscription) and Other ("both").
    bool start(const QString& subscription = QStringLiteral("both"), bool ask = false)
    {
        s = std::make_unique<Session>();
        if (!s->login())
            return false;
        s->connection.setPlayerName(1002, QStringLiteral("Kenji"));
        s->connection.setPlayerName(1003, QStringLiteral("Mei"));
        window = std::make_unique<FriendsWindow>(&s->client, &s->playerDb);
        tester = std::make_unique<QAbstractItemModelTester>(window->friendList()->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        window->resize(600, 500);
        window->show();
        return s->deliver(rosterPush(Friend, subscription, ask)) && s->deliver(rosterPush(Other, "both"))
            && window->rosterModel()->rowCount() == 2;
    }

    QModelIndex row(int r) const { return window->friendList()->model()->index(r, 0); }

    /// The answer to the window's next form request (or an error).
    void answerForm(const QByteArray& type = "result", const QByteArray& payload = SearchForm)
    {
        s->peer.expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>\\d+)\" type=\"get\"><query "
                                      "xmlns=\"jabber:iq:search\"/>"))
            .send("<iq type='" + type + "' id='{id}' from='search.localhost'>" + payload + "</iq>");
    }
    void answerSearch(const QByteArray& type, const QByteArray& payload)
    {
        s->peer.expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>\\d+)\" type=\"set\">"))
            .send("<iq type='" + type + "' id='{id}' from='search.localhost'>" + payload + "</iq>");
    }

private Q_SLOTS:
    void initTestCase() { setUpEnvironment(); }
    void cleanup()
    {
        tester.reset();
        window.reset();
        s.reset();
    }

    void addFriend_data()
    {
        QTest::addColumn<QString>("subscription");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QString>("jid");
        QTest::addColumn<bool>("sent");
        QTest::newRow("own JID") << "none" << false << "user@localhost" << false;
        QTest::newRow("no item") << "none" << false << "1009@localhost" << true;
        QTest::newRow("none") << "none" << false << Friend << true;
        QTest::newRow("from") << "from" << false << Friend << true;
        QTest::newRow("to") << "to" << false << Friend << false;
        QTest::newRow("both") << "both" << false << Friend << false;
        QTest::newRow("pending") << "none" << true << Friend << false;
        QTest::newRow("from and pending") << "from" << true << Friend << false;
    }

    void addFriend()
    {
        QFETCH(QString, subscription);
        QFETCH(bool, ask);
        QFETCH(QString, jid);
        QFETCH(bool, sent);
        QVERIFY(start(subscription, ask));
        window->addFriend(XMPPJid::fromText(jid));
        QVERIFY(s->deliver(QByteArray()));
        QCOMPARE(s->wrote().count(QStringLiteral("<presence to=\"%1\" type=\"subscribe\">").arg(jid)), sent ? 1 : 0);
    }

    void removeFriend_data()
    {
        QTest::addColumn<QString>("subscription");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<bool>("menuEnabled");
        QTest::addColumn<QStringList>("presences");
        // A friend who sees the own user loses that too: no more table paths.
        // The roster item goes in every case.
        QTest::newRow("both") << "both" << false << true << QStringList{"unsubscribe", "unsubscribed"};
        QTest::newRow("to") << "to" << false << true << QStringList{};
        QTest::newRow("pending") << "none" << true << true << QStringList{};
        QTest::newRow("from and pending") << "from" << true << false << QStringList{"unsubscribe", "unsubscribed"};
    }

    void removeFriend()
    {
        QFETCH(QString, subscription);
        QFETCH(bool, ask);
        QFETCH(bool, menuEnabled);
        QFETCH(QStringList, presences);
        QVERIFY(start(subscription, ask));
        const QRect rect = window->friendList()->visualRect(row(0));
        window->onFriendListContextMenu(rect.center());
        QCOMPARE(window->removeAction()->isEnabled(), menuEnabled);
        window->contextMenu()->hide();
        QCOMPARE(window->friendDetail()->nameLabel()->text(), QStringLiteral("Kenji"));
        // The pane's button removes whatever the menu allows or not; a second
        // click, after the push took the row, meets nobody (not the next friend).
        QTest::mouseClick(window->friendDetail()->removeButton(), Qt::LeftButton);
        QVERIFY(s->deliver(rosterPush(Friend, "remove")));
        QTest::mouseClick(window->friendDetail()->removeButton(), Qt::LeftButton);
        QVERIFY(s->deliver(QByteArray()));
        const QString wrote = s->wrote();
        for (const QString& type : {QStringLiteral("unsubscribe"), QStringLiteral("unsubscribed")})
            QCOMPARE(wrote.count(QStringLiteral("<presence to=\"%1\" type=\"%2\">").arg(Friend, type)),
                     presences.contains(type) ? 1 : 0);
        QCOMPARE(wrote.count(QStringLiteral("<item jid=\"%1\" subscription=\"remove\"/>").arg(Friend)), 1);
        QVERIFY(!wrote.contains(Other));
        QCOMPARE(window->friendList()->model()->rowCount(), 1);
        QCOMPARE(window->friendDetail()->shownPid(), -1);
    }

    void detailPaneFollowsTheCurrentFriendOnly()
    {
        QVERIFY(start());
        window->friendList()->setCurrentIndex(row(1));
        QCOMPARE(window->friendDetail()->nameLabel()->text(), QStringLiteral("Mei"));
        QVERIFY(s->deliver(presence(Other + QStringLiteral("/r"), "away", "<i>back soon</i>")));
        QCOMPARE(window->friendDetail()->presenceAndStatusLabel()->text(),
                 QStringLiteral("Away with status \"<i>back soon</i>\""));
        QCOMPARE(window->friendDetail()->presenceAndStatusLabel()->textFormat(), Qt::PlainText);
        window->friendDetail()->nameLabel()->setText(QStringLiteral("untouched"));
        // More rows than the list lays out in one turn: all of them in the end;
        // and a presence has the list measure the sender's row, not every row again.
        QByteArray more;
        for (int i = 0; i < 300; ++i)
            more += rosterPush(QStringLiteral("%1@localhost").arg(2000 + i), "both");
        auto* measuring = new MeasuringDelegate(window->friendList());
        window->friendList()->setItemDelegate(measuring);
        QVERIFY(s->deliver(more));
        window->friendList()->doItemsLayout();
        const QModelIndex last = row(window->rosterModel()->rowCount() - 1);
        QVERIFY(window->friendList()->visualRect(last).isEmpty());
        QTRY_VERIFY(!window->friendList()->visualRect(last).isEmpty());
        QTest::qWait(20);
        const int measured = measuring->measured;
        QVERIFY(s->deliver(presence(Friend + QStringLiteral("/r"))));
        QTest::qWait(20);
        QVERIFY2(measuring->measured - measured < 5, qPrintable(QString::number(measuring->measured - measured)));
        QCOMPARE(window->friendDetail()->nameLabel()->text(), QStringLiteral("untouched"));
        window->friendList()->setCurrentIndex(QModelIndex());
        QCOMPARE(window->friendDetail()->shownPid(), -1);
        QVERIFY(!window->friendDetail()->removeButton()->isEnabled());
    }

    void searchControlsAndOneSearchWindow()
    {
        QVERIFY(start());
        QVERIFY(!window->searchButton()->isEnabled());
        window->setSearchJid(XMPPJid(QStringLiteral("search.localhost")));
        QVERIFY(window->searchButton()->isEnabled() && window->friendSearchEdit()->isEnabled());
        window->openSearchWindow(QString());
        QVERIFY(!window->findChild<FriendSearchWindow*>());
        window->friendSearchEdit()->setText(QStringLiteral("Ke"));
        window->searchButton()->click();
        window->searchButton()->click();
        QCOMPARE(window->findChildren<FriendSearchWindow*>().size(), 1);
        // Escape closes it, as a dialog box's does.
        QTest::keyClick(window->findChild<FriendSearchWindow*>(), Qt::Key_Escape);
        QTRY_VERIFY(!window->findChild<FriendSearchWindow*>());
        window->setSearchJid(XMPPJid());
        QVERIFY(!window->searchButton()->isEnabled());
    }

    void searchWaitsForTheFormAndRunsOnce()
    {
        QVERIFY(start());
        FriendSearchWindow search(&s->client, XMPPJid(QStringLiteral("search.localhost")));
        search.setSearchText(QStringLiteral("Me"));
        search.startSearch();
        search.searchButton()->click(); // still waiting for the form
        QVERIFY(s->deliver(QByteArray()));
        QCOMPARE(searchRequests(s->wrote(), "set"), 0);
        answerForm();
        // Rows without a name, or with an address no JID can hold, are left out.
        // A name of 100,000 marks comes bounded, as every other user's text.
        answerSearch("result", report({{"1003@localhost", "Mei"}, {"1004@localhost/desk", "Meiko"}, {"1005@localhost", ""},
                                       {"1008@localhost", "Mi" + QString(100000, QChar(0x0301))},
                                       {QString(1100, QLatin1Char('n')) + "@localhost", "Long"}}));
        QVERIFY(s->peer.waitFinished());
        QVERIFY(QTest::qWaitFor([&] { return search.resultList()->topLevelItemCount() == 3; }, 3000));
        QCOMPARE(search.resultList()->topLevelItem(2)->text(0), "Mi" + QString(8, QChar(0x0301)) + QChar(0x2026));
        // An answer to the player database's own search is not this window's.
        answerSearch("result", report({{"1006@localhost", "Other"}}));
        QSignalSpy playerDbReports(&s->client, &XMPPClient::searchReport);
        s->client.search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(), QStringLiteral("PlayerDb"));
        QVERIFY(playerDbReports.wait(3000));
        QCOMPARE(search.resultList()->topLevelItemCount(), 3);
        QCOMPARE(searchRequests(s->wrote(), "set"), 2);
        QVERIFY(s->wrote().contains(QStringLiteral("<field var=\"search\" type=\"text-single\"><value>Me</value>")));
        QCOMPARE(search.statusLabel()->text(), QStringLiteral("3 user(s) found"));
        {
            const auto english = installFriendsTexts(QStringLiteral("en"));
            QVERIFY(english);
            QTRY_COMPARE(search.statusLabel()->text(), QStringLiteral("3 users found"));
        }
        QCOMPARE(search.resultList()->topLevelItem(0)->text(0), QStringLiteral("Mei"));
        QTreeWidgetItem* meiko = search.resultList()->topLevelItem(1);
        QSignalSpy selected(&search, &FriendSearchWindow::selectedJid);
        QVERIFY(!search.addToFriendsButton()->isEnabled());
        search.resultList()->setCurrentItem(meiko);
        QVERIFY(search.addToFriendsButton()->isEnabled());
        Q_EMIT search.resultList()->itemDoubleClicked(meiko, 0);
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().first().value<XMPPJid>().resource(), QStringLiteral("desk"));
        QCOMPARE(selected.first().first().value<XMPPJid>().node(), QStringLiteral("1004"));
    }

    void pageFollowsTheLanguage()
    {
        QVERIFY(start());
        window->friendList()->setCurrentIndex(row(0));
        QVERIFY(s->deliver(presence(Friend + QStringLiteral("/r"), {}, QStringLiteral("hi"))));
        const auto japanese = installFriendsTexts(QStringLiteral("ja"));
        QVERIFY(japanese);
        QTRY_COMPARE(window->searchButton()->text(), QStringLiteral("フレンドを探す"));
        QCOMPARE(window->removeAction()->text(), QStringLiteral("削除"));
        QCOMPARE(window->friendDetail()->joinButton()->text(), QStringLiteral("参加"));
        QVERIFY(s->deliver(presence(Friend + QStringLiteral("/r"), {}, QStringLiteral("hi!"))));
        QCOMPARE(window->friendDetail()->presenceAndStatusLabel()->text(), QStringLiteral("オンライン（ステータス「hi!」）"));
        QCOMPARE(window->rosterModel()->toolTipText(*window->rosterItemForJid(XMPPJid::fromText(Friend))),
                 QStringLiteral("Kenji はオンラインです（ステータス「hi!」）"));
    }

    void searchErrors_data()
    {
        QTest::addColumn<QByteArray>("form"); // the service's answer; empty: refused
        QTest::addColumn<bool>("searches");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("buttonAfter");
        QTest::newRow("form refused") << QByteArray() << false << "Search error" << false;
        QTest::newRow("no chat server") << QByteArray("offline") << false << "Chat is offline until the next login" << false;
        QTest::newRow("search refused") << SearchForm << true << "Search error" << true;
        QTest::newRow("form without a name field")
            << QByteArray("<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='form'>"
                          "<field var='first' type='text-single' label='First name'/></x></query>")
            << false << "This search service cannot search by name" << false;
    }

    void searchErrors()
    {
        QFETCH(QByteArray, form);
        QFETCH(bool, searches);
        QFETCH(QString, status);
        QFETCH(bool, buttonAfter);
        const bool formFails = form.isEmpty();
        QVERIFY(start());
        const QByteArray refusal = "<error type='cancel'><service-unavailable "
                                   "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error>";
        if (form == "offline")
            s->client.disconnectFromHost();
        else
            answerForm(formFails ? "error" : "result", formFails ? refusal : form);
        if (searches)
            answerSearch("error", refusal);
        FriendSearchWindow search(&s->client, XMPPJid(QStringLiteral("search.localhost")));
        search.setSearchText(QStringLiteral("K")); // one letter: Return still searches
        QVERIFY(!search.searchButton()->isEnabled());
        if (searches) {
            QVERIFY(QTest::qWaitFor([&] { return search.searchInput()->isEnabled(); }, 3000));
            QTest::keyClick(search.searchInput(), Qt::Key_Return);
        }
        QVERIFY2(QTest::qWaitFor([&] { return search.statusLabel()->text() == status; }, 3000),
                 qPrintable(search.statusLabel()->text()));
        QCOMPARE(search.searchButton()->isEnabled(), buttonAfter);
        QCOMPARE(search.searchInput()->isEnabled(), searches);
    }
};

QTEST_MAIN(FriendsWindowsTest)
#include "tst_friends_windows.moc"
