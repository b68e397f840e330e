#include "Startup.h"

#include "ClientVersion.h"
#include "NewVersionDialog.h"
#include "PictureFile.h"
#include "TableBackground.h"

#include <QCoreApplication>
#include <QTimer>

Startup::Startup()
{
    // Precise: a coarse timer may end it a twentieth late, or early.
    QTimer::singleShot(minimumSplashMs, Qt::PreciseTimer, this, &Startup::onTimerFinished);
    QTimer::singleShot(preloadDelayMs, this, &Startup::onPreloadGameBackground);
    splash.setMessage(tr("Initializing..."));
    splash.show();
}

Startup::~Startup() = default;

void Startup::retranslate()
{
    if (!versionCheckStarted)
        splash.setMessage(tr("Initializing..."));
}

void Startup::clientVersionCheckStarted()
{
    versionCheckStarted = true;
    splash.setMessage(tr("Checking for updates..."));
}

void Startup::clientVersionCheckConnecting(const QString& host)
{
    splash.setMessage(tr("Checking for updates: connecting to %1...").arg(host));
}

void Startup::clientVersionCheckSent(const QString& host)
{
    splash.setMessage(tr("Checking for updates: waiting for %1...").arg(host));
}

void Startup::clientVersionCheckFinished(VersionCheckerResult result, const QString& text, const QUrl& url, bool required)
{
    if (result == NewVersionAvailable) {
        splash.hide();
        const QString title = QStringLiteral("Quellmark") + QStringLiteral(" - ") + clientVersionString();
        auto* dialog = new NewVersionDialog(nullptr, title, text, url, required);
        dialog->setVersionListUrl(versionListUrl);
        const int accepted = dialog->exec();
        delete dialog;
        if (!accepted) {
            QCoreApplication::exit(0);
            return;
        }
    }
    versionCheckDone = true;
    testCompletion();
}

void Startup::onTimerFinished()
{
    timerDone = true;
    testCompletion();
}

void Startup::onPreloadGameBackground()
{
    // Loads the table's cloth pictures now, so the first table opens quickly.
    gameBackgroundBrush(0, 0);
    const char* const names[] = {
        "resources:score_dialog.png",
        "resources:score_dialog_winning_hand_tab.png",
        "resources:score_dialog_2nd_hand_tab.png",
        "resources:score_dialog_3rd_hand_tab.png",
        "resources:score_dialog_4th_hand_tab.png",
    };
    for (const char* name : names)
        preloadedPixmaps.push_back(PictureFile::pixmap(QString::fromLatin1(name)));
    preloadDone = true;
    testCompletion();
}

void Startup::testCompletion()
{
    if (timerDone && versionCheckDone && preloadDone) {
        Q_EMIT finished(true);
        splash.hide();
    }
}
