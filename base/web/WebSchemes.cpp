#include "WebSchemes.h"

#include "LocalPageSchemeHandler.h"

#include <QCoreApplication>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>

namespace {
QString& webHost()
{
    static QString host;
    return host;
}
}

void WebSchemes::registerSchemes()
{
    if (QWebEngineUrlScheme::schemeByName(localScheme).name().isEmpty()) {
        QWebEngineUrlScheme local(localScheme);
        local.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        // Local pages may not be framed or fetched by pages from the network.
        local.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
            | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(local);
    }
    if (QWebEngineUrlScheme::schemeByName(clientScheme).name().isEmpty()) {
        QWebEngineUrlScheme client(clientScheme);
        client.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        // Not a local scheme: the engine would refuse its links on the
        // service's http pages before the page could pass them on. Its loads
        // always fail (ClientLinkSchemeHandler).
        client.setFlags({});
        QWebEngineUrlScheme::registerScheme(client);
    }
    // The program's script beside a document asks the program with a
    // request of its own, which the engine lets through only to a scheme
    // the document may reach: the network pages' scheme takes requests of
    // other origins, the local pages' one is local like them. Whoever else
    // reaches them is refused by what answers them for the page they name.
    const auto bridge = [](const char* name, QWebEngineUrlScheme::Flags flags) {
        if (!QWebEngineUrlScheme::schemeByName(name).name().isEmpty())
            return;
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(flags | QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled
            | QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
        QWebEngineUrlScheme::registerScheme(scheme);
    };
    bridge(bridgeScheme, {});
    bridge(localBridgeScheme, QWebEngineUrlScheme::LocalScheme);
}

void WebSchemes::installHandlers(QWebEngineProfile* profile, BridgeAnswer answer)
{
    // A profile serves only schemes known before the application object.
    if (QWebEngineUrlScheme::schemeByName(localScheme).name().isEmpty())
        return;
    if (!profile->urlSchemeHandler(localScheme))
        profile->installUrlSchemeHandler(localScheme, new LocalPageSchemeHandler(profile));
    if (!profile->urlSchemeHandler(clientScheme))
        profile->installUrlSchemeHandler(clientScheme, new ClientLinkSchemeHandler(profile));
    for (const char* bridge : {bridgeScheme, localBridgeScheme})
        if (!profile->urlSchemeHandler(bridge))
            profile->installUrlSchemeHandler(bridge, new PageBridgeSchemeHandler(answer, profile));
}

void WebSchemes::setServiceWebHost(const QString& host)
{
    webHost() = host;
}

QString WebSchemes::serviceWebHost()
{
    return webHost();
}

QString WebSchemes::sandboxProblem(bool runAsRoot, bool disableSandboxSet, const QByteArray& chromiumFlags)
{
    if (!runAsRoot)
        return QString();
    // The engine turns its sandbox off once the variable is set, whatever its value.
    if (disableSandboxSet)
        return QString();
    if (chromiumFlags.split(' ').contains("--no-sandbox"))
        return QString();
    return QCoreApplication::translate("WebSchemes",
                                       "The program runs as root, and its web pages cannot start as root with the "
                                       "browser sandbox on. Start it as an ordinary user, or set "
                                       "QTWEBENGINE_DISABLE_SANDBOX=1.");
}

bool WebSchemes::isTrustedPage(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String(localScheme))
        return true;
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    if (webHost().isEmpty())
        return false;
    // The service's pages are at its web host on the port it names, else on
    // the scheme's own port: another port of the same host is another server.
    const QUrl service(QStringLiteral("http://") + webHost(), QUrl::StrictMode);
    if (!service.isValid() || service.host().isEmpty())
        return false;
    if (url.host().compare(service.host(), Qt::CaseInsensitive) != 0)
        return false;
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return url.port(defaultPort) == service.port(defaultPort);
}
