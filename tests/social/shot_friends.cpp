// Screenshots on Xvfb of the friends page (a friend seated at two tables
// selected, friends in several states) and of the friend detail window on
// its own, and the search window over the page, in English, Japanese and
// Chinese on the screen size the test is registered with:
// friends-window-<lang>-<w>x<h>.png, friend-detail-window-<lang>-<w>x<h>.png,
// friend-search-<lang>-<w>x<h>.png.
#include "../lobby/LobbyTestData.h"
#include "CompactTableItem.h"
#include "CompactTableView.h"
#include "FriendDetailWindow.h"
#include "FriendSearchWindow.h"
#include "FriendsRosterModel.h"
#include "FriendsTestSession.h"
#include "FriendsWindow.h"
#include "TableModel.h"
#include "Utils.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QListView>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>

class FriendsShots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void friendsPageAndDetails_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char* code : {"en", "ja", "zh"})
            QTest::newRow(code) << QString::fromLatin1(code);
    }

    void friendsPageAndDetails()
    {
        QFETCH(QString, lang);
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const auto shotName = [&](const char* what) {
            return QStringLiteral("%1-%2-%3x%4.png").arg(QLatin1String(what), lang).arg(screen.width()).arg(screen.height());
        };
        friendstest::setUpEnvironment();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        // The program's look: the common rules and the edition's.
        qApp->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css"))
                            + readTextFile(QStringLiteral("resources:/customui.css")));

        const auto texts = friendstest::installFriendsTexts(lang);
        QVERIFY(texts);
        friendstest::Session s;
        QVERIFY(s.login());
        const QStringList names{"Kenji", "Mei Ling", "Aki", "Haruto", "Yuna"};
        for (int i = 0; i < names.size(); ++i)
            s.connection.setPlayerName(1002 + i, names.at(i));
        TableModel tables(nullptr);
        tables.subscribe(QStringLiteral("101"));
        tables.addOrUpdateTable(lobbytest::makeTable(7, QStringLiteral("101/Regular"), QStringLiteral("East Hall"), 2, 0,
                                                     20000, TableCapacity(4, 3, 0)));
        tables.addOrUpdateTable(lobbytest::makeTable(12, QStringLiteral("101/Regular"), QStringLiteral("Bamboo Grove"),
                                                     0, 2, 10000, TableCapacity(4, 2, 1)));

        QWidget page;
        page.setObjectName(QStringLiteral("friendsPage"));
        page.setStyleSheet(QStringLiteral("QWidget#friendsPage { background-image: url(resources:lobby-wood.png); }"
                                          "QGroupBox, QLabel#label { color: #fff4bd; }"));
        // As much of the screen as the main window gives its pages.
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        page.resize(avail.width() * 3 / 4, avail.height() * 3 / 4);
        FriendsWindow window(&s.client, &s.playerDb, &page);
        window.setGeometry(page.rect());
        window.setTableModel(&tables);
        window.setSearchJid(XMPPJid(QStringLiteral("search.localhost")));
        page.show();
        const char* subscriptions[] = {"both", "to", "both", "none", "both"};
        for (int i = 0; i < names.size(); ++i) {
            const QString jid = QStringLiteral("%1@localhost").arg(1002 + i);
            QVERIFY(s.deliver(friendstest::rosterPush(jid, subscriptions[i], i == 3)));
        }
        QVERIFY(s.deliver(friendstest::presence("1002@localhost/desk", {}, "Playing riichi",
                                                {"101/Regular/7", "101/Regular/12"})));
        QVERIFY(s.deliver(friendstest::presence("1003@localhost/desk", "away", "<b>lunch</b>")));
        QVERIFY(s.deliver(friendstest::presence("1006@localhost/desk", "chat")));
        window.friendList()->setCurrentIndex(window.friendList()->model()->index(0, 0));
        QTRY_COMPARE(window.friendDetail()->tableListView()->tableIdsTopDown().size(), 2);
        QTest::mouseClick(window.friendDetail()->tableListView()->item(12), Qt::LeftButton);
        QTest::qWait(200);
        QVERIFY(page.grab().save(shotName("friends-window")));
        // The seated label's text keeps off the pane's edges.
        auto* seated = window.friendDetail()->findChild<QLabel*>(QStringLiteral("playerIsSeatedLabel"));
        const QImage band = seated->grab().toImage();
        for (int y = 0; y < band.height(); ++y)
            for (int x : {0, 1, 2, 3, band.width() - 4, band.width() - 1})
                QVERIFY2(band.pixel(x, y) == band.pixel(0, 0), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));

        // The search window over the page, with three results.
        s.peer.expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>\\d+)\" type=\"get\">"))
            .send("<iq type='result' id='{id}' from='search.localhost'><query xmlns='jabber:iq:search'>"
                  "<x xmlns='jabber:x:data' type='form'><field var='search' type='text-single'/></x></query></iq>")
            .expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>\\d+)\" type=\"set\">"))
            .send("<iq type='result' id='{id}' from='search.localhost'><query xmlns='jabber:iq:search'>"
                  "<x xmlns='jabber:x:data' type='result'><reported><field var='jid'/><field var='Name'/></reported>"
                  "<item><field var='jid'><value>1010@localhost</value></field><field var='Name'><value>Meiko</value>"
                  "</field></item><item><field var='jid'><value>1011@localhost</value></field><field var='Name'>"
                  "<value>Mei Ling</value></field></item><item><field var='jid'><value>1012@localhost</value></field>"
                  "<field var='Name'><value>Ayame</value></field></item></x></query></iq>");
        window.friendSearchEdit()->setText(QStringLiteral("me"));
        window.onDoSearch();
        auto* search = window.findChild<FriendSearchWindow*>();
        QVERIFY(search);
        QTRY_COMPARE(search->resultList()->topLevelItemCount(), 3);
        search->resultList()->setCurrentItem(search->resultList()->topLevelItem(1));
        QTest::qWait(200);
        const QImage shot = page.grab().toImage();
        QVERIFY(shot.save(shotName("friend-search")));
        // The search has a body of its own: the list of friends does not show through beside its light texts.
        QVERIFY(shot.pixelColor(search->addToFriendsButton()->mapTo(&page, QPoint(-10, 10))).lightness() < 100);
        search->parentWidget()->close();

        window.onDetailAction();
        auto windows = window.findChildren<FriendDetailWindow*>();
        FriendDetailWindow* detail = nullptr;
        for (FriendDetailWindow* w : windows) {
            if (w->isWindow())
                detail = w;
        }
        QVERIFY(detail);
        detail->resize(300, 360);
        QVERIFY(QTest::qWaitForWindowExposed(detail));
        QCOMPARE(detail->tableListView()->tableIdsTopDown().size(), 2);
        QTest::qWait(200);
        QVERIFY(detail->grab().save(shotName("friend-detail-window")));
        detail->close();
        window.setTableModel(nullptr);
        tables.unsubscribe(QStringLiteral("101"));
    }
};

QTEST_MAIN(FriendsShots)
#include "shot_friends.moc"
