#pragma once

#include "AnswerDeadline.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QTimer>

#include <functional>

class ConnectionManager;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TranslationsManager;

namespace ModelessMsgBox {
class MsgBox;
}

/// The form of the login page: user name, password, Log in (usable once the
/// connection has agreed its protocol versions, both fields hold text and no
/// login is under way), Register and a "Reset password" link. A refused
/// login with wrong credentials shakes the form; every other refusal, a login
/// the server leaves unanswered past the time limit and a user name the wire
/// cannot carry show one box, which has the keys until it is closed. A login
/// unanswered past the limit is still waited for on its own connection while
/// the box asks: its answer, whenever it comes, logs in and closes the box;
/// Retry waits on, for longer. Cancel, or a login with another name or
/// password, gives it up with its connection (`loginGivenUp`), so that its
/// late answer can never let anyone in.
class LoginWindow : public QFrame
{
    Q_OBJECT

public:
    /// How long a login may wait for its answer before the player is told.
    static constexpr int answerTimeLimitMs = 20000;
    /// Each Retry doubles the wait, up to this many times the first.
    static constexpr int longestWaitFactor = 8;

    explicit LoginWindow(QWidget* parent = nullptr);
    ~LoginWindow() override;

    /// The protocol versions are agreed (true) or the connection was lost.
    void setVersionCheckComplete(bool complete);
    bool isVersionCheckComplete() const { return versionCheckComplete; }
    void setUserName(const QString& name);
    void setPassword(const QString& password);
    /// Keeps the manager and fills the (hidden) language list; changes no language.
    void setTranslationsManager(TranslationsManager* translations);
    /// Focus on the user name with its text selected.
    void focusUserName();
    void setAnswerTimeLimit(int ms) { firstLimitMs = ms; }
    /// The connection whose stream the time limit watches (see AnswerDeadline).
    void setConnection(const ConnectionManager* connection) { answerDeadline.setConnection(connection); }

    QLineEdit* userNameEdit() const { return loginEdit; }
    QLineEdit* passwordField() const { return passwordEdit; }
    QPushButton* logInButton() const { return loginButton; }
    QPushButton* registerButton() const { return createUserButton; }
    QLabel* resetPasswordLink() const { return resetPasswordLabel; }
    QComboBox* languageList() const { return languageSelection; }

Q_SIGNALS:
    /// The user asks to log in with the two fields as typed.
    void login(const QString& username, const QString& password);
    /// The Register button was clicked.
    void createUser();
    /// The "Reset password" link was activated.
    void resetPassword();
    /// A login left unanswered was given up by the player: so is the
    /// connection it went over, so that no late answer can reach the next
    /// login. Log in waits for the next version handshake.
    void loginGivenUp();

public Q_SLOTS:
    /// The server refused the login with this code. Only the refusal of a
    /// login asked for here takes back its wait cursor.
    void onLoginFailed(qint32 loginResponseStatus);
    /// The server let a login in: nothing waits for an answer any more.
    void onLoginSucceeded();
    void onConnecting();
    void onConnected();
    void onDisconnected();
    void on_loginButton_clicked();
    void on_createUserButton_clicked();
    void on_loginEdit_textChanged();
    void on_passwordEdit_textChanged();
    void onShakeTimer();
    void onLanguageSelectionCurrentIndexChanged(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void updateLoginButton();
    /// The login asked for here waits no longer: its wait cursor and time limit end.
    void endLoginWait();
    /// The one box of the form (a refusal, a login unanswered, a name
    /// refused); the focus goes back to the form once it is closed.
    ModelessMsgBox::MsgBox* showFailure(std::function<QString()> text, QDialogButtonBox::StandardButtons buttons);
    void onAnswerTimeout();
    /// Retry: the overdue login is waited for on, with a longer limit.
    void keepWaiting();
    /// Cancel or another login: the overdue login and its connection end.
    void abandonLogin();

    bool versionCheckComplete = false;
    /// A login asked for by this form is unanswered: the main window set a
    /// wait cursor for it, which the refusal takes back.
    bool loginPending = false;
    /// The pending login passed its time limit: the box asks what to do,
    /// and Log in may start another login meanwhile.
    bool answerOverdue = false;
    /// What the pending login was sent with.
    QString pendingUser;
    QString pendingPassword;
    /// A login was asked for while the next connection was not ready yet.
    bool retryWhenReady = false;
    int firstLimitMs = answerTimeLimitMs;
    AnswerDeadline answerDeadline{answerTimeLimitMs};
    QTimer shakeTimer;
    int shakeStep = 0;
    TranslationsManager* translations = nullptr;

    QLabel* largeText = nullptr;
    QLabel* label_2 = nullptr;
    QLineEdit* loginEdit = nullptr;
    QLabel* label_3 = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QPushButton* loginButton = nullptr;
    QPushButton* createUserButton = nullptr;
    QLabel* resetPasswordLabel = nullptr;
    QLabel* label_1 = nullptr;
    QComboBox* languageSelection = nullptr;
};
