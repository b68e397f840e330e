// The web views under a hostile web host, with the program's log: 1,000
// alerts, confirms and prompts from another host's page and as many from its
// frame in the service's hidden page, 1,000 console errors of 1 MB from a
// tournament's page, the service's page sending as many messages just under
// the channel's bound as it can in 10 s, and another host's page that sends the service's
// address a navigation that brings no document and reaches for the channel's
// transport to send 30 messages of 60 MB, and the service's page sending 5 of
// them through its own channel. Goals: no box, the longest turn of the event
// loop under 100 ms (beside the same view with a plain page), the log grown
// by less than 64 KB, nothing sent to the page's server; and the Start page
// with a partner's picture that never comes: the call of a click 1 s after
// its text shows reaches the program within 1 s (beside the page without it).
// A page's turn is judged on the best of up to three runs, each printed; the
// run fails when a goal is missed.

#include "BridgedWebPage.h"
#include "EmbeddedWebPage.h"
#include "HttpTestServer.h"
#include "Logging.h"
#include "MessageBoxWatcher.h"
#include "TournamentInfo.h"
#include "TournamentView.h"
#include "TournamentWindow.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QByteArray consolePage = "<title>Rules</title><script>var m = 'e'.repeat(1 << 20);\n"
                               "for (var i = 0; i < 1000; ++i) console.error('09:00:00.000 [CRIT ] x\\n' + m);\n"
                               "document.title = 'answered';</script>";
const QByteArray reachPage = "<title>Reach</title><script>location.href = 'http://127.0.0.1:PORT/status/204/x';\n"
                             "var start = Date.now(), sent = 0;\n"
                             "(function poll() {\n"
                             "  if (typeof qt !== 'undefined' && qt.webChannelTransport)\n"
                             "    for (var m = 'x'.repeat(60 << 20); sent < 30; ++sent) qt.webChannelTransport.send(m);\n"
                             "  if (sent || Date.now() - start > 3000) document.title = 'answered ' + sent;\n"
                             "  else setTimeout(poll, 5);\n"
                             "})();</script>";
/// For 10 s, as many messages just under the channel's bound as the page can send: half of them no call at all,
/// half a call with an address too long to take.
const QByteArray floodPage = "<title>Flood</title><script>var start = Date.now(), n = 0;\n"
                             "var junk = JSON.stringify({id: 1, args: ['x'.repeat(MAX - 30)]}), address = 'x'.repeat(32769);\n"
                             "(function flood() {\n"
                             "  for (var i = 0; i < 100; ++i, n += 2) {\n"
                             "    document.dispatchEvent(new CustomEvent('clientbridgeout', {detail: junk}));\n"
                             "    try { client.launchBrowser(address); } catch (e) {} // refused past the bound: go on\n"
                             "  }\n"
                             "  if (Date.now() - start < 10000) setTimeout(flood, 0); else document.title = 'sent ' + n;\n"
                             "})();</script>";
const QByteArray sendPage = "<title>Send</title><script>function send() {\n"
                            "  for (var i = 0, m = 'x'.repeat(60 << 20); i < 5; ++i) client.launchBrowser(m);\n"
                            "  document.title = 'answered ' + i;\n"
                            "}\n"
                            "if (window.client) send(); else document.addEventListener('clientready', send);</script>";

/// The longest turn of the event loop in ms from the load until the view's
/// title says (or begins to say) the page is done.
double longestTurn(QWebEngineView* view, const std::function<void()>& load, const QString& done)
{
    qint64 longest = 0;
    QElapsedTimer turn;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, turn.restart()); });
    turn.start();
    tick.start(5);
    load();
    QDeadlineTimer deadline(120000);
    while (!view->title().startsWith(done) && !deadline.hasExpired())
        QTest::qWait(20);
    QTest::qWait(300); // what the page says as it ends
    return double(longest);
}

