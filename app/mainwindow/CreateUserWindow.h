#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

/// The registration form: user name, e-mail, password twice, an age
/// confirmation and the terms. Each field is checked as the user types, with
/// a message under it once the field has been left; Create User is usable
/// only when everything is valid. An accepted, active account logs in at once.
class CreateUserWindow : public QFrame
{
    Q_OBJECT

public:
    explicit CreateUserWindow(QWidget* parent = nullptr);
    ~CreateUserWindow() override;

    /// True after the server accepted an active account in this run.
    bool isRegistered() const { return registered; }

    /// 3 to 16 characters without the white space around them.
    static bool isValidUserName(const QString& name);
    /// One or more characters, "@", not a dot next, then a dot and at least
    /// two lower-case letters at the end; white space around it is ignored.
    static bool isValidEmail(const QString& email);
    /// 6 to 20 characters as typed.
    static bool isValidPassword(const QString& password);

    QLineEdit* userNameEdit() const { return loginEdit; }
    QLineEdit* emailField() const { return emailEdit; }
    QLineEdit* passwordField() const { return passwordEdit; }
    QLineEdit* repeatPasswordField() const { return repeatPasswordEdit; }
    QCheckBox* ageBox() const { return ageCheckBox; }
    QCheckBox* termsBox() const { return tcCheckBox; }
    QPushButton* createUserButton() const { return createButton; }
    QPushButton* cancelUserButton() const { return cancelButton; }
    QLabel* userNameMessage() const { return userNameValidationLabel; }
    QLabel* emailMessage() const { return emailValidationLabel; }
    QLabel* passwordMessage() const { return passwordValidationLabel; }
    QLabel* repeatPasswordMessage() const { return repeatPasswordValidationLabel; }

Q_SIGNALS:
    /// The user asks to register: user name and e-mail without the white
    /// space around them, the password as typed.
    void registerUser(const QString& username, const QString& password, const QString& email);
    /// Logs the new account in (after an accepted, active registration).
    void doLogin(const QString& user, const QString& password);
    void cancelPressed();
    /// The terms link was activated.
    void termsPressed();

public Q_SLOTS:
    /// The server accepted the registration sent from this form; an answer
    /// without one pending changes nothing.
    void onRegisterSucceeded(bool active);
    /// The server refused the registration sent from this form; an answer
    /// without one pending changes nothing.
    void onRegisterFailed(const QString& reason);
    void on_createButton_clicked();
    void on_cancelButton_clicked();
    void on_ageCheckBox_stateChanged();
    void on_tcCheckBox_stateChanged();
    void on_loginEdit_textChanged();
    void on_emailEdit_textChanged();
    void on_passwordEdit_textChanged();
    void on_repeatPasswordEdit_textChanged();
    void on_loginEdit_editingFinished();
    void on_emailEdit_editingFinished();
    void on_passwordEdit_editingFinished();
    void on_repeatPasswordEdit_editingFinished();

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void retranslateOwnTexts();
    bool isFormValid() const;
    void updateCreateButton();
    void showUserNameMessage();
    void showEmailMessage();
    void showPasswordMessage();
    void showRepeatPasswordMessage();
    void setFieldsEnabled(bool enabled);

    bool userNameTouched = false;
    bool emailTouched = false;
    bool passwordTouched = false;
    bool repeatPasswordTouched = false;
    bool registered = false;
    /// A registration was sent and is unanswered; its wait cursor is set.
    bool registering = false;

    QLabel* header = nullptr;
    QLabel* userNameLabel = nullptr;
    QLineEdit* loginEdit = nullptr;
    QLabel* userNameValidationLabel = nullptr;
    QLabel* label_7 = nullptr;
    QLineEdit* emailEdit = nullptr;
    QLabel* emailValidationLabel = nullptr;
    QLabel* passwordLabel = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QLabel* passwordValidationLabel = nullptr;
    QLabel* label_4 = nullptr;
    QLineEdit* repeatPasswordEdit = nullptr;
    QLabel* repeatPasswordValidationLabel = nullptr;
    QCheckBox* ageCheckBox = nullptr;
    QCheckBox* tcCheckBox = nullptr;
    QLabel* tcUrl = nullptr;
    QPushButton* createButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
