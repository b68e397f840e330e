// Screenshots of the main window under Xvfb, in English, Japanese and
// Chinese: the login form, the registration form, the lobby with 30 tables
// and its filters, the settings page, and the strip of a silent server at
// the smallest and a large window. Kept as test artifacts:
// login-<lang>.png, registration-<lang>.png, lobby-<lang>.png,
// preferences-<lang>.png, silence-<lang>-<width>.png.
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
#include "../support/ContrastRatio.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSet>
#include <QSettings>
#include <QStackedWidget>
#include <QTreeView>

#include <algorithm>

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
        QTest::newRow("Chinese") << QStringLiteral("zh");
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

        // The strip lies under the top bar and fits the window beside it.
        ui.mainTabs->setCurrentIndex(ui.mainTabs->indexOf(lobby));
        ui.silenceNotice->show();
        for (const QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
            window->resize(size);
            QTRY_COMPARE(window->width(), size.width());
            QVERIFY(save(window, QStringLiteral("silence-%1-%2.png").arg(lang).arg(size.width())));
            const QRect strip(ui.silenceNotice->mapTo(window, QPoint(0, 0)), ui.silenceNotice->size());
            const QRect account(ui.accountButton->mapTo(window, QPoint(0, 0)), ui.accountButton->size());
            QVERIFY(window->rect().contains(strip));
            QVERIFY(window->rect().contains(account));
            QVERIFY(!strip.intersects(account));
            // Its words stand out from their ground: the lightest and the
            // darkest of its pixels at least 4.5:1 apart.
            const QImage shown = ui.silenceNotice->grab().toImage();
            double lightest = 0, darkest = 1;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const double l = contrast::luminance(shown.pixelColor(x, y));
                    lightest = std::max(lightest, l);
                    darkest = std::min(darkest, l);
                }
            QVERIFY2((lightest + 0.05) / (darkest + 0.05) >= 4.5, qPrintable(lang));
        }
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
