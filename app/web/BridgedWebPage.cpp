#include "BridgedWebPage.h"

#include "JavascriptInterface.h"
#include "WebSchemes.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace {

/// Script run at the start of every document. The channel's transport is
/// there only in a document that a navigation to a trusted address brought:
/// its own script then waits for the document event "clientready" instead of
/// taking the program for an ordinary browser.
const char pendingScript[] =
    "if (typeof qt !== 'undefined' && qt.webChannelTransport) window.__clientPending = true;";

/// Run once the program has put its object on the channel of a trusted
/// document that is there: sets up window.client and announces it.
QString connectScript()
{
    static const QString script = [] {
        QFile f(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        QString channelJs;
        if (f.open(QIODevice::ReadOnly))
            channelJs = QString::fromUtf8(f.readAll());
        else
            qWarning().noquote() << "qwebchannel.js not found; pages cannot reach the program";
        return QStringLiteral(
                   "(function() {\n"
                   "  if (typeof qt === 'undefined' || !qt.webChannelTransport) return;\n")
            + channelJs
            + QStringLiteral(
                "\n  new QWebChannel(qt.webChannelTransport, function(channel) {\n"
                "    window.client = channel.objects.client;\n"
                "    window.__clientPending = false;\n"
                "    document.dispatchEvent(new Event('clientready'));\n"
                "  });\n"
                "})();\n");
    }();
    return script;
}

/// What of a page's console text goes into one log line.
constexpr qsizetype consoleTextChars = 300;
constexpr qsizetype consoleSourceChars = 120;
/// Console lines of one page per window of time.
constexpr int consoleLinesPerWindow = 20;
constexpr qint64 consoleWindowMs = 10000;

/// The page's text on one line, cut short: a page's line feed must not
/// start a line of its own that looks like the program's.
QString oneLine(const QString& text, qsizetype chars)
{
    QString line = text.left(chars + 1);
    if (line.size() > chars) {
        line.truncate(line.at(chars - 1).isHighSurrogate() ? chars - 1 : chars);
        line += QStringLiteral("...");
    }
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return line;
}

}

BridgedWebPage::BridgedWebPage(JavascriptInterface* object_, QObject* parent)
    : QWebEnginePage(parent)
    , object(object_)
    , channel(new QWebChannel(this))
{
    WebSchemes::installHandlers(profile());
    object->setGate([this] { return bridgeOpen && WebSchemes::isTrustedPage(url()); });

    QWebEngineScript bootstrap;
    bootstrap.setName(QStringLiteral("client-bootstrap"));
    bootstrap.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bootstrap.setWorldId(QWebEngineScript::MainWorld);
    bootstrap.setRunsOnSubFrames(false);
    bootstrap.setSourceCode(QString::fromLatin1(pendingScript));
    scripts().insert(bootstrap);

    // Never hand unknown schemes to the desktop.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    // The channel always stays attached (taking it away from a page while it
    // navigates is not safe); a document that may not use it gets it only in
    // an isolated script world that page script cannot reach.
    channelWorld = QWebEngineScript::ApplicationWorld;
    setWebChannel(channel, channelWorld);

    // The object goes on the channel once a trusted document is there; a
    // redirect or a script navigation may change the address without
    // asking, which only ever takes it off.
    connect(this, &QWebEnginePage::loadFinished, this, [this] { setBridgeOpen(WebSchemes::isTrustedPage(url())); });
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl& address) {
        if (!WebSchemes::isTrustedPage(address))
            setBridgeOpen(false);
    });
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
            Q_EMIT loadEnded(true);
        else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            Q_EMIT loadEnded(false);
        else if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
            Q_EMIT loadEnded(!url().isEmpty() && url() != QUrl(QStringLiteral("about:blank")));
    });
}

BridgedWebPage::~BridgedWebPage()
{
    if (object)
        object->setGate([] { return false; });
}

void BridgedWebPage::setBridgeOpen(bool open)
{
    if (open == bridgeOpen || !object)
        return;
    bridgeOpen = open;
    // Three locks: the object is only on the channel from the end of a
    // trusted document's load until the next navigation (a document that
    // reaches the channel otherwise finds no objects), the transport lives in
    // a script world that foreign page script cannot see, and the object
    // refuses calls from foreign pages.
    if (open) {
        // A channel of its own for each document: one that has had clients
        // takes a new object only with a warning. Only a trusted document
        // gets here; a navigation away that brought none (a 204 answer, a
        // download) may have left the world chosen for a foreign one.
        auto* fresh = new QWebChannel(this);
        fresh->registerObject(QStringLiteral("client"), object);
        channelWorld = QWebEngineScript::MainWorld;
        setWebChannel(fresh, channelWorld);
        channel->deleteLater();
        channel = fresh;
        runJavaScript(connectScript(), QWebEngineScript::MainWorld);
        Q_EMIT javaScriptWindowObjectCleared();
    } else {
        channel->deregisterObject(object);
    }
}

void BridgedWebPage::prepareFor(const QUrl& url)
{
    // The document shown may stay for a while yet, or for good when the
    // navigation never ends: the object leaves it now. The transport is
    // handed to a document as it starts, so its world is chosen for the
    // document to come.
    setBridgeOpen(false);
    channelWorld = WebSchemes::isTrustedPage(url) ? QWebEngineScript::MainWorld : QWebEngineScript::ApplicationWorld;
    setWebChannel(channel, channelWorld);
}

void BridgedWebPage::open(const QUrl& url)
{
    // The engine may make the new document's frame before it asks whether
    // to navigate: the world must be right before the load starts.
    prepareFor(url);
    load(url);
}

bool BridgedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme().compare(QLatin1String(WebSchemes::clientScheme), Qt::CaseInsensitive) == 0) {
        // A request to the program, from the document of a page it trusts;
        // a frame inside it is not that document.
        if (isMainFrame && WebSchemes::isTrustedPage(this->url()))
            Q_EMIT clientLinkClicked(url.toString());
        return false;
    }
    if (!QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame))
        return false;
    if (isMainFrame)
        prepareFor(url);
    return true;
}

void BridgedWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
    int lineNumber, const QString& sourceID)
{
    // Any page decides how much it says: its messages are for debugging
    // only, each on one short line, and only so many of them in a while.
    Q_UNUSED(level)
    if (!consoleWindow.isValid() || consoleWindow.hasExpired(consoleWindowMs)) {
        if (consoleLeftOut > 0)
            qDebug().noquote() << "js:" << consoleLeftOut << "console messages of the page left out";
        consoleWindow.start();
        consoleLines = 0;
        consoleLeftOut = 0;
    }
    if (consoleLines >= consoleLinesPerWindow) {
        ++consoleLeftOut;
        return;
    }
    ++consoleLines;
    qDebug().noquote() << "js:" << oneLine(sourceID, consoleSourceChars) << lineNumber
                       << oneLine(message, consoleTextChars);
}
