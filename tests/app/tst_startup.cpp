// The start-up mediator: the splash's minimum time, its status lines, the
// pre-load, waiting for the version check, and the update offer accepted or
// refused; also the whole road from a real version check on loopback.

#include "HttpTestServer.h"
#include "NewVersionDialog.h"
#include "Startup.h"
#include "VersionChecker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

/// Clicks a button of the update dialog as soon as it is shown.
void answerUpdateDialog(const char* buttonName, bool* seen)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, buttonName, seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<NewVersionDialog*>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            *seen = true;
            timer->deleteLater();
            dialog->findChild<QPushButton*>(QLatin1String(buttonName))->click();
            return;
        }
    });
    timer->start();
}

/// A start-up fed by a real version check against a loopback list.
struct CheckedStartup {
    HttpTestServer server;
    Startup startup;
    VersionChecker checker;

    explicit CheckedStartup(const QByteArray& list)
    {
        server.setFile(QStringLiteral("client/parlor7/client_versions.xml"), list);
        QObject::connect(&checker, &VersionChecker::started, &startup, &Startup::clientVersionCheckStarted);
        QObject::connect(&checker, &VersionChecker::connecting, &startup, &Startup::clientVersionCheckConnecting);
        QObject::connect(&checker, &VersionChecker::requestSent, &startup, &Startup::clientVersionCheckSent);
        QObject::connect(&checker, &VersionChecker::finished, &startup, &Startup::clientVersionCheckFinished);
        checker.setUrl(QUrl(server.base() + QStringLiteral("/client/parlor7/client_versions.xml")));
        system_info_t s;
        s.platform = platform_t::linux_desktop;
        s.os = linux_os_t{QStringLiteral("debian")};
        checker.setSystemInfo(s);
    }
};

}

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fastCheckStillWaitsForTheMinimumTime()
    {
        QElapsedTimer clock;
        clock.start();
        Startup startup;
        QSignalSpy finished(&startup, &Startup::finished);
        QCOMPARE(startup.splashScreen().currentMessage(), QStringLiteral("Initializing..."));
        QVERIFY(startup.splashScreen().isVisible());
        startup.clientVersionCheckStarted();
        QCOMPARE(startup.splashScreen().currentMessage(), QStringLiteral("Checking for updates..."));
        startup.clientVersionCheckFinished(NoNewVersion, QString(), QUrl(), false);
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0); // pre-load done, but not 750 ms yet
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 3000);
        QVERIFY(clock.elapsed() >= Startup::minimumSplashMs);
        QCOMPARE(finished[0][0].toBool(), true);
        QVERIFY(!startup.splashScreen().isVisible());
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
    }

    void failedCheckCountsAsDone()
    {
        Startup startup;
        QSignalSpy finished(&startup, &Startup::finished);
        startup.clientVersionCheckFinished(VersionCheckFailed, QString(), QUrl(), false);
        QVERIFY(finished.wait(3000));
    }

    void noAnswerNoFinish()
    {
        Startup startup;
        QSignalSpy finished(&startup, &Startup::finished);
        startup.clientVersionCheckStarted();
        QTest::qWait(1000);
        QCOMPARE(finished.size(), 0);
        QVERIFY(startup.splashScreen().isVisible());
    }

    void acceptedUpdateGoesOn()
    {
        Startup startup;
        QSignalSpy finished(&startup, &Startup::finished);
        QTest::qWait(Startup::minimumSplashMs + 100); // the other two conditions are met first
        QCOMPARE(finished.size(), 0);
        bool seen = false;
        answerUpdateDialog("okButton", &seen);
        startup.clientVersionCheckFinished(NewVersionAvailable, QStringLiteral("<b>1.6.0</b>"),
            QUrl(QStringLiteral("http://127.0.0.1:9/setup.run")), false);
        QVERIFY(seen);
        QCOMPARE(finished.size(), 1); // at once
        QVERIFY(!startup.splashScreen().isVisible());
    }

    void wholeRoadFromTheVersionCheck()
    {
        CheckedStartup road("<versions><client id=\"c\" version=\"1.5.0\" url=\"/c.run\"/>"
            "<platform base=\"linux\"><os name=\"debian\" clientid=\"c\"/></platform></versions>");
        QVERIFY(road.server.isRunning());
        Startup& startup = road.startup;
        VersionChecker& checker = road.checker;
        QStringList messages;
        connect(&startup.splashScreen(), &QSplashScreen::messageChanged, this,
            [&](const QString& m) { messages << m; });
        QSignalSpy finished(&startup, &Startup::finished);
        checker.check();
        QVERIFY(finished.wait(5000));
        // The splash names the host that it waits for.
        QCOMPARE(messages, (QStringList{QStringLiteral("Checking for updates..."),
                                        QStringLiteral("Checking for updates: connecting to 127.0.0.1..."),
                                        QStringLiteral("Checking for updates: waiting for 127.0.0.1...")}));
    }

    void wholeRoadWithANewVersionAccepted()
    {
        CheckedStartup road("<versions><client id=\"c\" version=\"1.6.0\" url=\"/c.run\"><description>&lt;b&gt;New&lt;/b&gt;</description>"
            "</client><platform base=\"linux\"><os name=\"debian\" clientid=\"c\"/></platform></versions>");
        QVERIFY(road.server.isRunning());
        Startup& startup = road.startup;
        VersionChecker& checker = road.checker;
        QSignalSpy finished(&startup, &Startup::finished);

        // The dialog is offered with the splash already gone; "Continue" goes on.
        QString title;
        QString description;
        bool splashVisible = true;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<NewVersionDialog*>(w);
                if (!dialog || !dialog->isVisible() || !title.isEmpty())
                    continue;
                title = dialog->windowTitle();
                description = dialog->findChild<QTextEdit*>(QStringLiteral("description"))->toPlainText();
                splashVisible = startup.splashScreen().isVisible();
                dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
            }
        });
        poll.start();
        checker.check();
        QVERIFY(finished.wait(8000));
        QCOMPARE(title, QStringLiteral("Quellmark - 1.5.0"));
        QCOMPARE(description, QStringLiteral("New"));
        QVERIFY(!splashVisible);
        QVERIFY(!startup.splashScreen().isVisible());
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
    }

    // Last: refusing ends the application's event loop.
    void refusedUpdateEndsTheProgram()
    {
        Startup startup;
        QSignalSpy finished(&startup, &Startup::finished);
        bool seen = false;
        answerUpdateDialog("quitButton", &seen);
        QTimer::singleShot(0, &startup, [&] {
            startup.clientVersionCheckFinished(NewVersionAvailable, QStringLiteral("required"),
                QUrl(QStringLiteral("http://127.0.0.1:9/setup.run")), true);
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(42); }); // a safety net
        const int code = QCoreApplication::exec();
        QVERIFY(seen);
        QCOMPARE(code, 0);
        QTest::qWait(Startup::minimumSplashMs + 200);
        QCOMPARE(finished.size(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
