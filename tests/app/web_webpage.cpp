// The embedded web pages in QtWebEngine: the local pages and their buttons,
// the program object "client" with its operations and properties, "client://"
// links, which pages may see the object or its channel, the boxes pages ask
// for, the fallback page and the browser dialog.

#include "BridgedWebPage.h"
#include "EmbeddedBrowser.h"
#include "EmbeddedWebPage.h"
#include "HttpTestServer.h"
#include "JavascriptInterface.h"
#include "LogCapture.h"
#include "MessageBoxWatcher.h"
#include "ModelessMsgBox.h"
#include "WebSchemes.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineView>

#include <utility>

namespace {

const QByteArray remotePage =
    "<!DOCTYPE html>\n"
    "<html><head><title>Remote</title></head><body>\n"
    "<button id=\"go\" onclick=\"if (window.client) client.displayTab('friends')\">Friends</button>\n"
    "<a id=\"help\" href=\"client://help\">Help</a> <a id=\"none\" href=\"/status/204/x\">204</a>\n"
    "<a id=\"file\" href=\"/type/application/octet-stream/remote.html\">Download</a>\n"
    "<a id=\"away\" href=\"http://localhost:PORT/status/204/\">Elsewhere</a>\n"
    "</body></html>\n";
/// A partner's picture that never comes, a link that never loads, a call after the server's slow answer.
const QByteArray slowPage = "<title>Slow</title><img src=\"http://localhost:PORT/hang/partner.png\">\n"
    "<button id=\"go\" onclick=\"client.displayTab('friends')\">Friends</button><a id=\"hang\" href=\"/hang/\">Next</a>\n"
    "<button id=\"ask\" onclick=\"fetch('/slow/7000/').then(function () { client.launchBrowser('client://help'); })\">Ask</button>\n";
/// A partner's frame in the service's page, its link and button at the frame's top, reaching for the program.
const QByteArray partnerFrame = "<style>body{margin:0}a,button{display:block;width:300px;height:90px}</style>\n"
    "<a target=\"_top\" href=\"client://help\">Help</a><button onclick=\"top.location = 'client://support'\">Support</button>\n";
const QByteArray partneredPage = "<title>Partnered</title><style>body{margin:0}iframe{border:0;width:300px;height:200px;"
    "display:block}</style><iframe src=\"http://localhost:PORT/partner.html\"></iframe><a id=\"own\" href=\"client://own\">Own</a>\n";
/// Calls the object as each way of waiting for it allows.
const QByteArray callsPage = "<title>Calls</title><script>client.displayTab('inline');\n"
    "document.addEventListener('DOMContentLoaded', function () { client.displayTab('parsed'); });\n"
    "document.addEventListener('clientready', function () { client.displayTab('ready'); });</script><p>Calls</p>\n";

}

class TestWebPage : public QObject
{
    Q_OBJECT

    HttpTestServer* server = nullptr;

    QString clickScript(const QString& id) const
    {
        return QStringLiteral("document.getElementById('%1').click()").arg(id);
    }

private Q_SLOTS:
    void initTestCase()
    {
        WebTest::useCompiledPages();
        server = new HttpTestServer;
        QVERIFY(server->isRunning());
        const QByteArray port = QByteArray::number(server->serverPort());
        server->setFile(QStringLiteral("remote.html"), QByteArray(remotePage).replace("PORT", port));
        server->setFile(QStringLiteral("slow.html"), QByteArray(slowPage).replace("PORT", port));
        server->setFile(QStringLiteral("boxes.html"), WebTest::boxesPage);
        server->setFile(QStringLiteral("calls.html"), callsPage);
        server->setFile(QStringLiteral("held.html"), "<title>Held</title><script>var refused = 0; for (var i = 0; i < 60; ++i)\n"
            "try { client.displayTab('held'); } catch (e) { ++refused; } document.title = 'refused ' + refused;</script>\n");
        server->setFile(QStringLiteral("partner.html"), partnerFrame);
        server->setFile(QStringLiteral("partnered.html"), QByteArray(partneredPage).replace("PORT", port));
        server->setFile(QStringLiteral("framed.html"), QByteArray(WebTest::framedPage).replace("PORT", port));
        WebSchemes::setServiceWebHost(server->base().mid(7));
    }
    void cleanupTestCase() { delete server; }

