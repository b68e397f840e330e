// The program's web page: what a page may say (console, boxes) and where it
// may go, and the channel that publishes the program object to the pages it
// trusts.
#include "BridgedWebPage.h"

#include "JavascriptInterface.h"
#include "ProtocolValues.h"
#include "WebSchemes.h"

#include <QCoreApplication>
#include <QFile>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace {

/// Script run at the start of every top document of a page with an object:
/// the program's own page script then waits for the document event
/// "clientready" instead of taking the program for an ordinary browser. Only
/// a document the program trusts ever gets the event.
const char pendingScript[] = "window.__clientPending = true;";

/// Run once the program has handed the channel's transport to a trusted
/// document that is there: sets up window.client and announces it. The
/// transport may reach the document a moment after this script does.
QString connectScript()
{
    static const QString script = [] {
        QFile f(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        QString channelJs;
        if (f.open(QIODevice::ReadOnly))
            channelJs = QString::fromUtf8(f.readAll());
        else
            qWarning().noquote() << "qwebchannel.js not found; pages cannot reach the program";
        return QStringLiteral("(function() {\n") + channelJs
            + QStringLiteral(
                "\n  var tries = 0;\n"
                "  (function connect() {\n"
                "    if (typeof qt === 'undefined' || !qt.webChannelTransport) {\n"
                "      if (++tries < 200) setTimeout(connect, 10);\n"
                "      return;\n"
                "    }\n"
                "    new QWebChannel(qt.webChannelTransport, function(channel) {\n"
                "      window.client = channel.objects.client;\n"
                "      window.__clientPending = false;\n"
                "      document.dispatchEvent(new Event('clientready'));\n"
                "    });\n"
                "  })();\n"
                "})();\n");
    }();
    return script;
}

/// What of a page's console text goes into one log line.
constexpr qsizetype consoleTextChars = 300;
constexpr qsizetype consoleSourceChars = 120;

/// The page's text on one line, cut short: a page's line feed must not
/// start a line of its own that looks like the program's.
QString oneLine(const QString& text, qsizetype chars)
{
    QString line = text.left(chars + 1);
    if (line.size() > chars) {
        line.truncate(line.at(chars - 1).isHighSurrogate() ? chars - 1 : chars);
        line += QStringLiteral("...");
    }
    return singleLine(std::move(line));
}

/// The engine asks this of the page before it leaves a document that wants
/// to keep the player.
QString leaveQuestion()
{
    return QCoreApplication::translate("QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

}

bool BridgedWebPage::LineBudget::take(const char* what)
{
    if (!window.isValid() || window.hasExpired(windowMs)) {
        if (leftOut > 0)
            qDebug().noquote() << "js:" << leftOut << what << "of the page left out";
        window.start();
        used = 0;
        leftOut = 0;
    }
    if (used >= lines) {
        ++leftOut;
        return false;
    }
    ++used;
    return true;
}

BridgedWebPage::BridgedWebPage(JavascriptInterface* object_, QObject* parent)
    : QWebEnginePage(parent)
    , object(object_)
{
    WebSchemes::installHandlers(profile());
    // Never hand unknown schemes to the desktop.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    connect(this, &QWebEnginePage::loadingChanged, this, &BridgedWebPage::onLoadingChanged);
    // A redirect or a script navigation may change the address without
    // asking: a document at another address may be there.
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl& address) {
        if (!WebSchemes::isTrustedPage(address)) {
            trustedDocument = false;
            closeBridge();
        }
    });
    if (!object)
        return;
    object->setGate([this] { return bridgeOpen && WebSchemes::isTrustedPage(url()); });

    QWebEngineScript bootstrap;
    bootstrap.setName(QStringLiteral("client-bootstrap"));
    bootstrap.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bootstrap.setWorldId(QWebEngineScript::MainWorld);
    bootstrap.setRunsOnSubFrames(false);
    bootstrap.setSourceCode(QString::fromLatin1(pendingScript));
    scripts().insert(bootstrap);

    // The channel always stays attached (taking it away from a page while it
    // navigates is not safe). While no trusted document is there it waits
    // in an isolated script world that page script cannot reach. The engine
    // hands the transport to the script world it is told at once, in the
    // document shown if that world has begun there, else in the next
    // document: it is moved only with a trusted document there.
    channel = new QWebChannel(this);
    setWebChannel(channel, QWebEngineScript::ApplicationWorld);
}

