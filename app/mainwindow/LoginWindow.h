#pragma once

#include <QFrame>
#include <QTimer>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TranslationsManager;

/// The form of the login page: user name, password, Log in (usable once the
/// connection has agreed its protocol versions and both fields hold text),
/// Register and a "Reset password" link. A refused login with wrong
/// credentials shakes the form; every other refusal shows a box.
class LoginWindow : public QFrame
{
    Q_OBJECT

public:
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

public Q_SLOTS:
    /// The server refused the login with this code. Only the refusal of a
    /// login asked for here takes back its wait cursor.
    void onLoginFailed(qint32 loginResponseStatus);
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

    bool versionCheckComplete = false;
    /// A login asked for by this form is unanswered: the main window set a
    /// wait cursor for it, which the refusal takes back.
    bool loginPending = false;
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