    void trustedAddresses()
    {
        WebSchemes::setServiceWebHost(QStringLiteral("127.0.0.1"));
        QVERIFY(WebSchemes::isTrustedPage(QUrl(QStringLiteral("localwww:/welcome.html"))));
        QVERIFY(!WebSchemes::isTrustedPage(QUrl(QStringLiteral("http://127.0.0.1:8033/x.html"))));
        QVERIFY(WebSchemes::isTrustedPage(QUrl(QStringLiteral("https://127.0.0.1/x.html"))));
        QVERIFY(!WebSchemes::isTrustedPage(QUrl(QStringLiteral("http://localhost/x.html"))));
        QVERIFY(!WebSchemes::isTrustedPage(QUrl(QStringLiteral("http://127.0.0.1.evil.example/x.html"))));
        QVERIFY(!WebSchemes::isTrustedPage(QUrl(QStringLiteral("ftp://127.0.0.1/x.html"))));
        QVERIFY(!WebSchemes::isTrustedPage(QUrl(QStringLiteral("about:blank"))));
        // A web host given with its port trusts that port only.
        WebSchemes::setServiceWebHost(QStringLiteral("127.0.0.1:8080"));
        const bool withPort = WebSchemes::isTrustedPage(QUrl(QStringLiteral("http://127.0.0.1:8080/x.html")));
        const bool otherPort = WebSchemes::isTrustedPage(QUrl(QStringLiteral("http://127.0.0.1:8081/x.html")));
        WebSchemes::setServiceWebHost(server->base().mid(7));
        QVERIFY(withPort);
        QVERIFY(!otherPort);
    }

