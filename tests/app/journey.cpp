// A new player's first minutes, through the real window on a desktop (Xvfb
// with a window manager) against the test game server: start, ask for an
// account where no web browser can be started, log in, visit every tab, ask
// to quit and say No, open My account, switch the language in Settings,
// restart on the tab left last, and quit by the top bar's button. Pictures of
// the screen in every language are kept in the test's directory as
// <lang>-<step>.png.
#include "AvatarDialog.h"
#include "CommandLine.h"
#include "EmbeddedBrowser.h"
#include "EmbeddedWebPage.h"
#include "HttpTestServer.h"
#include "LobbyWindow.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "MainWindowHarness.h"
#include "PreferencesWindow.h"
#include "UTabWidget.h"
#include "WaitCursor.h"
#include "BridgedWebPage.h"
#include "WebTestSupport.h"
#include "WebSchemes.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

QByteArray& fullPath()
{
    static QByteArray path;
    return path;
}

const QByteArray registrationAddress = "http://127.0.0.1:1/register.html?partner=4";

/// The whole screen as the user sees it, saved as `name`.
QImage shoot(const QString& name)
{
    QTest::qWait(400);
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    image.save(QDir::current().filePath(name + QStringLiteral(".png")));
    return image;
}

/// The share of the widget's pixels that the screen shows as the widget draws
/// them: near 1 when nothing covers it.
double shownShare(QWidget* widget, const QImage& screen)
{
    const QImage own = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    int same = 0;
    int all = 0;
    for (int y = 2; y < own.height() - 2; y += 3) {
        for (int x = 2; x < own.width() - 2; x += 3) {
            const QPoint p = origin + QPoint(x, y);
            if (!screen.rect().contains(p))
                continue;
            ++all;
            const QRgb a = own.pixel(x, y);
            const QRgb b = screen.pixel(p);
            if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) < 48)
                ++same;
        }
    }
    return all ? double(same) / all : 0.0;
}

/// Whether the screen comes to show the widget uncovered; its last picture is kept as `name`.
bool shownOnScreen(QWidget* widget, const QString& name)
{
    return QTest::qWaitFor([&] { return shownShare(widget, shoot(name)) > 0.9; });
}

/// Picks the entry whose data is `code` with the arrow keys, as a keyboard user does.
void chooseByKeys(QComboBox* combo, const QString& code)
{
    const int target = combo->findData(code);
    QVERIFY2(target >= 0, qPrintable(code));
    combo->setFocus();
    while (combo->currentIndex() != target) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(combo->currentIndex() != before);
    }
}

ModelessMsgBox::MsgBox* openBox(MainWindow* window, const QString& title)
{
    for (auto* box : window->findChildren<ModelessMsgBox::MsgBox*>()) {
        if (box->isVisible() && box->windowTitle() == title)
            return box;
    }
    return nullptr;
}

int visibleBoxes(MainWindow* window)
{
    int n = 0;
    for (auto* box : window->findChildren<ModelessMsgBox::MsgBox*>())
        n += box->isVisible() ? 1 : 0;
    return n;
}

}

class TestJourney : public QObject
{
    Q_OBJECT

    MainWindowHarness h;

    MainWindow* window() { return h.window.get(); }
    const MainView& ui() { return h.window->view(); }

