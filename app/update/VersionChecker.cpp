#include "VersionChecker.h"

#include "VersionList.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace {

/// What the worker thread hands back: the list, or the parse error's text.
struct ParseOutcome
{
    VersionList list;
    QString error;
};

ParseOutcome parseOnWorker(const QByteArray& body)
{
    ParseOutcome outcome;
    try {
        QXmlStreamReader reader(body);
        outcome.list = parseVersionList(reader);
    } catch (const parse_error& e) {
        outcome.error = QString::fromStdString(e.what());
    }
    return outcome;
}

}

VersionChecker::VersionChecker(QObject* parent)
    : QObject(parent)
    , http(new QNetworkAccessManager(this))
    , timer(new QTimer(this))
    , connectTimer(new QTimer(this))
{
    qRegisterMetaType<VersionCheckerResult>("VersionCheckerResult");
    timer->setSingleShot(true);
    timer->setInterval(defaultTimeoutMs);
    connect(timer, &QTimer::timeout, this, &VersionChecker::onTimeout);
    connectTimer->setSingleShot(true);
    connectTimer->setInterval(connectTimeoutMs);
    connect(connectTimer, &QTimer::timeout, this, &VersionChecker::onConnectTimeout);
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

    ++generation;
    if (reply || parsing) {
        // The check still running ends as failed; then a new one starts.
        if (QNetworkReply* old = reply) {
            reply = nullptr;
            old->disconnect(this);
            old->abort();
            old->deleteLater();
        }
        parsing = false;
        timer->stop();
        connectTimer->stop();
        Q_EMIT finished(VersionCheckFailed);
    }
    body.clear();

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
    // Taken out as it arrives, so that the reply never holds more than this.
    reply->setReadBufferSize(256 * 1024);
    connect(reply, &QNetworkReply::metaDataChanged, this, &VersionChecker::headersComplete);
    connect(reply, &QNetworkReply::readyRead, this, &VersionChecker::bodyArrived);
    connect(reply, &QNetworkReply::finished, this, &VersionChecker::requestComplete);
    const QString host = target.host();
    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this, host] { Q_EMIT connecting(host); });
    connect(reply, &QNetworkReply::requestSent, this, [this, host] {
        // Connected: from here only the whole check's limit applies.
        connectTimer->stop();
        Q_EMIT requestSent(host);
    });
    timer->start();
    connectTimer->start();
}

bool VersionChecker::tooLarge(qint64 size)
{
    if (size <= maxListSize)
        return false;
    qDebug().noquote() << "failed: version list larger than" << maxListSize << "bytes";
    aborted = true;
    body.clear();
    // Not from inside the reply's own signal: on return.
    if (reply)
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    return true;
}

void VersionChecker::bodyArrived()
{
    if (!reply || aborted)
        return;
    body += reply->read(maxListSize + 1 - body.size());
    tooLarge(body.size() + reply->bytesAvailable());
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
        return;
    }
    // A length announced beyond the limit is refused before any of it is read.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid())
        tooLarge(length.toLongLong());
}

void VersionChecker::onTimeout()
{
    if (parsing) {
        // The list arrived but reading it took the rest of the time: the
        // worker's outcome is dropped when it comes.
        qDebug().noquote() << "failed: no complete answer within" << timer->interval() << "ms";
        parsing = false;
        ++generation;
        finishWith(VersionCheckFailed);
        return;
    }
    if (!reply)
        return;
    qDebug().noquote() << "failed: no complete answer within" << timer->interval() << "ms";
    timedOut = true;
    aborted = true;
    reply->abort();
}

void VersionChecker::onConnectTimeout()
{
    if (!reply)
        return;
    qDebug().noquote() << "failed: no connection to" << reply->url().host() << "within" << connectTimer->interval()
                       << "ms";
    timedOut = true;
    aborted = true;
    reply->abort();
}

void VersionChecker::requestComplete()
{
    QNetworkReply* done = qobject_cast<QNetworkReply*>(sender());
    if (!done || done != reply)
        return;
    reply = nullptr;
    connectTimer->stop();
    done->deleteLater();

    if (!aborted && done->error() == QNetworkReply::NoError) {
        body += done->read(maxListSize + 1 - body.size());
        tooLarge(body.size() + done->bytesAvailable());
    }
    if (done->error() != QNetworkReply::NoError || aborted) {
        timer->stop();
        if (!aborted)
            qDebug().noquote() << "failed:" << done->errorString();
        body.clear();
        finishWith(VersionCheckFailed);
        return;
    }
    // A status other than 200 that came with the finished reply at once.
    const int status = done->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        timer->stop();
        qDebug().noquote() << "failed:" << status << done->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        body.clear();
        finishWith(VersionCheckFailed);
        return;
    }
    if (body.isEmpty()) {
        timer->stop();
        qDebug().noquote() << "got empty reply for" << listUrl.toString();
        finishWith(VersionCheckFailed);
        return;
    }
    // The timer keeps running: the limit covers the reading of the list too.
    startParse(std::exchange(body, QByteArray()));
}

void VersionChecker::startParse(const QByteArray& listBody)
{
    parsing = true;
    const quint64 mine = generation;
    auto* watcher = new QFutureWatcher<ParseOutcome>(this);
    connect(watcher, &QFutureWatcher<ParseOutcome>::finished, this, [this, watcher, mine] {
        watcher->deleteLater();
        if (mine != generation || !parsing)
            return; // a newer check or the time limit ended this one
        parsing = false;
        timer->stop();
        const ParseOutcome outcome = watcher->result();
        if (!outcome.error.isEmpty()) {
            qWarning().noquote() << outcome.error;
            finishWith(VersionCheckFailed);
            return;
        }
        evaluate(outcome.list);
    });
    watcher->setFuture(QtConcurrent::run(parseOnWorker, listBody));
}

void VersionChecker::evaluate(const VersionList& list)
{

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
