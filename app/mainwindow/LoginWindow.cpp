#include "LoginWindow.h"

#include "WaitCursor.h"

#include "ModelessMsgBox.h"
#include "TranslationsManager.h"
#include "Utils.h"

#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

const char linkStyle[] =
    "font-family: Verdana; font-weight: bold; font-size: 10px; color: rgb(255,244,189); text-decoration: underline;";

/// What the form's box is about: a newer one takes the place of an older.
const QString failureSubject = QStringLiteral("login");

/// The form's own texts, in the form's context.
struct LoginForm
{
    Q_DECLARE_TR_FUNCTIONS(LoginForm)
};

/// What a refused login's box says, in the language shown.
QString refusalText(qint32 status)
{
    switch (status) {
    case 3: return LoginWindow::tr("You are not allowed to login, please contact customer support!");
    case 4: return LoginWindow::tr("Server error!");
    case 5:
        return LoginWindow::tr("You need to verify your email first! Please check your inbox for verification "
                               "email. Contact support if problem persists.");
    case 6: return LoginWindow::tr("You have excluded yourself from playing. Contact support if this is incorrect.");
    default: return LoginWindow::tr("Unknown login failure!");
    }
}

}

LoginWindow::LoginWindow(QWidget* parent)
    : QFrame(parent)
{
    setupUi();
    connect(&answerDeadline, &AnswerDeadline::expired, this, &LoginWindow::onAnswerTimeout);
    shakeTimer.setSingleShot(true);
    connect(&shakeTimer, &QTimer::timeout, this, &LoginWindow::onShakeTimer);
    connect(resetPasswordLabel, &QLabel::linkActivated, this, &LoginWindow::resetPassword);
    connect(languageSelection, &QComboBox::currentIndexChanged, this,
            &LoginWindow::onLanguageSelectionCurrentIndexChanged);
    retranslateUi();
}

LoginWindow::~LoginWindow() = default;

