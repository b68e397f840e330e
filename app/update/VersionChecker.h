#pragma once

#include "SystemInfo.h"
#include "VersionCheckerResult.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
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
    /// that start-up never waits on a silent server.
    static constexpr int defaultTimeoutMs = 15000;

    explicit VersionChecker(QObject* parent = nullptr);
    ~VersionChecker() override;

    QUrl url() const { return listUrl; }
    void setTimeout(int ms);

Q_SIGNALS:
    /// At the beginning of every check().
    void started();
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
    void requestComplete();
    void onTimeout();

private:
    void finishWith(VersionCheckerResult result, const QString& description = QString(),
        const QUrl& link = QUrl(), bool required = false);
    void evaluate(const QByteArray& reply);

    QUrl listUrl;
    system_info_t systemInfo;
    QNetworkAccessManager* http;
    QPointer<QNetworkReply> reply;
    QTimer* timer;
    bool aborted = false;
    bool timedOut = false;
};
