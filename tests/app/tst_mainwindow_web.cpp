// The main window's web side: address templates, the program's "client://"
// links and the page tabs that pages ask for, against the test game server.
#include "CommandLine.h"
#include "EmbeddedBrowser.h"
#include "EmbeddedWebPage.h"
#include "HttpTestServer.h"
#include "JavascriptInterface.h"
#include "LobbyWindow.h"
#include "MainWindowHarness.h"
#include "ModelessMsgBox.h"
#include "PreferencesWindow.h"
#include "UTabWidget.h"
#include "WebSchemes.h"
#include "WebTestSupport.h"

#include <QDesktopServices>
#include <QPointer>
#include <QScopeGuard>
#include <QSettings>
#include <QWebEngineView>

namespace {

/// A service page whose buttons make 3,000 calls that open or move something, the button's kind first.
const QByteArray loopPage = "<button id='join' onclick='loop(0)'>J</button><button id='launch' onclick='loop(1)'>B</button>"
    "<button id='tab' onclick='loop(2)'>T</button><script>function loop(first) { var calls = ["
    "function() { client.joinTable('/Practice/Riichi/4/'); }, function() { client.launchBrowser('http://web.test/'); },"
    "function() { client.displayTab('friends'); }]; for (var i = 0; i < 3000; ++i) try { calls[(first + i) % 3](); } catch (e) {} setTimeout(function() { client.close(); }, 1000); }"
    "</script>";

/// Takes the addresses meant for the desktop's handlers, so that nothing is
/// started outside the test.
class DesktopHandler : public QObject
{
    Q_OBJECT

public:
    QStringList opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url.toString(); }
};

}