    /// The window the program makes at start, on the harness's server.
    void makeWindow()
    {
        h.window = std::make_unique<MainWindow>(QStringLiteral("127.0.0.1"), h.server.port(), QStringLiteral("anna"),
                                                QStringLiteral("secret1"), false, QStringLiteral("127.0.0.1:1"),
                                                &h.translations);
        h.window->setXmppPort(1);
        QSignalSpy ready(&h.window->connection(), &ConnectionManager::versionCheckComplete);
        h.window->onStartupFinished(true);
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->activateWindow(); // keys and the focus go to the active window only
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QVERIFY(!ready.isEmpty() || ready.wait(5000));
        // Never larger than the screen's free area, frame included.
        const QRect available = h.window->screen()->availableGeometry();
        QTRY_VERIFY2(available.contains(h.window->frameGeometry()),
                     qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                    .arg(h.window->frameGeometry().width())
                                    .arg(h.window->frameGeometry().height())
                                    .arg(available.width())
                                    .arg(available.height())));
    }

    /// The login page's Register link: the address arrives in a box, since no
    /// web browser can be started here.
    void askForAnAccount(const QString& lang)
    {
        // Before the login the page is asked for as a local page.
        const int pagesBefore = h.scenario.log().count(QStringLiteral("local page 2"));
        QTest::mouseClick(ui().loginWindow->registerButton(), Qt::LeftButton);
        QTRY_COMPARE(h.scenario.log().count(QStringLiteral("local page 2")), pagesBefore + 1);
        QTRY_VERIFY(window()->findChild<QLineEdit*>(QStringLiteral("addressField")) != nullptr);
        auto* field = window()->findChild<QLineEdit*>(QStringLiteral("addressField"));
        QTRY_VERIFY(field->isVisible());
        QCOMPARE(field->text(), QString::fromLatin1(registrationAddress));
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->selectedText(), field->text());
        auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(field->parentWidget()->parentWidget());
        QVERIFY(box != nullptr);
        for (const QLabel* text : box->findChildren<QLabel*>()) // in the language shown
            QVERIFY(lang == QLatin1String("en") || !text->text().contains(QLatin1String("web browser")));
        QVERIFY(shownOnScreen(box->contentWidget(), lang + QStringLiteral("-registration")));
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QTest::keyClick(field, lang == QLatin1String("en") ? Qt::Key_Escape : Qt::Key_Return);
        QTRY_VERIFY(window()->findChild<QLineEdit*>(QStringLiteral("addressField")) == nullptr);

        // A page the server names no address for says so.
        h.scenario.setWebPage(11, QByteArray());
        QLabel* reset = ui().loginWindow->resetPasswordLink();
        QTest::mouseClick(reset, Qt::LeftButton, {}, QPoint(6, reset->height() / 2));
        const QString title = QCoreApplication::translate("MainWindow", "Web page");
        QTRY_VERIFY(openBox(window(), title) != nullptr);
        ModelessMsgBox::MsgBox* missing = openBox(window(), title);
        shoot(lang + QStringLiteral("-page-unavailable"));
        QCOMPARE(missing->findChild<QLabel*>(QStringLiteral("msgBoxText"))->text(),
                 QCoreApplication::translate("MainWindow", "This page is not available."));
        QTest::mouseClick(missing->buttonBox()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTRY_VERIFY(openBox(window(), title) == nullptr);
    }

    void logIn()
    {
        QSignalSpy success(&window()->connection(), &ConnectionManager::loginSuccess);
        QTest::mouseClick(ui().loginWindow->logInButton(), Qt::LeftButton);
        QVERIFY(!success.isEmpty() || success.wait(5000));
        QTRY_VERIFY(ui().mainTabs->isVisible());
        // The login's wait ends with the lobby.
        QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
    }

    /// Every tab by a click on it, each shown with the whole tab bar.
    void visitTabs(const QString& lang)
    {
        UTabWidget* tabs = ui().mainTabs;
        const QStringList names{QStringLiteral("start"),    QStringLiteral("tables"),  QStringLiteral("tournaments"),
                                QStringLiteral("settings"), QStringLiteral("friends"), QStringLiteral("howto")};
        QCOMPARE(tabs->count(), names.size());
        for (int i = 0; i < tabs->count(); ++i) {
            clickTab(tabs, i);
            QTRY_COMPARE(tabs->currentIndex(), i);
            QVERIFY(tabs->widget(i)->isVisible());
            checkTabBarShown();
            shoot(lang + QLatin1Char('-') + names.at(i));
        }
        checkLobbyTexts();
        // The web pages' headers are the program's, in the language shown.
        for (EmbeddedWebPage* page : {window()->startPage(), window()->howToPage()}) {
            QVERIFY(!page->titleLabel()->pixmap().isNull());
            QVERIFY2(!page->subTitleLabel()->text().contains(QLatin1String("highest accumulated")),
                     qPrintable(page->subTitleLabel()->text()));
        }
        QCOMPARE(window()->startPage()->subTitleLabel()->text(),
                 QCoreApplication::translate("MainWindow",
                                             "Make your choice below or go to the Lobby for more rules and table options"));
        QVERIFY(window()->howToPage()->subTitleLabel()->text().isEmpty());
    }

    /// The lobby list shows every column without scrolling sideways, and its
    /// filter names the game type with the list's own word.
    void checkLobbyTexts()
    {
        LobbyWindow* lobby = window()->lobbyWindow();
        QTreeView* list = lobby->treeView();
        clickTab(ui().mainTabs, ui().mainTabs->indexOf(lobby));
        QTRY_VERIFY(list->isVisible());
        QTRY_VERIFY(!list->horizontalScrollBar()->isVisible());
        const QString singleHand = QCoreApplication::translate("TableInfo", " single hand").trimmed();
        bool filterNamesIt = false;
        for (QCheckBox* box : lobby->findChildren<QCheckBox*>())
            filterNamesIt = filterNamesIt || box->text().compare(singleHand, Qt::CaseInsensitive) == 0;
        QVERIFY2(filterNamesIt, qPrintable(singleHand));
        // Time limits in the language shown.
        const QString seconds = QCoreApplication::translate("TableInfo", "%Ln second(s)", nullptr, 20);
        if (h.translations.language() != QLatin1String("en"))
            QVERIFY2(seconds != QLatin1String("20 second(s)"), qPrintable(h.translations.language()));
        QVERIFY(!list->model()->match(list->model()->index(0, 3), Qt::DisplayRole, seconds).isEmpty());
    }

    /// Every tab's button lies inside the bar, which is on screen.
    void checkTabBarShown()
    {
        QTabBar* bar = ui().mainTabs->tabBar();
        const auto allShown = [bar] {
            if (!bar->isVisible() || bar->count() == 0)
                return false;
            for (int i = 0; i < bar->count(); ++i) {
                if (!bar->rect().contains(bar->tabRect(i)))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY2(allShown(), qPrintable(QStringLiteral("a bar of %1x%2 with %3 tabs")
                                               .arg(bar->width())
                                               .arg(bar->height())
                                               .arg(bar->count())));
    }

    /// A Play button of the Start page whose quick join the server refuses:
    /// the refusal shows and the wait cursor goes.
    void quickJoinRefused(const QString& lang)
    {
        clickTab(ui().mainTabs, 0);
        EmbeddedWebPage* start = window()->startPage();
        QVERIFY(WebTest::waitForClient(start->page(), 15000));
        const QVariantList r = WebTest::run(start->page(),
                                            QStringLiteral("(function(){var r=document.getElementById('practiceRiichi')"
                                                           ".getBoundingClientRect();"
                                                           "return [r.left + r.width/2, r.top + r.height/2];})()"))
                                   .toList();
        QCOMPARE(r.size(), 2);
        h.scenario.setQuickJoinAnswer(1);
        const int asked = h.scenario.log().count(QStringLiteral("quick join /Practice/Riichi/4/"));
        QTest::mouseClick(start->view()->focusProxy(), Qt::LeftButton, {},
                          QPoint(int(r[0].toDouble()), int(r[1].toDouble())));
        QTRY_COMPARE(h.scenario.log().count(QStringLiteral("quick join /Practice/Riichi/4/")), asked + 1);
        QTRY_VERIFY(openBox(window(), QCoreApplication::translate("MainWindow", "Join game failed!")) != nullptr);
        QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
        ModelessMsgBox::MsgBox* box = openBox(window(), QCoreApplication::translate("MainWindow", "Join game failed!"));
        QVERIFY(shownOnScreen(box->contentWidget(), lang + QStringLiteral("-quick-join-refused")));
        QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTRY_VERIFY(openBox(window(), QCoreApplication::translate("MainWindow", "Join game failed!")) == nullptr);
        h.scenario.setQuickJoinAnswer(-1);
    }

    /// The window's close button over the Start page asks; No keeps the program.
    void askToQuitAndStay(const QString& lang)
    {
        clickTab(ui().mainTabs, 0);
        QTest::qWait(300);
        QVERIFY(!window()->close());
        QVERIFY(!window()->close());
        ModelessMsgBox::MsgBox* box = window()->quitQuestion();
        QVERIFY(box != nullptr);
        QCOMPARE(visibleBoxes(window()), 1);
        QVERIFY(shownOnScreen(box->contentWidget(), lang + QStringLiteral("-quit-question")));
        // A tab switch leaves the question above the page.
        clickTab(ui().mainTabs, ui().mainTabs->count() - 1);
        QVERIFY(shownOnScreen(box->contentWidget(), lang + QStringLiteral("-quit-question-howto")));
        QTRY_VERIFY(box->buttonBox()->button(QDialogButtonBox::No)->isEnabled());
        QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::No), Qt::LeftButton);
        QTRY_VERIFY(window()->quitQuestion() == nullptr);
        QVERIFY(window()->isVisible());
        clickTab(ui().mainTabs, 0);
    }

    /// My account opens in the program's browser dialog, framed and titled by its page.
    void openMyAccount(const QString& lang)
    {
        QTest::mouseClick(ui().accountButton, Qt::LeftButton);
        QTRY_VERIFY(window()->findChild<EmbeddedBrowser*>() != nullptr);
        auto* browser = window()->findChild<EmbeddedBrowser*>();
        QTRY_VERIFY(browser->isVisible());
        QTRY_COMPARE(browser->windowTitle(), QStringLiteral("My account"));
        QTRY_VERIFY(ui().accountButton->isEnabled());
        // The title bar is drawn inside the window, below the top bar.
        QVERIFY(browser->geometry().top() >= 0);
        QVERIFY(window()->rect().contains(browser->geometry()));
        QVERIFY(shownOnScreen(browser->topBar(), lang + QStringLiteral("-my-account")));
        QTest::mouseClick(browser->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(window()->findChild<EmbeddedBrowser*>() == nullptr || !browser->isVisible());
    }

    void chooseLanguageInSettings(const QString& lang)
    {
        clickTab(ui().mainTabs, ui().mainTabs->indexOf(window()->preferences()));
        QComboBox* languages = window()->preferences()->languageList();
        // The open list, for the picture; Escape closes it unchanged.
        QTest::mouseClick(languages, Qt::LeftButton);
        QTRY_VERIFY(languages->view()->isVisible());
        shoot(h.translations.language() + QStringLiteral("-language-list"));
        QTest::keyClick(languages->view(), Qt::Key_Escape);
        QTRY_VERIFY(!languages->view()->isVisible());
        chooseByKeys(languages, lang);
        QTRY_COMPARE(h.translations.language(), lang);
        // The avatar chooser, for the picture.
        QTest::mouseClick(window()->preferences()->avatarButton(), Qt::LeftButton);
        QTRY_VERIFY(window()->findChild<AvatarDialog*>() != nullptr);
        auto* avatars = window()->findChild<AvatarDialog*>();
        QTRY_VERIFY(avatars->isVisible());
        shoot(lang + QStringLiteral("-avatar"));
        QTest::mouseClick(avatars->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QTRY_VERIFY(window()->findChild<AvatarDialog*>() == nullptr || !avatars->isVisible());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        setupSearchPaths({});
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(QCoreApplication::instance())->loadStyleSheet();
        QSettings().clear();
        QVERIFY(h.translations.setLanguage(QStringLiteral("en")));
        QVERIFY(h.server.listen());
    }

    void firstMinutes()
    {
        qputenv("PATH", fullPath());
        HttpTestServer web;
        qputenv("PATH", "/nonexistent");
        QVERIFY(web.isRunning());
        web.setFile(QStringLiteral("account.html"),
                    "<html><head><title>My account</title></head><body><h1>Anna</h1><p>Balance: $10</p></body></html>");
        h.scenario.setWebPage(1, (web.base() + QStringLiteral("/account.html")).toLatin1());

        makeWindow();

        QVERIFY(!QTest::currentTestFailed());
        shoot(QStringLiteral("en-login"));
        askForAnAccount(QStringLiteral("en"));
        QVERIFY(!QTest::currentTestFailed());
        logIn();
        QVERIFY(!QTest::currentTestFailed());
        visitTabs(QStringLiteral("en"));
        QVERIFY(!QTest::currentTestFailed());
        quickJoinRefused(QStringLiteral("en"));
        QVERIFY(!QTest::currentTestFailed());
        askToQuitAndStay(QStringLiteral("en"));
        QVERIFY(!QTest::currentTestFailed());
        openMyAccount(QStringLiteral("en"));
        QVERIFY(!QTest::currentTestFailed());

        for (const QString& lang : {QStringLiteral("ja"), QStringLiteral("zh")}) {
            chooseLanguageInSettings(lang);
            QVERIFY(!QTest::currentTestFailed());
            visitTabs(lang);
            QVERIFY(!QTest::currentTestFailed());
            askToQuitAndStay(lang);
            QVERIFY(!QTest::currentTestFailed());
            openMyAccount(lang);
            QVERIFY(!QTest::currentTestFailed());
        }

        // Left on Tables: the next start shows Tables with every tab.
        clickTab(ui().mainTabs, 1);
        h.window.reset();
        makeWindow();
        QVERIFY(!QTest::currentTestFailed());
        shoot(QStringLiteral("zh-login"));
        askForAnAccount(QStringLiteral("zh"));
        QVERIFY(!QTest::currentTestFailed());
        chooseByKeys(ui().loginWindow->languageList(), QStringLiteral("ja"));
        QVERIFY(!QTest::currentTestFailed());
        QTRY_COMPARE(h.translations.language(), QStringLiteral("ja"));
        shoot(QStringLiteral("ja-login"));
        askForAnAccount(QStringLiteral("ja"));
        QVERIFY(!QTest::currentTestFailed());
        logIn();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(ui().mainTabs->currentIndex(), 1);
        QVERIFY(window()->lobbyWindow()->isVisible());
        checkTabBarShown();
        QVERIFY(!QTest::currentTestFailed());
        shoot(QStringLiteral("ja-restart-tables"));

        // The top bar's Quit button asks; Yes ends the program with code 0.
        QTimer::singleShot(0, this, [this] {
            QTest::mouseClick(ui().quitButton, Qt::LeftButton);
            ModelessMsgBox::MsgBox* box = window()->quitQuestion();
            if (box == nullptr) {
                QCoreApplication::exit(-1);
                return;
            }
            (void)QTest::qWaitFor([box] { return box->buttonBox()->button(QDialogButtonBox::Yes)->isEnabled(); });
            QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
        });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
        guard.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void cleanupTestCase() { h.window.reset(); }
};

int main(int argc, char** argv)
{
    // No desktop web browser can be started: no BROWSER, and nothing on the
    // path (the test web server starts with the path it had).
    qunsetenv("BROWSER");
    fullPath() = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    WebSchemes::registerSchemes();
    MahjongApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    TestJourney test;
    return QTest::qExec(&test, argc, argv);
}

#include "journey.moc"
