#pragma once

#include "SystemInfo.h"
#include "VersionCheckerResult.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
struct VersionList;
class QNetworkReply;
class QTimer;

/// Asks the service's web server whether a newer client exists for this
/// system. Fetches the version list once per check() and reports the outcome
/// exactly once through finished().
class VersionChecker : public QObject
{
    Q_OBJECT

public:
    /// A check that has no complete answer after this long ends as failed, so
    /// that start-up never waits on a silent server. Reading the list counts
    /// towards it.
    static constexpr int defaultTimeoutMs = 15000;
    /// A check whose connection to the web host is not made after this long
    /// ends as failed at once: a host that drops the attempt (behind a
    /// captive portal, say) must not hold the start for the whole limit.
    static constexpr int connectTimeoutMs = 5000;
    /// A reply body longer than this ends the check as failed: the list comes
    /// over plain HTTP, and an endless answer must not fill the memory.
    static constexpr qint64 maxListSize = 4 * 1024 * 1024;

    explicit VersionChecker(QObject* parent = nullptr);
    ~VersionChecker() override;

    QUrl url() const { return listUrl; }
    void setTimeout(int ms);

Q_SIGNALS:
    /// At the beginning of every check().
    void started();
    /// The connection to the web host (named) is being made.
    void connecting(const QString& host);
    /// The request went out on the made connection; the answer is awaited.
    void requestSent(const QString& host);
    /// Once for every check that comes to an end. Description, link and
    /// required are only set with NewVersionAvailable.
    void finished(VersionCheckerResult result, const QString& description = QString(),
        const QUrl& link = QUrl(), bool required = false);

public Q_SLOTS:
    void setUrl(const QUrl& url);
    void setSystemInfo(const system_info_t& s);
    void check();

private Q_SLOTS:
    void headersComplete();
    void bodyArrived();
    void requestComplete();
    void onTimeout();
    void onConnectTimeout();

private:
    void finishWith(VersionCheckerResult result, const QString& description = QString(),
        const QUrl& link = QUrl(), bool required = false);
    /// Stops the download when the body has grown past maxListSize.
    bool tooLarge(qint64 size);
    /// Reads the list on a worker thread; the outcome comes back to evaluate().
    void startParse(const QByteArray& body);
    void evaluate(const VersionList& list);

    QUrl listUrl;
    system_info_t systemInfo;
    QNetworkAccessManager* http;
    QPointer<QNetworkReply> reply;
    QByteArray body;
    QTimer* timer;
    /// Runs from the start of a check until its request is sent.
    QTimer* connectTimer;
    /// Counts the checks; a parse that comes back for an older one is dropped.
    quint64 generation = 0;
    /// The list of the current check is being read.
    bool parsing = false;
    bool aborted = false;
    bool timedOut = false;
};