    void startPageButtonsReachTheProgram()
    {
        EmbeddedWebPage page(nullptr);
        page.setHost(QStringLiteral("game.parlor7.test"));
        page.resize(1000, 760);
        page.show();
        QVERIFY(WebTest::load(page.view(), QUrl(QStringLiteral("localwww:/welcome.html"))));
        QVERIFY(WebTest::waitForClient(page.page()));
        QVERIFY(page.page()->isBridgeOpen());

        QCOMPARE(WebTest::run(page.page(), QStringLiteral("client.isDebug")).toBool(), false);
        QCOMPARE(WebTest::run(page.page(), QStringLiteral("client.mahjongHost")).toString(),
            QStringLiteral("game.parlor7.test"));
        QCOMPARE(WebTest::run(page.page(), QStringLiteral("document.body.classList.contains('browser')")).toBool(), false);

        QSignalSpy tabs(&page, &EmbeddedWebPage::displayTab);
        QSignalSpy joins(&page, &EmbeddedWebPage::joinTable);
        QSignalSpy links(&page, &EmbeddedWebPage::launchBrowser);

        // A real mouse click on "Choose Table".
        WebTest::click(page.view(), "chooseTable");
        QVERIFY(tabs.wait(5000));
        QCOMPARE(tabs.takeFirst().at(0).toString(), QStringLiteral("lobby"));

        const struct {
            const char* id;
            QSignalSpy* spy;
            const char* value;
        } buttons[] = {
            {"practiceRiichi", &joins, "/Practice/Riichi/4/"},
            {"practiceInternational", &joins, "/Practice/International/4/"},
            {"practiceClassic", &joins, "/Practice/Classic/4/"},
            {"freeRiichi", &joins, "/Regular/ForFun/Riichi/Express/4/"},
            {"tournaments", &tabs, "tournament"},
            {"learnNow", &tabs, "howto"},
            {"handHistory", &links, "client://my-account"},
            {"cashier", &links, "client://my-account"},
            {"externSupport", &links, "client://externsupport"},
            {"help", &links, "http://{host}/help.html"},
            {"helpDeposit", &links, "http://{host}/help.html#deposit"},
            {"helpWithdraw", &links, "http://{host}/help.html#withdraw"},
        };
        for (const auto& b : buttons) {
            WebTest::click(page.view(), b.id);
            QTRY_COMPARE_WITH_TIMEOUT(b.spy->size(), 1, 5000);
            QCOMPARE(b.spy->takeFirst().at(0).toString(), QLatin1String(b.value));
        }
        QCOMPARE(tabs.size() + joins.size() + links.size(), 0);

        // The keys typed between two clicks are one action of the player: a page calling in a loop as they are
        // typed gets one call, not one a letter. A text too long for its kind is refused with a warning, a
        // message too long for the channel before the program reads it; an address of 3,000 characters is neither.
        LogCapture log;
        WebTest::run(page.page(), QStringLiteral("var f = document.createElement('input'); document.body.prepend(f);"
                                                 "f.focus(); try { client.launchBrowser('x'.repeat(1e7)); } catch (e) {}"
                                                 "for (var i = 0; i < 300; ++i) document.dispatchEvent(new CustomEvent("
                                                 "  'clientbridgeout', {detail: JSON.stringify({id: i, args: ['x'.repeat(60000)]})}));"
                                                 "var loop = setInterval(function () { client.launchBrowser('client://help'); }, 20);"));
        QTest::keyClicks(page.view()->focusProxy(), QStringLiteral("twenty letters typed"), {}, 20);
        WebTest::run(page.page(), QStringLiteral("clearInterval(loop); client.displayTab('x'.repeat(65));"));
        QTest::mouseClick(page.view()->focusProxy(), Qt::LeftButton, {}, QPoint(2, 2));
        WebTest::run(page.page(), QStringLiteral("client.launchBrowser('http://{host}/' + 'x'.repeat(3000));"));
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 2, 5000);
        QCOMPARE(links.takeFirst().at(0).toString(), QStringLiteral("client://help"));
        QCOMPARE(links.takeFirst().at(0).toString().size(), 3014);
        const QRegularExpression refused(QStringLiteral("messages of the page.*longest of 100000.* 300 malformed|a tab of 65"));
        QCOMPARE(log.lines(QtWarningMsg).filter(refused).size(), 2);

