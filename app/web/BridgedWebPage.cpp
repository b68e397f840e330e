#include "BridgedWebPage.h"

#include "JavascriptInterface.h"
#include "WebSchemes.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace {

/// Script run at the start of every document: when the program has opened
/// the channel to this document, it sets up window.client and announces it
/// with the document event "clientready". Other documents see nothing.
QString bootstrapScript()
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
                   "  if (typeof qt === 'undefined' || !qt.webChannelTransport) return;\n"
                   "  window.__clientPending = true;\n")
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
    bootstrap.setSourceCode(bootstrapScript());
    scripts().insert(bootstrap);

    // Never hand unknown schemes to the desktop.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    // The channel always stays attached (taking it away from a page while it
    // navigates is not safe); a page that may not use it gets it only in an
    // isolated script world that page script cannot reach.
    setWebChannel(channel, QWebEngineScript::ApplicationWorld);

    // A redirect or a script navigation may change the address without asking.
    connect(this, &QWebEnginePage::urlChanged, this, &BridgedWebPage::updateBridge);
}

BridgedWebPage::~BridgedWebPage()
{
    if (object)
        object->setGate([] { return false; });
}

void BridgedWebPage::updateBridge(const QUrl& url)
{
    const bool trusted = WebSchemes::isTrustedPage(url);
    if (trusted == bridgeOpen)
        return;
    bridgeOpen = trusted;
    // Three locks: the object is only registered on the channel while a page
    // that may use it is shown (a foreign page that reaches the channel finds
    // no objects), the transport lives in a script world that foreign page
    // script cannot see, and the object refuses calls from foreign pages.
    if (trusted && object) {
        if (!channel->registeredObjects().contains(QStringLiteral("client")))
            channel->registerObject(QStringLiteral("client"), object);
    } else if (object) {
        channel->deregisterObject(object);
    }
    setWebChannel(channel, trusted ? QWebEngineScript::MainWorld : QWebEngineScript::ApplicationWorld);
    if (trusted)
        Q_EMIT javaScriptWindowObjectCleared();
}

bool BridgedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (url.scheme().compare(QLatin1String(WebSchemes::clientScheme), Qt::CaseInsensitive) == 0) {
        Q_EMIT clientLinkClicked(url.toString());
        return false;
    }
    if (isMainFrame)
        updateBridge(url);
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void BridgedWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
    int lineNumber, const QString& sourceID)
{
    // Page script errors end up in the program's log, not on a console nobody reads.
    if (level == ErrorMessageLevel)
        qWarning().noquote() << "js:" << sourceID << lineNumber << message;
    else
        qDebug().noquote() << "js:" << sourceID << lineNumber << message;
}
