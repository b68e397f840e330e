// Screenshots of the main window under Xvfb, in English and Japanese: the
// login form, the registration form, the lobby with 30 tables and its
// filters, and the settings page. Kept as test artifacts:
// login-<lang>.png, registration-<lang>.png, lobby-<lang>.png,
// preferences-<lang>.png.
#include "CommandLine.h"
#include "CreateUserWindow.h"
#include "LobbyWindow.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "MainWindowHarness.h"
#include "ScreenshotSupport.h"
#include "PreferencesWindow.h"
#include "UTabWidget.h"
#include "WebSchemes.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSet>
#include <QSettings>
#include <QStackedWidget>
#include <QTreeView>

namespace {

using screenshots::save;

}

class TestMainWindowScreenshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(QCoreApplication::instance())->loadStyleSheet();
    }

    void screens_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::newRow("English") << QStringLiteral("en");
        QTest::newRow("Japanese") << QStringLiteral("ja");
    }

    void screens()
    {
        QFETCH(QString, lang);
        QSettings().clear();
        MainWindowHarness h;
        QVERIFY(h.translations.setLanguage(lang));
        QVERIFY(h.create(QStringLiteral("anna"), QStringLiteral("secret1")));
        QVERIFY(h.start());
        MainWindow* window = h.window.get();
        window->resize(1280, 900);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(save(window, QStringLiteral("login-%1.png").arg(lang)));

        const MainView& ui = window->view();
        ui.centralWidget->setCurrentWidget(ui.createUserWidget);
        CreateUserWindow* form = ui.createUserWindow;
        form->userNameEdit()->setText(QStringLiteral("newbie"));
        form->emailField()->setText(QStringLiteral("newbie@example"));
        QMetaObject::invokeMethod(form, "on_emailEdit_editingFinished");
        form->passwordField()->setText(QStringLiteral("secret1"));
        form->ageBox()->setChecked(true);
        QVERIFY(save(window, QStringLiteral("registration-%1.png").arg(lang)));
        ui.centralWidget->setCurrentWidget(ui.loginWidget);

        QVERIFY(h.logIn());
        LobbyWindow* lobby = window->lobbyWindow();
        QTRY_COMPARE(lobby->treeView()->model()->rowCount(), 30);
        ui.mainTabs->setCurrentIndex(ui.mainTabs->indexOf(lobby));
        lobby->findChild<QCheckBox*>(QStringLiteral("excludeEmptyTablesCheckBox"))->setChecked(true);
        lobby->findChild<QCheckBox*>(QStringLiteral("excludeEmptyTablesCheckBox"))->setChecked(false);
        QVERIFY(save(window, QStringLiteral("lobby-%1.png").arg(lang)));

        ui.mainTabs->setCurrentIndex(ui.mainTabs->indexOf(window->preferences()));
        QVERIFY(save(window, QStringLiteral("preferences-%1.png").arg(lang)));
        h.translations.setLanguage(QStringLiteral("en"));
    }
};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    MahjongApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    TestMainWindowScreenshots test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainwindow_screenshots.moc"