void LoginWindow::setupUi()
{
    setObjectName(QStringLiteral("LoginForm"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    auto* gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    const QMargins m = gridLayout->contentsMargins();
    gridLayout->setContentsMargins(m.left(), 6, m.right(), 6);

    largeText = new QLabel(this);
    largeText->setObjectName(QStringLiteral("largeText"));
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    loginEdit = new QLineEdit(this);
    loginEdit->setObjectName(QStringLiteral("loginEdit"));
    loginEdit->setMaxLength(64);
    label_3 = new QLabel(this);
    label_3->setObjectName(QStringLiteral("label_3"));
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    passwordEdit->setMaxLength(256);
    passwordEdit->setEchoMode(QLineEdit::Password);
    loginButton = new QPushButton(this);
    loginButton->setObjectName(QStringLiteral("loginButton"));
    loginButton->setEnabled(false);
    loginButton->setAutoDefault(true);
    createUserButton = new QPushButton(this);
    createUserButton->setObjectName(QStringLiteral("createUserButton"));
    createUserButton->setAutoDefault(true);
    resetPasswordLabel = new QLabel(this);
    resetPasswordLabel->setObjectName(QStringLiteral("resetPasswordLabel"));
    resetPasswordLabel->setTextFormat(Qt::RichText);
    // A stop of Tab, opened by Return, as the buttons above it are.
    resetPasswordLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label_1 = new QLabel(this);
    label_1->setObjectName(QStringLiteral("label_1"));
    label_1->hide();
    languageSelection = new QComboBox(this);
    languageSelection->setObjectName(QStringLiteral("languageSelection"));
    languageSelection->hide();

    gridLayout->addWidget(largeText, 0, 0, 1, 2);
    gridLayout->addWidget(label_2, 1, 0, 1, 2);
    gridLayout->addWidget(loginEdit, 2, 0, 1, 2);
    gridLayout->addWidget(label_3, 3, 0, 1, 2);
    gridLayout->addWidget(passwordEdit, 4, 0, 1, 2);
    gridLayout->addWidget(loginButton, 5, 0);
    gridLayout->addWidget(createUserButton, 5, 1);
    gridLayout->addWidget(resetPasswordLabel, 6, 0, 1, 2);
    gridLayout->addWidget(label_1, 7, 0, 1, 2);
    gridLayout->addWidget(languageSelection, 8, 0, 1, 2);

    connect(loginEdit, &QLineEdit::returnPressed, passwordEdit, qOverload<>(&QWidget::setFocus));
    connect(passwordEdit, &QLineEdit::returnPressed, loginButton, &QPushButton::animateClick);
    QMetaObject::connectSlotsByName(this);
}

void LoginWindow::retranslateUi()
{
    largeText->setText(LoginForm::tr("Log in to Mahjong"));
    label_2->setText(LoginForm::tr("User name"));
    label_3->setText(LoginForm::tr("Password"));
    loginButton->setText(LoginForm::tr("Log in"));
    createUserButton->setText(LoginForm::tr("Register"));
    label_1->setText(LoginForm::tr("Choose language"));
    resetPasswordLabel->setText(
        LoginWindow::tr("<a style=\"%1\" href=\"#reset-password\">Reset password</a>").arg(QLatin1String(linkStyle)));
}

void LoginWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QFrame::changeEvent(event);
}

void LoginWindow::updateLoginButton()
{
    // A name of blanks is no name, as the registration form holds it. One
    // login at a time: edits while one waits send no second, until the
    // player is asked about it.
    loginButton->setEnabled((!loginPending || answerOverdue) && versionCheckComplete
                            && !loginEdit->text().trimmed().isEmpty() && !passwordEdit->text().isEmpty());
}

void LoginWindow::setVersionCheckComplete(bool complete)
{
    versionCheckComplete = complete;
    updateLoginButton();
    if (complete && std::exchange(retryWhenReady, false) && loginButton->isEnabled())
        on_loginButton_clicked();
}

void LoginWindow::setUserName(const QString& name)
{
    loginEdit->setText(name);
    updateLoginButton();
}

void LoginWindow::setPassword(const QString& password)
{
    passwordEdit->setText(password);
    updateLoginButton();
}

void LoginWindow::setTranslationsManager(TranslationsManager* tm)
{
    translations = tm;
    disconnect(languageSelection, &QComboBox::currentIndexChanged, this,
               &LoginWindow::onLanguageSelectionCurrentIndexChanged);
    languageSelection->clear();
    bool matched = false;
    if (tm != nullptr) {
        const QString current = tm->language();
        for (const auto& [code, name] : tm->availableLanguages()) {
            languageSelection->addItem(name, code);
            if (code == current) {
                languageSelection->setCurrentIndex(languageSelection->count() - 1);
                matched = true;
            }
        }
    }
    connect(languageSelection, &QComboBox::currentIndexChanged, this,
            &LoginWindow::onLanguageSelectionCurrentIndexChanged);
    if (!matched && languageSelection->count() > 0 && languageSelection->currentIndex() != 0) {
        // Only a user's choice changes the language: select without asking.
        const QSignalBlocker blocker(languageSelection);
        languageSelection->setCurrentIndex(0);
    }
}

void LoginWindow::focusUserName()
{
    loginEdit->setFocus(Qt::OtherFocusReason);
    loginEdit->selectAll();
}

void LoginWindow::onLoginFailed(qint32 status)
{
    switch (status) {
    case 2: qDebug() << "Authentication failed!"; break;
    case 3: qDebug() << "Login disallowed!"; break;
    case 4: qDebug() << "Server error!"; break;
    case 5: qDebug() << "Email not verified!"; break;
    case 6: qDebug() << "User self excluded!"; break;
    default: qDebug() << "Unknown login failure!"; break;
    }
    // A refusal of a login made elsewhere (the new account's) or a second
    // refusal of the same login has no wait cursor to take back.
    endLoginWait();
    if (status == 2) {
        // The question about a late answer is answered.
        ModelessMsgBox::closeAbout(findMainWindow(), failureSubject);
        passwordEdit->clear();
        updateLoginButton();
        shakeTimer.start(100);
        return;
    }
    showFailure([status] { return refusalText(status); }, QDialogButtonBox::Ok);
    updateLoginButton();
}

void LoginWindow::onLoginSucceeded()
{
    endLoginWait();
    // Whatever the form said before is over.
    ModelessMsgBox::closeAbout(findMainWindow(), failureSubject);
}

void LoginWindow::endLoginWait()
{
    loginPending = false;
    answerOverdue = false;
    answerDeadline.stop();
    WaitCursor::instance().end(WaitCursor::Request::Login);
}

ModelessMsgBox::MsgBox* LoginWindow::showFailure(std::function<QString()> text,
                                                 QDialogButtonBox::StandardButtons buttons)
{
    // The box has the keys while it is shown (Enter or Escape answer it);
    // only once it is closed do they go back to the form, and a second
    // failure takes the place of the first rather than piling up.
    auto* box = plainText(ModelessMsgBox::critical(
        findMainWindow(), [text] { return ModelessMsgBox::Wording{tr("Login failure!"), text()}; }, buttons,
        QDialogButtonBox::NoButton, failureSubject));
    QPointer<LoginWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self](int) {
        if (self && self->isVisible())
            self->focusUserName();
    });
    return box;
}

