#pragma once

#include "MahjongSplash.h"
#include "VersionCheckerResult.h"

#include <QObject>
#include <QPixmap>
#include <QUrl>

#include <vector>

/// Holds the program between the creation of the main window and its first
/// connection: shows the splash for at least 750 ms, pre-loads images for the
/// first game window, waits for the client version check and offers a newer
/// client. Reports finished() once all three are done.
class Startup : public QObject
{
    Q_OBJECT

public:
    static constexpr int minimumSplashMs = 750;
    static constexpr int preloadDelayMs = 100;

    Startup();
    ~Startup() override;

    /// The version list's address: an update that comes from its host may be
    /// installed even over plain HTTP.
    void setVersionListUrl(const QUrl& url) { versionListUrl = url; }

    MahjongSplash& splashScreen() { return splash; }
    /// Says the status line again in the language installed since.
    void retranslate();

Q_SIGNALS:
    /// When the splash has been up long enough, the pre-load has run and the
    /// version check is done (and no offered update was refused).
    void finished(bool success = true);

public Q_SLOTS:
    void clientVersionCheckStarted();
    /// The splash names the web host that the check waits to connect to.
    void clientVersionCheckConnecting(const QString& host);
    /// The splash names the web host whose answer the check waits for.
    void clientVersionCheckSent(const QString& host);
    void clientVersionCheckFinished(VersionCheckerResult result, const QString& text, const QUrl& url, bool required);

private Q_SLOTS:
    void onTimerFinished();
    void onPreloadGameBackground();

private:
    void testCompletion();

    MahjongSplash splash;
    bool timerDone = false;
    bool versionCheckStarted = false;
    bool versionCheckDone = false;
    bool preloadDone = false;
    std::vector<QPixmap> preloadedPixmaps;
    QUrl versionListUrl;
};