        // In a tab, close() does nothing; a call without a click of the player, or hidden, neither.
        QSignalSpy tournaments(&page, &EmbeddedWebPage::displayTournament);
        WebTest::run(page.page(), QStringLiteral("client.close(); client.displayTournament(17);"));
        QTest::mouseClick(page.view()->focusProxy(), Qt::LeftButton, {}, QPoint(2, 2));
        page.hide();
        WebTest::run(page.page(), QStringLiteral("client.displayTournament(18);"));
        page.show();
        WebTest::run(page.page(), QStringLiteral("client.displayTournament(19); client.displayTournament(20);"));
        QTRY_COMPARE_WITH_TIMEOUT(tournaments.size(), 1, 5000);
        QCOMPARE(tournaments[0][0].toInt(), 19);
        QVERIFY(page.isVisible());
        QCOMPARE(page.view()->url(), QUrl(QStringLiteral("localwww:/welcome.html")));
    }

    void clientLinksAreRequests()
    {
        EmbeddedWebPage page(nullptr);
        page.resize(1000, 760);
        page.show();
        QVERIFY(WebTest::load(page.view(), QUrl(QStringLiteral("localwww:/howto.html"))));
        QVERIFY(WebTest::waitForClient(page.page()));
        QSignalSpy links(&page, &EmbeddedWebPage::launchBrowser);
        WebTest::run(page.page(), QStringLiteral("$('.howto-section').addClass('current')"));
        for (const char* id : {"rulesRiichi", "howtoCashier", "howtoFaq"})
            WebTest::click(page.view(), id);
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 3, 5000);
        QCOMPARE(links[0][0].toString(), QStringLiteral("client://rules/riichi"));
        QCOMPARE(links[1][0].toString(), QStringLiteral("client://my-account"));
        QCOMPARE(links[2][0].toString(), QStringLiteral("client://help"));
        links.clear();

        // An ordinary link with the "client" scheme is a request, not a navigation.
        WebTest::run(page.page(), QStringLiteral("var a = document.createElement('a'); a.id = 'x'; a.textContent = 'x';"
                                                 "a.href = 'client://rules/international'; document.body.appendChild(a);"));
        WebTest::click(page.view(), "x");
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 1, 5000);
        QCOMPARE(links[0][0].toString(), QStringLiteral("client://rules/international"));
        QCOMPARE(page.view()->url(), QUrl(QStringLiteral("localwww:/howto.html")));

        // A partner's frame in the service's page makes no request of the page's, clicked or not.
        QVERIFY(WebTest::load(page.view(), QUrl(server->base() + QStringLiteral("/partnered.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(WebTest::run(page.page(), QStringLiteral("frames.length && frames[0].length === 0")).toBool(), 10000);
        QTest::qWait(500);
        for (const QPoint at : {QPoint(150, 45), QPoint(150, 135)})
            QTest::mouseClick(page.view()->focusProxy(), Qt::LeftButton, {}, at);
        WebTest::click(page.view(), "own");
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 2, 5000);
        QTest::qWait(300);
        QCOMPARE(links.size(), 2);
        QCOMPARE(links[1][0].toString(), QStringLiteral("client://own/"));
    }

    void serviceHostPagesGetTheObject()
    {
        EmbeddedWebPage page(nullptr);
        page.show();
        page.setFallbackUrl(QUrl(QStringLiteral("localwww:/welcome.html")));
        QSignalSpy tabs(&page, &EmbeddedWebPage::displayTab);
        QSignalSpy links(&page, &EmbeddedWebPage::launchBrowser);
        QVERIFY(WebTest::load(page.view(), QUrl(server->base() + QStringLiteral("/remote.html"))));
        // A 204 answer (of another host too) and a download keep it shown, the object with it; its "client://" links are requests.
        for (const char* id : {"none", "file", "away"}) {
            QVERIFY(WebTest::waitForClient(page.page()));
            QSignalSpy ended(page.page(), &BridgedWebPage::loadEnded);
            WebTest::click(page.view(), id);
            QVERIFY(ended.wait(10000));
        }
        QVERIFY(WebTest::waitForClient(page.page()));
        WebTest::click(page.view(), "help");
        WebTest::click(page.view(), "go");
        QTRY_COMPARE_WITH_TIMEOUT(tabs.size(), 1, 5000);
        QCOMPARE(tabs[0][0].toString(), QStringLiteral("friends"));
        QCOMPARE(links.value(0).value(0).toString(), QStringLiteral("client://help/"));

        // A picture that never comes keeps neither the object nor a click's call from the page, nor does a link
        // that never loads; the call of a click that waits for the server's slow answer still goes out.
        page.load(QUrl(server->base() + QStringLiteral("/slow.html")));
        QVERIFY(WebTest::waitForClient(page.page()));
        // The first paint comes late on a busy machine (over 5 s among eight parallel tests, over 20 s beside
        // a build and the benchmarks): the wait ends as soon as it comes.
        QTRY_VERIFY_WITH_TIMEOUT(
            WebTest::run(page.page(), QStringLiteral("performance.getEntriesByType('paint').length > 0")).toBool(),
            60000);
        for (const char* id : {"hang", "go", "ask"})
            WebTest::click(page.view(), id);
        QTRY_COMPARE_WITH_TIMEOUT(tabs.size(), 2, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(links.size(), 2, 15000);

        // Whether a page calls the object from its first script, once it is parsed or once told it is ready,
        // every call reaches the program, in order, load after load.
        QSignalSpy calls(page.findChild<JavascriptInterface*>(), &JavascriptInterface::onDisplayTab);
        for (int i = 1; i <= 20; ++i) {
            page.load(QUrl(server->base() + QStringLiteral("/calls.html")));
            QTRY_COMPARE_WITH_TIMEOUT(calls.size(), 3 * i, 10000);
        }
        for (int i = 0; i < calls.size(); ++i)
            QCOMPARE(calls[i][0].toString(), QStringList({"inline", "parsed", "ready"})[i % 3]);
        // A call past the 50 held before the channel is up, or past 100 a second, throws and is counted in the log.
        LogCapture log;
        calls.clear();
        page.load(QUrl(server->base() + QStringLiteral("/held.html")));
        QTRY_COMPARE_WITH_TIMEOUT(calls.size(), 50, 10000);
        QCOMPARE(page.view()->title(), QStringLiteral("refused 10"));
        QTest::qWait(1100);
        QCOMPARE(WebTest::run(page.page(), QStringLiteral("var r = 0; for (var i = 0; i < 150; ++i) try { client.displayTab('fast'); }"
                                                          " catch (e) { ++r; } r")).toInt(), 50);
        QTRY_COMPARE_WITH_TIMEOUT(log.lines(QtWarningMsg).filter(QRegularExpression(QStringLiteral(
            "messages of the page.*( 50 past the 100 a second, 0 past| 0 past the 100 a second, 10 past the 50 held)"))).size(), 2, 5000);
        // None of them spends a click the player gave the pages before.
        QCOMPARE(tabs.size(), 2);
    }

    void otherPagesNeverSeeTheObject()
    {
        EmbeddedWebPage page(nullptr);
        QSignalSpy tabs(&page, &EmbeddedWebPage::displayTab);
        // First a page of the service with the object, then a page of
        // another host it goes to.
        QVERIFY(WebTest::load(page.view(), QUrl(server->base() + QStringLiteral("/remote.html"))));
        QVERIFY(WebTest::waitForClient(page.page()));
        const QUrl foreign(QStringLiteral("http://localhost:%1/remote.html").arg(server->serverPort()));
        QSignalSpy loaded(page.page(), &BridgedWebPage::loadEnded);
        WebTest::run(page.page(), QStringLiteral("location.href = '%1'").arg(foreign.toString()));
        QVERIFY(loaded.wait(15000));
        QCOMPARE(page.view()->url(), foreign);
        QVERIFY(!page.page()->isBridgeOpen());
        QTest::qWait(300);
        QCOMPARE(WebTest::run(page.page(), QStringLiteral("typeof window.client")).toString(), QStringLiteral("undefined"));
        // A hostile page that finds a transport and speaks the channel's
        // protocol itself still finds no object on it.
        QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        QVERIFY(channelJs.open(QIODevice::ReadOnly));
        WebTest::run(page.page(), QString::fromUtf8(channelJs.readAll())
                + QStringLiteral("\nwindow.probe = 'no transport';"
                                 "if (typeof qt !== 'undefined' && qt.webChannelTransport) {"
                                 "  window.probe = 'waiting';"
                                 "  new QWebChannel(qt.webChannelTransport, function(ch) {"
                                 "    window.probe = 'objects:' + Object.keys(ch.objects).join(',');"
                                 "    if (ch.objects.client) ch.objects.client.displayTab('friends');"
                                 "  });"
                                 "}"));
        QTest::qWait(500);
        const QString probe = WebTest::run(page.page(), QStringLiteral("window.probe")).toString();
        qDebug().noquote() << "what a foreign page finds:" << probe;
        // Blind calls over a raw transport (method by name and by a range of indices) go nowhere either.
        WebTest::run(page.page(), QStringLiteral(
            "if (typeof qt !== 'undefined' && qt.webChannelTransport) {"
            "  var methods = ['displayTab']; for (var i = 0; i < 40; ++i) methods.push(i);"
            "  methods.forEach(function(m) { qt.webChannelTransport.send(JSON.stringify("
            "    {type: 6, id: 99, object: 'client', method: m, args: ['friends']})); });"
            "}"));
        QCOMPARE(probe, QStringLiteral("no transport"));
        QCOMPARE(WebTest::run(page.page(), QStringLiteral("document.title")).toString(), QStringLiteral("Remote"));
        WebTest::run(page.page(), clickScript(QStringLiteral("go")));
        // A navigation to the service that never ends, brings no document or
        // is stopped by the page leaves the page still shown without the
        // object and without the channel's transport.
        for (const char* navigation : {"location = '%1/hang/'", "location = '%1/status/204/'", "location = '%1/hang/s'; stop();"}) {
            WebTest::run(page.page(), QString::fromLatin1(navigation).arg(server->base()));
            QTest::qWait(300);
            QCOMPARE(WebTest::run(page.page(), QStringLiteral("typeof qt === 'undefined' ? document.title : 'transport'")),
                QVariant(QStringLiteral("Remote")));
        }
        QVERIFY(server->requests().contains(QStringLiteral("GET /hang/ HTTP/1.1")));
        QVERIFY(!page.page()->isBridgeOpen());
        QCOMPARE(tabs.size(), 0);

        // Its console reaches the debug log only, one short line a message, 20 in 10 seconds.
        LogCapture log;
        const auto js = [&log] { return log.linesStartingWith(QtDebugMsg, QStringLiteral("js:")).join(u'\n').toUtf8(); };
        WebTest::run(page.page(), QStringLiteral("console.error('x\\n04:00:00.000 [CRIT ] not the program');"
                                                 "var m = 'y'.repeat(5 << 20); for (var i = 0; i < 40; ++i) console.error(m);"));
        QTRY_COMPARE_WITH_TIMEOUT(js().count('\n'), 19, 30000);
        std::printf("console, 40 messages of 5 MB and one short: the log grew by %d bytes; by one of 5 MB: %d\n",
            int(js().size() + 20 * 22), int(js().size() - js().lastIndexOf('\n') + 21));
        QVERIFY(js().size() < 20 * 1000 && !js().contains("\n04:00:00.000"));
    }

    void boxesOnlyOfTrustedDocuments_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("boxesShown");
        QTest::newRow("the service's page") << server->base() + QStringLiteral("/boxes.html") << true << 5;
        QTest::newRow("another host's page")
            << QStringLiteral("http://localhost:%1/boxes.html").arg(server->serverPort()) << true << 0;
        QTest::newRow("another host's frame in the service's page, its tab hidden")
            << server->base() + QStringLiteral("/framed.html") << false << 0;
    }

    void boxesOnlyOfTrustedDocuments()
    {
        QFETCH(QString, address);
        QFETCH(bool, shown);
        QFETCH(int, boxesShown);
        MessageBoxWatcher boxes;
        LogCapture log;
        server->clearRequests();
        EmbeddedWebPage page(nullptr);
        page.resize(800, 600);
        page.setVisible(shown);
        page.load(QUrl(address));
        // Only the trusted document's own alerts and confirms show, in the page, a few a minute, their texts plain,
        // each answered with Ok; the others are not: a confirm is cancelled, a prompt gets no text; a few are noted.
        for (int i = 0; i < boxesShown; ++i) {
            ModelessMsgBox::MsgBox* box = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((box = page.findChild<ModelessMsgBox::MsgBox*>()) && !box->isAnswered(), 10000);
            QCOMPARE(box->findChild<QLabel*>(QStringLiteral("msgBoxText"))->text(),
                i % 2 ? QStringLiteral("Leave the table?") : QStringLiteral("alert <b>%1</b>").arg(i / 2));
            QCOMPARE(box->findChild<QLabel*>(QStringLiteral("msgBoxText"))->textFormat(), Qt::PlainText);
            QVERIFY(!page.view()->isEnabled() && box->windowTitle() == QStringLiteral("The page at 127.0.0.1 says"));
            QTest::mouseClick(box->defaultButton(), Qt::LeftButton);
        }
        QTRY_COMPARE_WITH_TIMEOUT(page.view()->title(), QStringLiteral("answered %1 0").arg(boxesShown / 2), 60000);
        QCOMPARE(boxes.seen.size(), 0);
        QVERIFY(!server->requests().join(u'\n').contains(QLatin1String("/leak")));
        QCOMPARE(log.linesStartingWith(QtDebugMsg, QStringLiteral("js:")).filter(QStringLiteral("box of")).size(), 5);
        QCOMPARE(log.lines(QtCriticalMsg), QStringList());
        // A page that would keep the player does not keep the program from leaving it.
        if (shown) {
            QTest::mouseClick(page.view()->focusProxy(), Qt::LeftButton, {}, QPoint(5, 5));
            page.load(QUrl(QStringLiteral("localwww:/welcome.html")));
            QTRY_COMPARE_WITH_TIMEOUT(page.view()->title(), QStringLiteral("Welcome"), 10000);
            QCOMPARE(boxes.seen.size(), 0);
        }
    }

    void failedPageShowsTheFallbackOnce()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QUrl unreachable(QStringLiteral("http://127.0.0.1:%1/start.html").arg(probe.serverPort()));
        probe.close();

        EmbeddedWebPage page(nullptr);
        page.setFallbackUrl(QUrl(QStringLiteral("localwww:/welcome.html")));
        QSignalSpy finished(page.view(), &QWebEngineView::loadFinished);
        page.load(unreachable);
        QTRY_COMPARE_WITH_TIMEOUT(page.view()->url(), QUrl(QStringLiteral("localwww:/welcome.html")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(page.view()->title(), QStringLiteral("Welcome"), 10000);

        // A fallback that fails too stays failed, without reloading.
        EmbeddedWebPage broken(nullptr);
        broken.setFallbackUrl(QUrl(QStringLiteral("localwww:/missing.html")));
        QSignalSpy brokenFinished(broken.view(), &QWebEngineView::loadFinished);
        broken.load(unreachable);
        QTRY_COMPARE_WITH_TIMEOUT(broken.view()->url(), QUrl(QStringLiteral("localwww:/missing.html")), 10000);
        QTest::qWait(800);
        QVERIFY(brokenFinished.size() <= 2);
        QCOMPARE(broken.view()->url(), QUrl(QStringLiteral("localwww:/missing.html")));

        // A host that takes the connection and never answers: the fallback after the time limit; one that answers
        // later than that: its page once it comes, asked for once.
        server->clearRequests();
        const int limit = std::exchange(EmbeddedWebPage::loadTimeLimitMs, 2000);
        EmbeddedWebPage hung(nullptr), late(nullptr);
        for (EmbeddedWebPage* p : {&hung, &late})
            p->setFallbackUrl(QUrl(QStringLiteral("localwww:/welcome.html")));
        QVERIFY(WebTest::load(late.view(), QUrl(QStringLiteral("localwww:/howto.html"))));
        hung.load(QUrl(server->base() + QStringLiteral("/hang/start.html")));
        late.load(QUrl(server->base() + QStringLiteral("/slow/4000/remote.html")));
        EmbeddedWebPage::loadTimeLimitMs = limit;
        QTRY_COMPARE_WITH_TIMEOUT(hung.view()->title(), QStringLiteral("Welcome"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(late.view()->title(), QStringLiteral("Welcome"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(late.view()->title(), QStringLiteral("Remote"), 15000);
        QCOMPARE(hung.view()->title(), QStringLiteral("Welcome"));
        QCOMPARE(server->requests().filter(QStringLiteral("/slow/4000/remote.html")).size(), 1);
        QVERIFY(WebTest::waitForClient(late.page()));
    }

    void languagePagesComeFirst()
    {
        WebTest::useCompiledPages(QStringLiteral("ja"));
        EmbeddedWebPage page(nullptr);
        page.show();
        QSignalSpy tabs(&page, &EmbeddedWebPage::displayTab);
        QVERIFY(WebTest::load(page.view(), QUrl(QStringLiteral("localwww:/welcome.html"))));
        QCOMPARE(page.view()->title(), QStringLiteral("ようこそ"));
        QVERIFY(WebTest::waitForClient(page.page())); // the common script is found behind the language folder
        WebTest::click(page.view(), "learnNow");
        QTRY_COMPARE_WITH_TIMEOUT(tabs.size(), 1, 5000);
        QCOMPARE(tabs[0][0].toString(), QStringLiteral("howto"));

        WebTest::useCompiledPages(QStringLiteral("zh"));
        QVERIFY(WebTest::load(page.view(), QUrl(QStringLiteral("localwww:/howto.html"))));
        QCOMPARE(page.view()->title(), QStringLiteral("玩法说明"));
        WebTest::useCompiledPages();
    }

    void browserDialogShowsTheErrorPageAndClosesFromScript()
    {
        QWidget window;
        window.resize(1000, 760);
        window.show();
        QPointer<EmbeddedBrowser> browser = new EmbeddedBrowser(&window);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->showDialog(true);

        // A 204 answer keeps the page; a page without a title leaves the title bar empty.
        QVERIFY(WebTest::load(browser->view(), QUrl(server->base() + QStringLiteral("/remote.html"))));
        QVERIFY(!WebTest::load(browser->view(), QUrl(server->base() + QStringLiteral("/status/204/"))));
        QTest::qWait(300);
        QCOMPARE(browser->windowTitle(), QStringLiteral("Remote"));
        QSignalSpy ended(browser->page(), &BridgedWebPage::loadEnded);
        browser->load(QUrl(server->base() + QStringLiteral("/status/200/untitled")));
        QVERIFY(ended.wait(10000));
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), QString(), 10000);

        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QUrl unreachable(QStringLiteral("http://127.0.0.1:%1/account").arg(probe.serverPort()));
        probe.close();
        browser->load(unreachable);
        QTRY_COMPARE_WITH_TIMEOUT(browser->view()->url(), QUrl(QStringLiteral("localwww:/error.html")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), QStringLiteral("Problem loading page"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(
            WebTest::run(browser->page(), QStringLiteral("document.querySelector('h1') && document.querySelector('h1').textContent"))
                .toString(),
            QStringLiteral("Unable to connect"), 10000);
        QCOMPARE(browser->securityIcon()->toolTip(), QStringLiteral("Insecure connection"));
        QVERIFY(browser->progress()->isHidden());

        browser->onUrlChanged(QUrl(QStringLiteral("https://127.0.0.1/account")));
        QCOMPARE(browser->securityIcon()->toolTip(), QStringLiteral("Secure connection"));
        browser->onUrlChanged(QUrl(QStringLiteral("http://127.0.0.1/account")));
        QCOMPARE(browser->securityIcon()->toolTip(), QStringLiteral("Insecure connection"));

        // In the dialog the object's other operations go nowhere.
        QVERIFY(WebTest::waitForClient(browser->page()));
        WebTest::run(browser->page(), QStringLiteral("client.displayTab('lobby'); client.joinTable('/Practice/Riichi/4/');"
                                                     "client.launchBrowser('client://help'); client.displayTournament(3);"));
        QTest::qWait(300);
        QVERIFY(!browser.isNull());
        QVERIFY(browser->isVisible());

        // The error page's close button calls client.close(): the dialog goes
        // away, and page script hears of it first.
        QSignalSpy closing(browser->findChild<JavascriptInterface*>(), &JavascriptInterface::closeEvent);
        WebTest::run(browser->page(), QStringLiteral("document.getElementById('closeButton').click()"));
        QTRY_VERIFY_WITH_TIMEOUT(browser.isNull(), 5000);
        QCOMPARE(closing.size(), 1);
    }
};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    QApplication app(argc, argv);
    TestWebPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_webpage.moc"
