#include "WebSchemes.h"

#include "LocalPageSchemeHandler.h"

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
        client.setFlags(QWebEngineUrlScheme::LocalScheme);
        QWebEngineUrlScheme::registerScheme(client);
    }
}

void WebSchemes::installHandlers(QWebEngineProfile* profile)
{
    if (!profile->urlSchemeHandler(localScheme))
        profile->installUrlSchemeHandler(localScheme, new LocalPageSchemeHandler(profile));
    if (!profile->urlSchemeHandler(clientScheme))
        profile->installUrlSchemeHandler(clientScheme, new ClientLinkSchemeHandler(profile));
}

void WebSchemes::setServiceWebHost(const QString& host)
{
    webHost() = host;
}

QString WebSchemes::serviceWebHost()
{
    return webHost();
}

bool WebSchemes::isTrustedPage(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String(localScheme))
        return true;
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    return !webHost().isEmpty() && url.host().compare(webHost(), Qt::CaseInsensitive) == 0;
}
