#pragma once

// A real main window against the test game server, in this process: the
// server plays a whole session (SessionScenario) and the test reads the
// client's requests from the scenario's log.

#include "LoginWindow.h"
#include "MainWindow.h"
#include "UPushButton.h"
#include "ModelessMsgBox.h"
#include "SessionScenario.h"
#include "TcpProxy.h"
#include "TestGameServer.h"
#include "TranslationsManager.h"
#include "UTabWidget.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <memory>

/// A click on the tab bar, where a player switches tabs.
inline void clickTab(UTabWidget* tabs, int index)
{
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

// Waits poll rather than use QSignalSpy::wait, whose event loop gives up at
// once for the rest of the run after a test has failed.
struct MainWindowHarness
{
    TestGameServer server;
    SessionScenario scenario{server};
    TranslationsManager translations;
    /// Set before create(): the window reaches the server through this proxy.
    bool viaProxy = false;
    std::unique_ptr<TcpProxy> proxy;
    std::unique_ptr<MainWindow> window;
    /// The web host: by default a closed loopback port, where the advertisement fails at once.
    QString httpHost = QStringLiteral("127.0.0.1:1");

    /// Listens and makes the window (nothing is sent before start()).
    bool create(const QString& user = QStringLiteral("anna"), const QString& password = QStringLiteral("secret1"))
    {
        if (!server.listen())
            return false;
        if (viaProxy)
            proxy = std::make_unique<TcpProxy>(QStringLiteral("127.0.0.1"), server.port());
        window = std::make_unique<MainWindow>(QStringLiteral("127.0.0.1"), proxy ? proxy->port() : server.port(), user,
                                              password, false, httpHost, &translations);
        // No chat server unless a test starts one: a closed loopback port.
        window->setXmppPort(1);
        return true;
    }

    /// Connects and waits for the version handshake.
    bool start()
    {
        QSignalSpy ready(&window->connection(), &ConnectionManager::versionCheckComplete);
        window->onStartupFinished(true);
        // The offscreen screen is smaller than the window wants: that box is
        // not what the tests look at.
        answer(QStringLiteral("Resolution too low!"), QDialogButtonBox::Ok);
        return QTest::qWaitFor([&] { return !ready.isEmpty(); }, 5000);
    }

    /// Waits until the scenario logged `count` requests in all.
    bool waitForRequests(int count, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (scenario.log().size() < count && !deadline.hasExpired())
            QTest::qWait(10);
        return scenario.log().size() >= count;
    }

    bool logIn()
    {
        QSignalSpy success(&window->connection(), &ConnectionManager::loginSuccess);
        QTest::mouseClick(window->view().loginWindow->logInButton(), Qt::LeftButton);
        return QTest::qWaitFor([&] { return !success.isEmpty(); }, 5000);
    }

    /// The program ended without a word and started again on the same
    /// server: a new window, connected and logged in.
    bool restart()
    {
        window.reset();
        window = std::make_unique<MainWindow>(QStringLiteral("127.0.0.1"), proxy ? proxy->port() : server.port(),
                                              QStringLiteral("anna"), QStringLiteral("secret1"), false, httpHost,
                                              &translations);
        window->setXmppPort(1);
        return start() && logIn();
    }

    /// create(), start() and logIn() in a row.
    bool openAndLogIn() { return create() && start() && logIn(); }

    /// Logged in with the lobby's first ten requests answered and the log
    /// emptied: the test sees only what follows.
    bool readyInLobby()
    {
        if (!openAndLogIn() || !waitForRequests(10))
            return false;
        scenario.clearLog();
        return true;
    }

    /// Per-test reset: no stored settings, no leftover busy cursor.
    static void resetState()
    {
        QSettings().clear();
        WaitCursor::instance().clear();
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }

    /// The visible modeless boxes of the window as "title|text", oldest first.
    QStringList boxes() const
    {
        QStringList out;
        for (auto* box : window->findChildren<ModelessMsgBox::MsgBox*>()) {
            if (!box->isVisible())
                continue;
            auto* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText"));
            out << box->windowTitle() + QLatin1Char('|') + (label ? label->text() : QString());
        }
        return out;
    }

    /// Answers the first open box whose title is `title`.
    bool answer(const QString& title, QDialogButtonBox::StandardButton button)
    {
        for (auto* box : window->findChildren<ModelessMsgBox::MsgBox*>()) {
            if (box->isVisible() && box->windowTitle() == title) {
                box->onFinished(int(button));
                return true;
            }
        }
        return false;
    }
};
