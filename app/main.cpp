#include "BuildInfo.h"
#include "ClientVersion.h"
#include "CommandLine.h"
#include "GameSounds.h"
#include "Logging.h"
#include "MahjongApplication.h"
#include "MahjongSplash.h"
#include "MahjongStyle.h"
#include "MainWindow.h"
#include "NewVersionDialog.h"
#include "PictureFile.h"
#include "QuitSignals.h"
#include "SettingsStore.h"
#include "SingleInstanceLock.h"
#include "SoundPlayer.h"
#include "Startup.h"
#include "SystemInfo.h"
#include "TileGraphics.h"
#include "TranslationsManager.h"
#include "VersionChecker.h"
#include "WebSchemes.h"

#include <QDate>
#include <QIcon>
#include <QLoggingCategory>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

int main(int argc, char** argv)
{
    // Past a file size limit (ulimit -f) a write fails like one to a full
    // disk, which every writer survives, instead of ending the program: the
    // log, the settings, the tile cache and the sound library's shared
    // memory alike.
    std::signal(SIGXFSZ, SIG_IGN);

    // 1-2. Defaults, then the command line (ends the process on help or error).
    StartParameters params = StartParameters::defaults();
    parseCommandLine(params.host, params.port, argc, argv, params.user, params.password, params.httpHost, params.lang,
                     params.useSsl, params.install, params.searchPaths);

    // 3. The identity that keys the settings store.
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setOrganizationDomain(QLatin1String(organisationDomain));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7"));
    QCoreApplication::setApplicationVersion(clientVersionString());

    // The web views' own URL schemes ("localwww:", "client://") must be known
    // before the application object exists.
    WebSchemes::registerSchemes();

    // 4. The application object.
    auto app = std::make_unique<MahjongApplication>(argc, argv);

    // The system's requests to end (a desktop's log-out, a kill, Ctrl+C)
    // end the program as Quit does.
    QuitSignals::install();

    // 5-6. The compiled resource trees are linked in and registered at start;
    // the search paths put command-line directories before them.
    setupSearchPaths(params.searchPaths);

    // 7. Install mode: write the tile image cache under the current directory
    // and stop, without log, lock or window.
    if (params.install) {
        TileGraphics::installTilesets();
        app.reset();
        return 0;
    }

    // The lock comes before the log: a second start must never rename or
    // empty the log of the client that is running. Neither lock waits for
    // the disk (RunLockFile).
    const bool locked = SingleInstanceLock::instance().tryLock();

    // 8. The log file and the message handler.
    if (locked) {
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        // The handler drops debug lines below the level; off in their
        // categories too, they are not even formatted (a read of megabytes
        // would be, byte by byte).
        if (Logging::minLogLevel > 0)
            QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        logInfo() << "Session started at" << QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData()
                  << buildIdentification().toUtf8().constData();
    }

    // 13. The start-up mediator: the splash screen is shown as soon as the
    // log can tell of it; what it needs not comes after it: the style, the
    // translation (its status line is said again in it), the main window.
    std::unique_ptr<Startup> startup;
    if (locked)
        startup = std::make_unique<Startup>();

    // 9. Style, style sheets, window icon.
    QApplication::setStyle(new MahjongStyle);
    app->loadStyleSheet();
    QApplication::setWindowIcon(PictureFile::icon(QStringLiteral("resources:/icon.png")));

    // 10. Single instance.
    if (!locked) {
        Logging::showBlockingCritical(
            MahjongApplication::tr("Application Started"),
            MahjongApplication::tr("The application is already started in another window!"));
        app.reset();
        return 1;
    }

    // Before the first settings write (the language's): a lock left by a
    // crash would hold it for half a minute.
    SettingsStore::instance().prepare();

    // 11. The translation.
    auto translations = std::make_unique<TranslationsManager>();
    installTranslation(*translations, params.lang);
    startup->retranslate();

    // Run as root, the browser engine would end the program without a word
    // at its first web page (right after the login): say why, on standard
    // error for a terminal and in a box for a start from a desktop launcher,
    // and leave now.
    const QString sandbox = WebSchemes::sandboxProblem(
        geteuid() == 0, qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"), qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));
    if (!sandbox.isEmpty()) {
        qWarning().noquote() << sandbox;
        startup.reset();
        Logging::reportStartFailure(MahjongApplication::tr("Error"), sandbox);
        translations.reset();
        app.reset();
        return 1;
    }

    // 12. The service's CA file is the only trust of the game-server
    // connection, which loads it itself; every other HTTPS use (update
    // downloads, web pages) keeps the system's trusted roots.

    // 14. The main window, hidden until the start-up has finished.
    auto mainWindow = std::make_unique<MainWindow>(params.host, params.port, params.user, params.password,
                                                   params.useSsl, params.httpHost, translations.get());
    // Polished while the splash stays, it shows at once when the splash goes.
    QTimer::singleShot(0, mainWindow.get(), [window = mainWindow.get()] { window->ensurePolished(); });

    // 15. The client version checker for this system's record.
    auto checker = std::make_unique<VersionChecker>();
    checker->setUrl(defaultVersionUrl(params.httpHost));
    checker->setSystemInfo(currentSystemInfo());
    startup->setVersionListUrl(checker->url());
    // Pages of the service's web host may use the program object like the local pages.
    WebSchemes::setServiceWebHost(params.httpHost);

    // 16. Connections.
    QObject::connect(startup.get(), &Startup::finished, mainWindow.get(), &MainWindow::onStartupFinished);
    QObject::connect(checker.get(), &VersionChecker::started, startup.get(), &Startup::clientVersionCheckStarted);
    QObject::connect(checker.get(), &VersionChecker::connecting, startup.get(), &Startup::clientVersionCheckConnecting);
    QObject::connect(checker.get(), &VersionChecker::requestSent, startup.get(), &Startup::clientVersionCheckSent);
    QObject::connect(checker.get(), &VersionChecker::finished, startup.get(), &Startup::clientVersionCheckFinished);

    // 17. The version check starts.
    checker->check();

    // 18. Once the main window is up: the game sounds are bound to it and
    // loaded (their output connects to the sound server), and what earlier
    // runs left behind is swept, the folders of their style copies and the
    // files of downloads that never finished. None of it may hold back the
    // windows the player waits for.
    QObject::connect(startup.get(), &Startup::finished, mainWindow.get(), [window = mainWindow.get()] {
        GameSounds::instance().init(window);
        MahjongApplication::removeLeftoverStyleCopies();
        NewVersionDialog::removeUnfinishedDownloads();
    }, Qt::QueuedConnection);

    // 19. The event loop.
    const int result = app->exec();
    // A critical message said as the loop ended (the server's close) still gets its box.
    Logging::showWaitingBoxes();

    // Teardown: version checker, main window, start-up mediator, translations
    // manager, application object.
    checker.reset();
    mainWindow.reset();
    startup.reset();
    translations.reset();
    app.reset();
    // The sounds went with the application object. A sound thread that a
    // stalled sound server still holds was left behind; the sound library's
    // own clean-up at exit would wait for it, or fail under it: leave
    // without that clean-up (the log is written line by line).
    QuitSignals::finished();
    if (SoundPlayer::threadLeftBehind())
        std::quick_exit(result);
    return result;
}