/// The ms from a click on "Help pages" 1 s after the page's text shows until its call reaches the program, or -1.
double clickToCall(EmbeddedWebPage& view, const QString& address)
{
    QSignalSpy calls(&view, &EmbeddedWebPage::launchBrowser);
    view.load(QUrl(address));
    const QString shown = address + QStringLiteral(" shown");
    QDeadlineTimer deadline(30000);
    while (WebTest::run(view.page(), QStringLiteral("location.href + (document.readyState === 'loading' ? '' : ' shown')"))
               .toString()
            != shown
        && !deadline.hasExpired())
        QTest::qWait(10);
    QTest::qWait(1000);
    QElapsedTimer clicked;
    clicked.start();
    WebTest::click(view.view(), "help");
    return calls.wait(5000) ? double(clicked.elapsed()) : -1;
}

}

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    QApplication app(argc, argv);
    Logging::minLogLevel = 0; // debug lines too
    Logging::openLogFile();
    qInstallMessageHandler(Logging::messageHandler);
    HttpTestServer server;
    const QByteArray port = QByteArray::number(server.serverPort());
    server.setFile(QStringLiteral("boxes.html"), WebTest::boxesPage);
    server.setFile(QStringLiteral("framed.html"),
        QByteArray(WebTest::framedPage).replace("PORT", port).replace("boxes.html", "boxes.html#1000"));
    server.setFile(QStringLiteral("console.html"), consolePage);
    server.setFile(QStringLiteral("reach.html"), QByteArray(reachPage).replace("PORT", port));
    server.setFile(QStringLiteral("plain.html"), "<title>plain</title><p>Rules of the cup.</p>");
    server.setFile(QStringLiteral("send.html"), sendPage);
    server.setFile(QStringLiteral("flood.html"),
        QByteArray(floodPage).replace("MAX", QByteArray::number(BridgedWebPage::maxMessageLength)));
    for (const char* file : {"style.css", "jquery.min.js", "libclient.js", "welcome.html"}) {
        QFile local(QStringLiteral(":/default/www/") + QLatin1String(file));
        local.open(QIODevice::ReadOnly);
        server.setFile(QLatin1String(file), local.readAll());
    }
    QFile start(QStringLiteral(":/default/www/welcome.html"));
    start.open(QIODevice::ReadOnly);
    server.setFile(QStringLiteral("partner.html"),
        start.readAll().replace("<body>", "<body><img src=\"http://localhost:" + port + "/hang/partner.png\">"));
    WebSchemes::setServiceWebHost(server.base().mid(7));
    const QString other = QStringLiteral("http://localhost:%1/").arg(server.serverPort());

    MessageBoxWatcher boxes;
    EmbeddedWebPage shown(nullptr), hidden(nullptr);
    shown.show();
    TournamentInfo cup;
    cup.tournamentId = 1;
    TournamentWindow tournament(cup, nullptr);
    tournament.show();
    const auto page = [](EmbeddedWebPage& view, const QString& address) { return [&view, address] { view.load(QUrl(address)); }; };
    const auto info = [&tournament](const QString& address) {
        return [&tournament, address] {
            TournamentInfo changed = tournament.tournamentInfo();
            changed.infoUrl = QUrl(address);
            tournament.tournamentInfoUpdate(changed);
        };
    };
    const struct {
        const char* what;
        QWebEngineView* view;
        std::function<void()> hostile, plain;
        const char* answer;
    } cases[] = {
        {"1,000 of each box of another host's page", shown.view(), page(shown, other + "boxes.html#1000"),
         page(shown, other + "plain.html"), "answered 0 0"},
        {"as many of its frame in the service's hidden page", hidden.view(), page(hidden, server.base() + "/framed.html"),
         page(hidden, server.base() + "/plain.html"), "answered 0 0"},
        {"1,000 console errors of a tournament's page", tournament.view()->webView, info(other + "console.html"),
         info(other + "plain.html"), "answered"},
        {"30 channel messages of 60 MB from another host", shown.view(), page(shown, other + "reach.html"),
         page(shown, other + "plain.html"), "answered 0"},
        {"5 channel messages of 60 MB from the service's page", shown.view(), page(shown, server.base() + "/send.html"),
         page(shown, server.base() + "/plain.html"), "answered 5"},
        {"the service's page's messages just under the bound, 10 s", shown.view(), page(shown, server.base() + "/flood.html"),
         page(shown, server.base() + "/plain.html"), nullptr},
    };
    bool met = true;
    const qint64 logBefore = QFileInfo(Logging::logFilePath()).size();
    std::printf("web pages: longest turn of the event loop, goal under 100 ms, beside the same view with a plain page\n");
    for (const auto& c : cases) {
        // A page that misses the goal is loaded again, up to three times, and judged on its best run: a stall of
        // the page's making comes back every time, a turn the machine took away once does not. Each run is shown.
        const QString done = c.answer ? QLatin1String(c.answer) : QLatin1String("sent ");
        double plain = 0, hostile = 1e9;
        qint64 logged = 0;
        bool answered = true;
        QStringList runs;
        for (int run = 0; run < 3 && hostile >= 100; ++run) {
            plain = longestTurn(c.view, c.plain, QStringLiteral("plain"));
            const qint64 before = QFileInfo(Logging::logFilePath()).size();
            const double turn = longestTurn(c.view, c.hostile, done);
            hostile = std::min(hostile, turn);
            runs << QString::number(turn, 'f', 1);
            logged = std::max(logged, QFileInfo(Logging::logFilePath()).size() - before);
            answered = answered && (c.answer ? c.view->title() == done : c.view->title().size() > done.size());
        }
        std::printf("  %-50s %6.1f ms (%.2f of the goal; runs %s ms) beside %6.1f ms (%.2fx); log +%lld bytes; \"%s\"\n",
            c.what, hostile, hostile / 100, qPrintable(runs.join(QLatin1String(", "))), plain, hostile / std::max(plain, 1.0),
            logged, qPrintable(c.view->title()));
        met = met && hostile < 100 && answered;
    }
    const double plainCall = clickToCall(shown, server.base() + QStringLiteral("/welcome.html"));
    const double partnerCall = clickToCall(shown, server.base() + QStringLiteral("/partner.html"));
    std::printf("  the Start page's click 1 s after its text shows, a partner's picture never coming: its call after "
                "%.0f ms (%.2f of the goal of 1 s) beside %.0f ms without the picture (%.2fx)\n",
        partnerCall, partnerCall / 1000, plainCall, partnerCall / std::max(plainCall, 1.0));
    met = met && partnerCall >= 0 && partnerCall < 1000;
    const qint64 grown = QFileInfo(Logging::logFilePath()).size() - logBefore;
    const bool leaked = server.requests().join(u'\n').contains(QLatin1String("/leak"));
    std::printf("  log grown by %lld bytes with the plain pages, goal under 64 KB: %.2f of the goal\n", grown,
        grown / 65536.0);
    std::printf("  boxes shown: %lld, goal none; prompt answers sent to the page's server: %s, goal none\n",
        qint64(boxes.seen.size()), leaked ? "some" : "none");
    met = met && grown < 65536 && boxes.seen.isEmpty() && !leaked;
    std::printf("web pages: %s\n", met ? "every goal met" : "a goal missed");
    qInstallMessageHandler(nullptr);
    return met ? 0 : 1;
}
