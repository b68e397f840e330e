#include "LocalPageSchemeHandler.h"

#include "ResourceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QWebEngineUrlRequestJob>

LocalPageSchemeHandler::LocalPageSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
{
}

QByteArray LocalPageSchemeHandler::mimeType(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return "text/html";
    if (suffix == QLatin1String("js"))
        return "application/javascript";
    if (suffix == QLatin1String("css"))
        return "text/css";
    if (suffix == QLatin1String("png"))
        return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "image/jpeg";
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    if (suffix == QLatin1String("svg"))
        return "image/svg+xml";
    return "application/octet-stream";
}

void LocalPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QString path = job->requestUrl().path(QUrl::FullyDecoded);
    // Only files below the local page folders: no way up and out of them.
    if (path.isEmpty() || path.split(QLatin1Char('/')).contains(QLatin1String(".."))) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    const QString name = QStringLiteral("localwww:") + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
    auto* file = new QFile(job);
    if (!ResourceFile::open(name, *file)) {
        delete file;
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(mimeType(path), file);
}

ClientLinkSchemeHandler::ClientLinkSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
{
}

void ClientLinkSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
}

PageBridgeSchemeHandler::PageBridgeSchemeHandler(Answer answer_, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
    , answer(answer_)
{
}

void PageBridgeSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    if (answer != nullptr)
        answer(job);
    else
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
}