BridgedWebPage::~BridgedWebPage()
{
    *alive = false;
    if (object)
        object->setGate([] { return false; });
}

void BridgedWebPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    // Which document is there, whatever address a navigation under way
    // shows: the one of a load that succeeded while no other was asked for,
    // or the one before a load that brought none (a 204 answer, a download,
    // a stop), unless an error page took its place.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        trustedDocument = !info.isErrorPage() && url() == info.url() && WebSchemes::isTrustedPage(info.url());
    else if (info.isErrorPage())
        trustedDocument = false;
    openBridge();
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
        Q_EMIT loadEnded(true);
    else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        Q_EMIT loadEnded(false);
    else
        Q_EMIT loadEnded(!url().isEmpty() && url() != QUrl(QStringLiteral("about:blank")));
}

bool BridgedWebPage::showsTrustedDocument() const
{
    return trustedDocument && WebSchemes::isTrustedPage(url());
}

void BridgedWebPage::openBridge()
{
    if (!object || bridgeOpen || !showsTrustedDocument())
        return;
    // The document itself says where it is from, in the isolated world,
    // whose script context this begins in it: the transport moves from
    // there into the page's own world, of this document only.
    const quint64 asked = ++bridgeGeneration;
    runJavaScript(QStringLiteral("location.href"), QWebEngineScript::ApplicationWorld,
        [this, asked, alive = alive](const QVariant& address) {
            if (!*alive || asked != bridgeGeneration || bridgeOpen || !showsTrustedDocument()
                || !WebSchemes::isTrustedPage(QUrl(address.toString())))
                return;
            // Three locks: the object is only on the channel from the end
            // of a trusted document's load until the next navigation, the
            // transport reaches the page's own script world only then, and
            // the object refuses calls from foreign pages. A channel of its
            // own for each document: one that has had clients takes a new
            // object only with a warning.
            bridgeOpen = true;
            auto* fresh = new QWebChannel(this);
            fresh->registerObject(QStringLiteral("client"), object);
            setWebChannel(fresh, QWebEngineScript::MainWorld);
            channel->deleteLater();
            channel = fresh;
            runJavaScript(connectScript(), QWebEngineScript::MainWorld);
            Q_EMIT javaScriptWindowObjectCleared();
        });
}

void BridgedWebPage::closeBridge()
{
    ++bridgeGeneration;
    if (!bridgeOpen || !object)
        return;
    bridgeOpen = false;
    channel->deregisterObject(object);
    setWebChannel(channel, QWebEngineScript::ApplicationWorld);
}

void BridgedWebPage::open(const QUrl& url)
{
    // The document shown may stay for a while yet, or for good when the
    // navigation never ends: the object leaves it now.
    closeBridge();
    load(url);
}

bool BridgedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme().compare(QLatin1String(WebSchemes::clientScheme), Qt::CaseInsensitive) == 0) {
        // A request to the program, from the document of a page it trusts;
        // a frame inside it is not that document.
        if (isMainFrame && showsTrustedDocument())
            Q_EMIT clientLinkClicked(url.toString());
        return false;
    }
    if (!QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame))
        return false;
    if (isMainFrame)
        closeBridge();
    return true;
}

void BridgedWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
    int lineNumber, const QString& sourceID)
{
    // Any page decides how much it says: its messages are for debugging
    // only, each on one short line, and only so many of them in a while.
    Q_UNUSED(level)
    if (console.take("console messages"))
        qDebug().noquote() << "js:" << oneLine(sourceID, consoleSourceChars) << lineNumber
                           << oneLine(message, consoleTextChars);
}

void BridgedWebPage::noteDialog(const char* kind, const QUrl& origin, const QString& text)
{
    // A box of the page would hold the whole program (the engine shows them
    // application modal) and could pass for one of the program's own.
    if (dialogs.take("boxes"))
        qDebug().noquote() << "js:" << kind << "box of" << oneLine(origin.toString(), consoleSourceChars)
                           << "not shown:" << oneLine(text, consoleTextChars);
}

void BridgedWebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    noteDialog("an alert", securityOrigin, msg);
}

bool BridgedWebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    // Leaving is what the player or the program asked for.
    if (msg == leaveQuestion())
        return true;
    noteDialog("a confirm", securityOrigin, msg);
    return false;
}

bool BridgedWebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString&, QString*)
{
    noteDialog("a prompt", securityOrigin, msg);
    return false;
}
