#include "VersionChecker.h"

#include "VersionList.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QXmlStreamReader>

VersionChecker::VersionChecker(QObject* parent)
    : QObject(parent)
    , http(new QNetworkAccessManager(this))
    , timer(new QTimer(this))
{
    qRegisterMetaType<VersionCheckerResult>("VersionCheckerResult");
    timer->setSingleShot(true);
    timer->setInterval(defaultTimeoutMs);
    connect(timer, &QTimer::timeout, this, &VersionChecker::onTimeout);
}

VersionChecker::~VersionChecker()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
}

void VersionChecker::setTimeout(int ms)
{
    timer->setInterval(ms);
}

void VersionChecker::setUrl(const QUrl& url)
{
    listUrl = url;
}

void VersionChecker::setSystemInfo(const system_info_t& s)
{
    systemInfo = s;
}

void VersionChecker::check()
{
    Q_EMIT started();

    if (systemInfo.platform == platform_t::unknown) {
        qDebug().noquote() << "won't look for new client version for unknown platform";
        Q_EMIT finished(NoNewVersion);
        return;
    }

    qDebug().noquote() << "checking" << listUrl.toString() << "for new client version...";

    if (reply) {
        // The request still running ends as failed; then a new one starts.
        QNetworkReply* old = reply;
        reply = nullptr;
        old->disconnect(this);
        old->abort();
        old->deleteLater();
        timer->stop();
        Q_EMIT finished(VersionCheckFailed);
    }

    QUrl target = listUrl;
    target.setScheme(QStringLiteral("http"));
    target.setQuery(QString());
    target.setFragment(QString());
    if (target.port() == -1)
        target.setPort(80);
    QNetworkRequest request(target);
    // A redirect is an answer other than 200 like any other.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);

    aborted = false;
    timedOut = false;
    reply = http->get(request);
    connect(reply, &QNetworkReply::metaDataChanged, this, &VersionChecker::headersComplete);
    connect(reply, &QNetworkReply::finished, this, &VersionChecker::requestComplete);
    timer->start();
}

void VersionChecker::headersComplete()
{
    if (!reply || aborted)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    if (status.toInt() != 200) {
        qDebug().noquote() << "failed:" << status.toInt()
                 << reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        aborted = true;
        // Aborting from inside the reply's own header signal upsets it: on return.
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    }
}

void VersionChecker::onTimeout()
{
    if (!reply)
        return;
    qDebug().noquote() << "failed: no complete answer within" << timer->interval() << "ms";
    timedOut = true;
    aborted = true;
    reply->abort();
}

void VersionChecker::requestComplete()
{
    QNetworkReply* done = qobject_cast<QNetworkReply*>(sender());
    if (!done || done != reply)
        return;
    timer->stop();
    reply = nullptr;
    done->deleteLater();

    if (done->error() != QNetworkReply::NoError || aborted) {
        if (!aborted)
            qDebug().noquote() << "failed:" << done->errorString();
        finishWith(VersionCheckFailed);
        return;
    }
    // A status other than 200 that came with the finished reply at once.
    const int status = done->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        qDebug().noquote() << "failed:" << status << done->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        finishWith(VersionCheckFailed);
        return;
    }
    const QByteArray body = done->readAll();
    if (body.isEmpty()) {
        qDebug().noquote() << "got empty reply for" << listUrl.toString();
        finishWith(VersionCheckFailed);
        return;
    }
    evaluate(body);
}

void VersionChecker::evaluate(const QByteArray& body)
{
    VersionList list;
    try {
        QXmlStreamReader reader(body);
        list = parseVersionList(reader);
    } catch (const parse_error& e) {
        qWarning().noquote() << e.what();
        finishWith(VersionCheckFailed);
        return;
    }

    const QString platform = systemInfo.platformText();
    const QString os = systemInfo.osText();
    const QString osVersion = systemInfo.osVersionText();
    qDebug().noquote() << "checking for new client with config," << "platform:" << platform << "os:" << os
             << "version:" << osVersion;

    // findMatchingOs: the first entry of the base that fits decides.
    const os_entry_t* match = nullptr;
    for (const os_entry_t& entry : list.entries(platform)) {
        if (entry.name == os && (entry.version.isEmpty() || entry.version == osVersion)) {
            match = &entry;
            break;
        }
    }
    if (!match) {
        qDebug().noquote() << "found no matching os for" << platform << os << osVersion;
        finishWith(NoNewVersion);
        return;
    }

    // findNewerClient
    const client_entry_t client = list.clients.value(match->clientid);
    if (!(client.version > clientVersion)) {
        qDebug().noquote() << "no new client version found";
        finishWith(NoNewVersion);
        return;
    }

    qDebug().noquote() << "new client version found";
    QUrl link;
    if (client.url.startsWith(QLatin1Char('/'))) {
        link.setScheme(QStringLiteral("http"));
        link.setHost(listUrl.host());
        link.setPort(listUrl.port(80));
        link.setPath(client.url);
    } else {
        link = QUrl(client.url);
    }
    finishWith(NewVersionAvailable, client.description, link, client.required);
}

void VersionChecker::finishWith(VersionCheckerResult result, const QString& description, const QUrl& link, bool required)
{
    Q_EMIT finished(result, description, link, required);
}