void LoginWindow::onAnswerTimeout()
{
    qWarning() << "no answer to the login within" << answerDeadline.limit() << "ms of a quiet connection";
    // A busy server may still answer: the login stays on its connection
    // while the player is asked, and the answer settles it whenever it comes.
    answerOverdue = true;
    WaitCursor::instance().end(WaitCursor::Request::Login);
    updateLoginButton();
    auto* box = showFailure([] { return tr("The server did not answer the login.\nDo you want to try again?"); },
                            QDialogButtonBox::Retry | QDialogButtonBox::Cancel);
    QPointer<LoginWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self](int button) {
        // A box closed by the answer, or by another login, asks nothing more.
        if (!self || !self->answerOverdue)
            return;
        if (button == QDialogButtonBox::Retry)
            self->keepWaiting();
        else
            self->abandonLogin();
    });
}

void LoginWindow::keepWaiting()
{
    answerOverdue = false;
    answerDeadline.setLimit(std::min(answerDeadline.limit() * 2, firstLimitMs * longestWaitFactor));
    answerDeadline.start();
    WaitCursor::instance().begin(WaitCursor::Request::Login);
    ModelessMsgBox::closeAbout(findMainWindow(), failureSubject);
    updateLoginButton();
}

void LoginWindow::abandonLogin()
{
    endLoginWait();
    versionCheckComplete = false;
    updateLoginButton();
    ModelessMsgBox::closeAbout(findMainWindow(), failureSubject);
    Q_EMIT loginGivenUp();
}

void LoginWindow::onConnecting()
{
    loginButton->setText(tr("Connecting..."));
}

void LoginWindow::onConnected()
{
    loginButton->setText(LoginForm::tr("Log in"));
}

void LoginWindow::onDisconnected()
{
    versionCheckComplete = false;
    retryWhenReady = false;
    // A login under way is lost with its connection.
    endLoginWait();
    updateLoginButton();
}

void LoginWindow::on_loginButton_clicked()
{
    if (loginPending && !answerOverdue)
        return;
    // The login carries its user name in Latin-1: any other letter would go
    // out as "?", and names of as many such letters would all be the same
    // bytes.
    if (!isLatin1Text(loginEdit->text())) {
        showFailure([] {
            return tr("This user name cannot be used to log in: a user name may hold only Western European "
                      "letters, digits and signs.");
        }, QDialogButtonBox::Ok);
        return;
    }
    if (loginPending) {
        // The same login asked for again waits on for its answer; another
        // one goes over a new connection, which the old answer cannot reach.
        if (loginEdit->text() == pendingUser && passwordEdit->text() == pendingPassword) {
            keepWaiting();
            return;
        }
        abandonLogin();
        retryWhenReady = true;
        return;
    }
    loginPending = true;
    pendingUser = loginEdit->text();
    pendingPassword = passwordEdit->text();
    answerDeadline.setLimit(firstLimitMs);
    answerDeadline.start();
    updateLoginButton();
    Q_EMIT login(pendingUser, pendingPassword);
}

void LoginWindow::on_createUserButton_clicked()
{
    Q_EMIT createUser();
}

void LoginWindow::on_loginEdit_textChanged()
{
    updateLoginButton();
}

void LoginWindow::on_passwordEdit_textChanged()
{
    updateLoginButton();
}

void LoginWindow::onShakeTimer()
{
    move(pos() + QPoint(shakeStep % 2 == 0 ? 8 : -8, 0));
    ++shakeStep;
    if (shakeStep < 4) {
        shakeTimer.start(100);
    } else {
        shakeStep = 0;
        shakeTimer.stop();
    }
}

void LoginWindow::onLanguageSelectionCurrentIndexChanged(int index)
{
    if (translations == nullptr || index < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    translations->setLanguage(languageSelection->itemData(index, Qt::UserRole).toString());
    QApplication::restoreOverrideCursor();
}
