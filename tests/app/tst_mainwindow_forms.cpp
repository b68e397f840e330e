// The forms of the main window on their own: the registration form's field
// rules and messages, the login form's refusals and shake, and the settings
// page's switches, tile choices and password change.
#include "CommandLine.h"
#include "CreateUserWindow.h"
#include "GameSounds.h"
#include "LoginWindow.h"
#include "MessageBoxWatcher.h"
#include "PreferencesWindow.h"
#include "Sound.h"
#include "TranslationsManager.h"
#include "ModelessMsgBox.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

/// Counts what the lobby tune's slot is asked to do.
class TuneSpy : public Sound
{
public:
    explicit TuneSpy(QStringList* log)
        : log(log)
    {
    }
    void play(bool loop) override { *log << (loop ? QStringLiteral("loop") : QStringLiteral("play")); }
    void stop() override { *log << QStringLiteral("stop"); }

private:
    QStringList* log;
};

void leave(QLineEdit* edit)
{
    QMetaObject::invokeMethod(edit, "editingFinished");
}

void fillRegistration(CreateUserWindow& form)
{
    form.userNameEdit()->setText(QStringLiteral("newbie"));
    form.emailField()->setText(QStringLiteral("n@example.org"));
    form.passwordField()->setText(QStringLiteral("secret1"));
    form.repeatPasswordField()->setText(QStringLiteral("secret1"));
    form.ageBox()->setChecked(true);
    form.termsBox()->setChecked(true);
}

}

class TestMainWindowForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
        setupSearchPaths({});
    }
    void init()
    {
        QSettings().clear();
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }

    void registrationFieldRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("name of two") << "name" << "ab" << false;
        QTest::newRow("name of three in spaces") << "name" << " abc " << true;
        QTest::newRow("name of 16") << "name" << QString(16, QLatin1Char('x')) << true;
        QTest::newRow("name of 17") << "name" << QString(17, QLatin1Char('x')) << false;
        QTest::newRow("Western European letters") << "name" << QStringLiteral("Zoë Müller") << true;
        QTest::newRow("letters the login cannot carry") << "name" << QStringLiteral("山田太郎") << false;
        QTest::newRow("password of 5") << "password" << "12345" << false;
        QTest::newRow("password of 6") << "password" << "123456" << true;
        QTest::newRow("password of 20") << "password" << QString(20, QLatin1Char('p')) << true;
        QTest::newRow("password of 21") << "password" << QString(21, QLatin1Char('p')) << false;
        QTest::newRow("spaces count in passwords") << "password" << "  12  " << true;
        QTest::newRow("shortest address") << "email" << "a@b.cd" << true;
        QTest::newRow("address in spaces") << "email" << "  a@b.cd " << true;
        QTest::newRow("dot after the at sign") << "email" << "a@.b.cd" << false;
        QTest::newRow("one-letter ending") << "email" << "a@b.c" << false;
        QTest::newRow("capital ending") << "email" << "a@b.COM" << false;
        QTest::newRow("no at sign") << "email" << "ab.cd" << false;
    }

    void registrationFieldRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        CreateUserWindow form;
        fillRegistration(form);
        QVERIFY(form.createUserButton()->isEnabled());
        QLineEdit* edit = field == QLatin1String("name")    ? form.userNameEdit()
                        : field == QLatin1String("email") ? form.emailField()
                                                          : form.passwordField();
        edit->setText(text);
        if (edit == form.passwordField())
            form.repeatPasswordField()->setText(text);
        QCOMPARE(form.createUserButton()->isEnabled(), valid);
        leave(edit);
        QLabel* message = field == QLatin1String("name")    ? form.userNameMessage()
                        : field == QLatin1String("email") ? form.emailMessage()
                                                          : form.passwordMessage();
        QCOMPARE(message->text() == QLatin1String(" "), valid);
    }

    void registrationMessagesAppearOnceAFieldWasLeft()
    {
        CreateUserWindow form;
        QSignalSpy registered(&form, &CreateUserWindow::registerUser);
        // Leaving an empty field says nothing; typing into a field never left neither.
        leave(form.userNameEdit());
        QCOMPARE(form.userNameMessage()->text(), QStringLiteral(" "));
        form.userNameEdit()->setText(QStringLiteral("ab"));
        QCOMPARE(form.userNameMessage()->text(), QStringLiteral(" "));
        leave(form.userNameEdit());
        QCOMPARE(form.userNameMessage()->text(), QStringLiteral("User name must contain between 3 and 16 characters"));
        form.userNameEdit()->setText(QStringLiteral("abc"));
        QCOMPARE(form.userNameMessage()->text(), QStringLiteral(" "));

        // A new password refreshes the repeat's message once both were touched.
        form.passwordField()->setText(QStringLiteral("secret1"));
        leave(form.passwordField());
        form.repeatPasswordField()->setText(QStringLiteral("secret1"));
        leave(form.repeatPasswordField());
        QCOMPARE(form.repeatPasswordMessage()->text(), QStringLiteral(" "));
        form.passwordField()->setText(QStringLiteral("secret2"));
        QCOMPARE(form.repeatPasswordMessage()->text(), QStringLiteral("Repeated password doesn't match"));

        // Enter in the repeat field goes to the button; it never registers.
        form.emailField()->setText(QStringLiteral("a@b.cd"));
        form.repeatPasswordField()->setText(QStringLiteral("secret2"));
        form.ageBox()->setChecked(true);
        form.termsBox()->setChecked(true);
        QMetaObject::invokeMethod(form.repeatPasswordField(), "returnPressed");
        QCOMPARE(registered.size(), 0);
        // A disabled button registers nothing either.
        form.termsBox()->setChecked(false);
        QMetaObject::invokeMethod(&form, "on_createButton_clicked");
        QCOMPARE(registered.size(), 0);
    }

    void inactiveAccountHidesTheForm()
    {
        CreateUserWindow form;
        form.show();
        QSignalSpy login(&form, &CreateUserWindow::doLogin);
        fillRegistration(form);
        form.createUserButton()->click();
        form.onRegisterSucceeded(false);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isRegistered());
        QCOMPARE(login.size(), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void wrongCredentialsShakeTheForm()
    {
        QWidget page;
        page.resize(400, 300);
        LoginWindow form(&page);
        form.move(50, 40);
        page.show();
        form.setVersionCheckComplete(true);
        form.setUserName(QStringLiteral("anna"));
        form.setPassword(QStringLiteral("wrong"));
        QVERIFY(form.logInButton()->isEnabled());
        QList<int> xs;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (xs.isEmpty() || xs.last() != form.x())
                xs << form.x();
        });
        sampler.start(10);
        // The main window sets the wait cursor for the login.
        QObject::connect(&form, &LoginWindow::login, [] { WaitCursor::instance().begin(WaitCursor::Request::Login); });
        form.logInButton()->click();
        form.onLoginFailed(2);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(form.passwordField()->text().isEmpty());
        QVERIFY(!form.logInButton()->isEnabled());
        QTest::qWait(700);
        // Right, left, right, left by 8 pixels, back where it was.
        QCOMPARE(xs, (QList<int>{50, 58, 50, 58, 50}));
        // A lost connection disables the button until a new handshake.
        form.setPassword(QStringLiteral("again"));
        QVERIFY(form.logInButton()->isEnabled());
        form.onDisconnected();
        QVERIFY(!form.logInButton()->isEnabled());
        // A name of blanks is no name.
        form.setVersionCheckComplete(true);
        form.userNameEdit()->clear();
        QTest::keyClicks(form.userNameEdit(), QStringLiteral("   "));
        QVERIFY(!form.logInButton()->isEnabled());
    }

    void waitCursorsArePaired_data()
    {
        // Steps: "login" clicks Log in (the handler sets the wait cursor as
        // the main window does), "refused" is a refusal for wrong
        // credentials, "create" clicks Create User, "ok"/"inactive"/"failed"
        // are the server's answers to a registration, "cancel" clicks Cancel.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("logins");
        QTest::addColumn<bool>("fieldsEnabled");
        QTest::newRow("login refused") << QStringList{"login", "refused"} << 0 << true;
        QTest::newRow("refusal repeated") << QStringList{"login", "refused", "refused"} << 0 << true;
        QTest::newRow("refusal of the new account's login") << QStringList{"refused"} << 0 << true;
        QTest::newRow("registered") << QStringList{"create", "ok"} << 1 << false;
        QTest::newRow("acceptance repeated") << QStringList{"create", "ok", "ok"} << 1 << false;
        QTest::newRow("acceptance never asked for") << QStringList{"ok", "inactive"} << 0 << true;
        QTest::newRow("refusal after acceptance") << QStringList{"create", "ok", "failed"} << 1 << false;
        QTest::newRow("registration refused") << QStringList{"create", "failed"} << 0 << true;
        QTest::newRow("cancelled") << QStringList{"cancel"} << 0 << true;
    }

    void waitCursorsArePaired()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, logins);
        QFETCH(bool, fieldsEnabled);
        LoginWindow loginForm;
        loginForm.setVersionCheckComplete(true);
        loginForm.setUserName(QStringLiteral("anna"));
        QObject::connect(&loginForm, &LoginWindow::login, [] { WaitCursor::instance().begin(WaitCursor::Request::Login); });
        CreateUserWindow form;
        fillRegistration(form);
        QSignalSpy doLogin(&form, &CreateUserWindow::doLogin);
        MessageBoxWatcher watcher;
        // Another request's cursor, which none of the steps may take away.
        QApplication::setOverrideCursor(Qt::CrossCursor);
        for (const QString& step : steps) {
            if (step == QLatin1String("login")) {
                loginForm.setPassword(QStringLiteral("wrong1"));
                loginForm.logInButton()->click();
            } else if (step == QLatin1String("refused")) {
                loginForm.onLoginFailed(2);
            } else if (step == QLatin1String("create")) {
                form.createUserButton()->click();
            } else if (step == QLatin1String("ok") || step == QLatin1String("inactive")) {
                form.onRegisterSucceeded(step == QLatin1String("ok"));
            } else if (step == QLatin1String("failed")) {
                form.onRegisterFailed(QStringLiteral("User name already in use"));
            } else {
                form.cancelUserButton()->click();
            }
        }
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(doLogin.size(), logins);
        QCOMPARE(form.userNameEdit()->isEnabled(), fieldsEnabled);
        QCOMPARE(watcher.seen.size(), steps.endsWith(QStringLiteral("failed")) && fieldsEnabled ? 1 : 0);
    }

    void languageListNeverChangesTheLanguage()
    {
        TranslationsManager translations;
        LoginWindow form;
        form.setTranslationsManager(&translations);
        // No language installed yet: the first is shown, nothing is switched.
        QVERIFY(form.languageList()->count() >= 3);
        QCOMPARE(form.languageList()->currentIndex(), 0);
        QCOMPARE(translations.language(), QString());
    }

    void settingsFirstStart()
    {
        QStringList tune;
        GameSounds::instance().setSound(GameSounds::LobbyTune, std::make_unique<TuneSpy>(&tune));
        PreferencesWindow page(nullptr, nullptr, nullptr);
        QVERIFY(page.autoPassBox()->isChecked());
        QVERIFY(!page.autoPopdownBox()->isChecked());
        QVERIFY(page.soundBox()->isChecked());
        QVERIFY(page.animationsBox()->isChecked());
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("game/sound")).toBool(), true);
        QVERIFY(!settings.contains(QStringLiteral("game/autoPopdownScoreDialog")));
        // Building the page with sound on starts the lobby tune; the box controls it.
        QCOMPARE(tune, QStringList{QStringLiteral("loop")});
        page.soundBox()->setChecked(false);
        page.soundBox()->setChecked(true);
        QCOMPARE(tune, (QStringList{QStringLiteral("loop"), QStringLiteral("stop"), QStringLiteral("loop")}));
        GameSounds::instance().setSound(GameSounds::LobbyTune, nullptr);
        // A folder in the settings file's place: the page says that changes will not be kept.
        QVERIFY(page.unsavedNotice()->isHidden());
        const QString file = settings.fileName();
        QVERIFY(QFile::remove(file) && QDir().mkdir(file));
        page.animationsBox()->setChecked(false);
        QVERIFY(QDir().rmdir(file));
        QVERIFY(page.unsavedNotice()->isVisibleTo(&page));
        QVERIFY(page.unsavedNotice()->text().contains(QLatin1String("will not be kept")));
    }

    void storedTileChoiceOutOfRange()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("game/tileblank"), 99);
        settings.setValue(QStringLiteral("game/tileface"), -3);
        PreferencesWindow page(nullptr, nullptr, nullptr);
        QCOMPARE(page.tileBackList()->currentIndex(), 0);
        QCOMPARE(page.tileFaceList()->currentIndex(), 0);
        // Not written back until the user chooses.
        QCOMPARE(settings.value(QStringLiteral("game/tileblank")).toInt(), 99);
        for (QLabel* preview : page.tilePreviews()) // once the set not drawn before is in
            QTRY_VERIFY_WITH_TIMEOUT(!preview->pixmap().isNull(), 20000);
        if (page.tileBackList()->count() > 1) {
            page.tileBackList()->setCurrentIndex(1);
            QCOMPARE(settings.value(QStringLiteral("game/tileblank")).toInt(), 1);
            QCOMPARE(settings.value(QStringLiteral("game/tileface")).toInt(), -3);
        }
    }

    void languageChangeKeepsTheChosenTiles()
    {
        // The second face a sprite sheet of one's own, which cannot be drawn: the page names its file.
        QTemporaryDir front;
        QFile sheet(front.filePath(QStringLiteral("tiles-fg-half-marked.svg")));
        QVERIFY(sheet.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                && sheet.write("<svg xmlns='http://www.w3.org/2000/svg'><g id='bamboo_1'><use href='#sheet' "
                               "clip-path='url(#c)'/></g><g id='sheet'/></svg>") > 0);
        const QStringList paths = QDir::searchPaths(QStringLiteral("resources"));
        QDir::setSearchPaths(QStringLiteral("resources"), QStringList{front.path()} + paths);
        TranslationsManager translations;
        PreferencesWindow page(&translations, nullptr, nullptr);
        if (page.tileFaceList()->count() < 2)
            QSKIP("one tile face only");
        QTest::keyClick(page.tileFaceList(), Qt::Key_Down); // from the first
        const QString english = page.tileFaceList()->itemText(1);
        QTRY_VERIFY_WITH_TIMEOUT(!page.tileRefusal()->isHidden(), 20000);
        const QString refusal = page.tileRefusal()->text();
        QVERIFY2(refusal.contains(QDir::toNativeSeparators(sheet.fileName())), qPrintable(refusal));
        QVERIFY(translations.setLanguage(QStringLiteral("ja")));
        QTRY_VERIFY(page.tileFaceList()->itemText(1) != english);
        QCOMPARE(page.tileFaceList()->currentIndex(), 1);
        QCOMPARE(page.findChild<QLabel*>(QStringLiteral("label_6"))->text(), QStringLiteral("表"));
        QVERIFY(page.tileRefusal()->text() != refusal && page.tileRefusal()->text().contains(sheet.fileName()));
        QVERIFY(translations.setLanguage(QStringLiteral("en")));
        QTRY_COMPARE(page.tileFaceList()->itemText(1), english);
        QCOMPARE(QSettings().value(QStringLiteral("game/tileface")).toInt(), 1);
        QDir::setSearchPaths(QStringLiteral("resources"), paths);
    }

    void passwordChange_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("empty") << QString() << QString() << QStringLiteral("Can not set empty password!");
        QTest::newRow("different") << QStringLiteral("abcdef") << QStringLiteral("abcdeg")
                                   << QStringLiteral("New and retyped password must match");
        QTest::newRow("sent") << QStringLiteral("abcdef") << QStringLiteral("abcdef") << QString();
    }

    void passwordChange()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, refusal);
        PreferencesWindow page(nullptr, nullptr, nullptr);
        QStringList change;
        page.setPasswordSender([&change](const QString& password) {
            change << password;
            return qint32(change.size());
        });
        page.newPasswordField()->setText(first);
        page.retypePasswordField()->setText(second);
        page.changePasswordButton()->click();
        if (!refusal.isEmpty()) {
            QCOMPARE(change.size(), 0);
            QVERIFY(!page.newPasswordField()->isReadOnly());
            // The user is told why, in one box.
            QStringList shown;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(w);
                if (box == nullptr || !box->isVisible())
                    continue;
                auto* text = box->findChild<QLabel*>(QStringLiteral("msgBoxText"));
                shown << box->windowTitle() + QLatin1Char('|') + (text ? text->text() : QString());
                box->onFinished(0);
            }
            QCOMPARE(shown, QStringList{QStringLiteral("Change password failed!|") + refusal});
            return;
        }
        QCOMPARE(change, QStringList{first});
        // Locked until the answer; a refusal keeps the texts for another try.
        QVERIFY(page.newPasswordField()->isReadOnly());
        QVERIFY(!page.changePasswordButton()->isEnabled());
        page.onChangePasswordFailed(1, QStringLiteral("Password invalid"));
        QVERIFY(!page.newPasswordField()->isReadOnly());
        QCOMPARE(page.newPasswordField()->text(), first);
        page.changePasswordButton()->click();
        page.onChangePasswordOk(2);
        QVERIFY(page.newPasswordField()->text().isEmpty());
        QVERIFY(page.changePasswordButton()->isEnabled());
    }
};

QTEST_MAIN(TestMainWindowForms)

#include "tst_mainwindow_forms.moc"