class TestMainWindowWeb : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setupSearchPaths({}); }
    void init() { QSettings().clear(); }

    void templates_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("every placeholder")
            << QStringLiteral("http://{host}/{locale}/{sku}/p{partnerId}?h={host}") << QString()
            << QStringLiteral("http://web.test:8080/ja/parlor7/p4?h=web.test:8080");
        QTest::newRow("empty takes the default") << QString() << QStringLiteral("http://{host}/support.html")
                                                 << QStringLiteral("http://web.test:8080/support.html");
        QTest::newRow("placeholders are case-sensitive") << QStringLiteral("http://{host}/{SKU}") << QString()
                                                         << QStringLiteral("http://web.test:8080/{SKU}");
        QTest::newRow("nothing at all") << QString() << QString() << QString();
    }

    void templates()
    {
        QFETCH(QString, url);
        QFETCH(QString, fallback);
        QFETCH(QString, expanded);
        TranslationsManager translations;
        QVERIFY(translations.setLanguage(QStringLiteral("ja")));
        MainWindow window(QStringLiteral("127.0.0.1"), 1, QString(), QString(), false, QStringLiteral("web.test:8080"),
                          &translations);
        QCOMPARE(window.expandUrlTemplate(url, fallback), QUrl(expanded, QUrl::TolerantMode));
        translations.setLanguage(QStringLiteral("en"));
    }

    void clientLinksAskForTheirPages_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("request");
        QTest::newRow("account") << QStringLiteral("client://my-account") << QStringLiteral("page 1");
        QTest::newRow("help") << QStringLiteral("client://help") << QStringLiteral("page 6");
        QTest::newRow("support") << QStringLiteral("client://support") << QStringLiteral("page 5");
        QTest::newRow("extern support") << QStringLiteral("client://externsupport") << QStringLiteral("page 5");
        QTest::newRow("classic") << QStringLiteral("client://rules/classic") << QStringLiteral("page 7");
        QTest::newRow("international") << QStringLiteral("client://rules/international") << QStringLiteral("page 8");
        QTest::newRow("riichi") << QStringLiteral("client://rules/riichi") << QStringLiteral("page 9");
        QTest::newRow("unknown") << QStringLiteral("client://chat") << QString();
    }

    void clientLinksAskForTheirPages()
    {
        QFETCH(QString, link);
        QFETCH(QString, request);
        MainWindowHarness h;
        QVERIFY(h.readyInLobby());
        h.window->onLaunchBrowser(link);
        // The account button waits for the account page's address.
        const bool account = request == QLatin1String("page 1");
        QCOMPARE(h.window->view().accountButton->isEnabled(), !account);
        if (request.isEmpty()) {
            QTest::qWait(100);
            QCOMPARE(h.scenario.log(), QStringList());
            return;
        }
        QVERIFY(h.waitForRequests(1));
        QCOMPARE(h.scenario.log(), QStringList{request});
        if (account)
            QTRY_VERIFY(h.window->view().accountButton->isEnabled());
    }

    void pagesChooseTabs_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("page");
        QTest::newRow("lobby") << QStringLiteral("lobby") << QStringLiteral("LobbyView");
        QTest::newRow("preferences") << QStringLiteral("preferences") << QStringLiteral("PreferencesView");
        QTest::newRow("tournaments") << QStringLiteral("tournament") << QStringLiteral("TournamentsLobbyView");
        QTest::newRow("how-to") << QStringLiteral("howto") << QStringLiteral("howtoPage");
        QTest::newRow("welcome") << QStringLiteral("welcome") << QStringLiteral("welcomePage");
        QTest::newRow("unknown name") << QStringLiteral("chat") << QStringLiteral("LobbyView");
    }

    void pagesChooseTabs()
    {
        QFETCH(QString, tab);
        QFETCH(QString, page);
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        UTabWidget* tabs = h.window->view().mainTabs;
        tabs->setCurrentIndex(tabs->indexOf(h.window->lobbyWindow()));
        h.window->onDisplayTab(tab);
        QCOMPARE(tabs->widget(tabs->currentIndex())->objectName(), page);
    }

    void whereAddressesOpen_data()
    {
        // A page request's reply ("page N|address") or a page's link.
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("desktop");
        QTest::addColumn<QStringList>("dialog");
        QTest::newRow("empty support reply") << QStringList{"page 5|"}
                                             << QStringList{"http://127.0.0.1:1/support.html"} << QStringList{};
        QTest::newRow("rules reply") << QStringList{"page 9|https://web.test/r/{sku}"}
                                     << QStringList{"https://web.test/r/parlor7"} << QStringList{};
        QTest::newRow("account opens inside") << QStringList{"page 1|localwww:/howto.html"} << QStringList{}
                                              << QStringList{"localwww:/howto.html"};
        QTest::newRow("account sent outside")
            << QStringList{"page 1|http://web.test/a?_Target=external"}
            << QStringList{"http://web.test/a?_Target=external"} << QStringList{};
        QTest::newRow("two inside, one dialog")
            << QStringList{"page 5|localwww:/howto.html?_Target=internal",
                           "page 6|localwww:/welcome.html?_Target=internal"}
            << QStringList{} << QStringList{"localwww:/welcome.html?_Target=internal"};
        QTest::newRow("page link") << QStringList{"link|https://web.test/x"} << QStringList{"https://web.test/x"}
                                   << QStringList{};
        QTest::newRow("empty page for new accounts") << QStringList{"page 0|"} << QStringList{} << QStringList{};
        // A reply is not a way to start a local file or another program.
        QTest::newRow("local file") << QStringList{"page 5|file:///etc/passwd", "page 11|file:///usr/bin/xterm"}
                                    << QStringList{} << QStringList{};
        QTest::newRow("other scheme") << QStringList{"page 10|smb://web.test/share"} << QStringList{}
                                      << QStringList{};
    }

    void whereAddressesOpen()
    {
        QFETCH(QStringList, events);
        QFETCH(QStringList, desktop);
        QFETCH(QStringList, dialog);
        DesktopHandler handler;
        const QStringList schemes{"http", "https", "file", "smb", "localwww"};
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, &handler, "open");
        TranslationsManager translations;
        MainWindow window(QStringLiteral("127.0.0.1"), 1, QString(), QString(), false, QStringLiteral("127.0.0.1:1"),
                          &translations);
        for (const QString& event : events) {
            const QString address = event.section(QLatin1Char('|'), 1);
            if (event.startsWith(QLatin1String("link")))
                window.onLaunchBrowser(address);
            else
                window.onWebPage(WebPageRequest::enum_t(event.section(QLatin1Char(' '), 1).section('|', 0, 0).toInt()),
                                 address);
        }
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(handler.opened, desktop);
        const QList<EmbeddedBrowser*> browsers = window.findChildren<EmbeddedBrowser*>();
        QCOMPARE(browsers.size(), dialog.size());
        if (!dialog.isEmpty()) {
            QVERIFY(!browsers.first()->isHidden());
            QTRY_COMPARE(browsers.first()->view()->url().toString(), dialog.first());
        }
    }

    void startPageFallsBackToTheLocalPage()
    {
        HttpTestServer web;
        web.setFile(QStringLiteral("howto/en.html"), loopPage);
        MainWindowHarness h;
        h.httpHost = web.base().mid(7);
        WebSchemes::setServiceWebHost(h.httpHost);
        h.scenario.setWebPage(4, "http://{host}/howto/{locale}.html");
        QVERIFY(h.translations.setLanguage(QStringLiteral("en")));
        QVERIFY(h.openAndLogIn());
        // An empty start page address loads the local page; a template is filled in.
        QTRY_COMPARE(h.window->startPage()->view()->url().toString(), QStringLiteral("localwww:/welcome.html"));
        EmbeddedWebPage* howto = h.window->howToPage();
        QTRY_COMPARE(howto->view()->url().toString(), web.base() + QStringLiteral("/howto/en.html"));

        // 3,000 calls a click of the player: one goes out. A second "No web browser" box is the first.
        UTabWidget* tabs = h.window->view().mainTabs;
        clickTab(tabs, tabs->indexOf(howto));
        QCOMPARE(tabs->currentIndex(), tabs->indexOf(howto));
        QSignalSpy switched(tabs, &UTabWidget::currentChanged);
        QSignalSpy loops(howto->findChild<JavascriptInterface*>(), &JavascriptInterface::onClose);
        DesktopHandler browser;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
        // Past the handler, no desktop web browser can be started (BROWSER is unset).
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        const auto restore = qScopeGuard([&path] { qputenv("PATH", path); });
        for (const char* id : {"launch", "join", "launch", "launch", "tab"}) {
            QVERIFY(WebTest::waitForClient(howto->view()->page()));
            WebTest::click(howto->view(), id);
            QVERIFY(loops.wait(30000)); // the loop's last call, close(), has come through
            QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        }
        const QList<qsizetype> taken{h.scenario.log().count(QStringLiteral("quick join /Practice/Riichi/4/")),
            browser.opened.size(), h.boxes().filter(QStringLiteral("No web browser")).size(), switched.size()};
        qInfo("3,000 calls a click: %lld join, %lld browser, %lld box (two clicks), %lld tab switch; one call each: 1", taken[0],
              taken[1], taken[2], taken[3]);
        QCOMPARE(taken, QList<qsizetype>({1, 1, 1, 1}));

        // A box of the page takes the language the player switches to, and the page of that language follows
        // at once, the box answered.
        web.setFile(QStringLiteral("boxes.html"), WebTest::boxesPage);
        web.setFile(QStringLiteral("howto/ja.html"), "<title>ja</title>");
        howto->load(QUrl(web.base() + QStringLiteral("/boxes.html#1")));
        QPointer<ModelessMsgBox::MsgBox> box;
        QTRY_VERIFY_WITH_TIMEOUT((box = howto->findChild<ModelessMsgBox::MsgBox*>()), 10000);
        QVERIFY(h.translations.setLanguage(QStringLiteral("ja")));
        QTRY_COMPARE(box ? box->windowTitle() : QString(), QStringLiteral("127.0.0.1 のページからのメッセージ"));
        QTRY_COMPARE_WITH_TIMEOUT(howto->view()->title(), QStringLiteral("ja"), 10000);
        QVERIFY(!box || box->isAnswered());
        QVERIFY(h.translations.setLanguage(QStringLiteral("en")));
    }
};

int main(int argc, char** argv)
{
    qunsetenv("BROWSER");
    WebSchemes::registerSchemes();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    TestMainWindowWeb test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow_web.moc"
