#include "CreateUserWindow.h"

#include "Utils.h"

#include <QApplication>
#include <QCheckBox>
#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

/// The form's own texts, in the form's context.
struct CreateUserForm
{
    Q_DECLARE_TR_FUNCTIONS(CreateUserForm)
};

const QString validPlaceholder = QStringLiteral(" ");
const char linkStyle[] =
    "font-family: Verdana; font-weight: bold; font-size: 12px; color: rgb(255,244,189); text-decoration: underline;";
constexpr int minUserName = 3;
constexpr int maxUserName = 16;
constexpr int minPassword = 6;
constexpr int maxPassword = 20;
constexpr int minimumAge = 18;

const QRegularExpression& emailPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^.+@[^\\.].*\\.[a-z]{2,}$"));
    return pattern;
}

QLineEdit* lineEdit(const char* name, QWidget* parent, QLineEdit::EchoMode echo)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(64);
    edit->setEchoMode(echo);
    return edit;
}

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

/// Caption above an inner layout of the field and its message.
void addFieldGroup(QVBoxLayout* form, const char* outerName, const char* innerName, QLabel* caption, QLineEdit* edit,
                   QLabel* message)
{
    auto* outer = new QVBoxLayout;
    outer->setObjectName(QLatin1String(outerName));
    outer->setSpacing(6);
    outer->addWidget(caption);
    auto* inner = new QVBoxLayout;
    inner->setObjectName(QLatin1String(innerName));
    inner->setSpacing(2);
    inner->addWidget(edit);
    inner->addWidget(message);
    outer->addLayout(inner);
    form->addLayout(outer);
}

}

CreateUserWindow::CreateUserWindow(QWidget* parent)
    : QFrame(parent)
{
    setupUi();
    connect(tcUrl, &QLabel::linkActivated, this, &CreateUserWindow::termsPressed);
    retranslateOwnTexts();
    for (QLabel* l : {userNameValidationLabel, emailValidationLabel, passwordValidationLabel,
                      repeatPasswordValidationLabel})
        l->setText(validPlaceholder);
    updateCreateButton();
}

CreateUserWindow::~CreateUserWindow() = default;

void CreateUserWindow::setupUi()
{
    setObjectName(QStringLiteral("CreateUserForm"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));

    header = label("header", this);
    vboxLayout->addWidget(header);
    userNameLabel = label("userNameLabel", this);
    loginEdit = lineEdit("loginEdit", this, QLineEdit::Normal);
    userNameValidationLabel = label("userNameValidationLabel", this);
    addFieldGroup(vboxLayout, "vboxLayout1", "vboxLayout2", userNameLabel, loginEdit, userNameValidationLabel);
    label_7 = label("label_7", this);
    emailEdit = lineEdit("emailEdit", this, QLineEdit::Normal);
    emailValidationLabel = label("emailValidationLabel", this);
    addFieldGroup(vboxLayout, "vboxLayout3", "vboxLayout4", label_7, emailEdit, emailValidationLabel);
    passwordLabel = label("passwordLabel", this);
    passwordEdit = lineEdit("passwordEdit", this, QLineEdit::Password);
    passwordValidationLabel = label("passwordValidationLabel", this);
    addFieldGroup(vboxLayout, "vboxLayout5", "vboxLayout6", passwordLabel, passwordEdit, passwordValidationLabel);
    label_4 = label("label_4", this);
    repeatPasswordEdit = lineEdit("repeatPasswordEdit", this, QLineEdit::Password);
    repeatPasswordValidationLabel = label("repeatPasswordValidationLabel", this);
    addFieldGroup(vboxLayout, "vboxLayout7", "vboxLayout8", label_4, repeatPasswordEdit,
                  repeatPasswordValidationLabel);

    ageCheckBox = new QCheckBox(this);
    ageCheckBox->setObjectName(QStringLiteral("ageCheckBox"));
    vboxLayout->addWidget(ageCheckBox);

    auto* hboxLayout = new QHBoxLayout;
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(0);
    tcCheckBox = new QCheckBox(this);
    tcCheckBox->setObjectName(QStringLiteral("tcCheckBox"));
    tcUrl = label("tcUrl", this);
    tcUrl->setTextFormat(Qt::RichText);
    tcUrl->setOpenExternalLinks(false);
    hboxLayout->addWidget(tcCheckBox);
    hboxLayout->addWidget(tcUrl);
    hboxLayout->addSpacerItem(new QSpacerItem(20, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addLayout(hboxLayout);

    auto* hboxLayout1 = new QHBoxLayout;
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    createButton = new QPushButton(this);
    createButton->setObjectName(QStringLiteral("createButton"));
    createButton->setAutoDefault(true);
    cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAutoDefault(true);
    hboxLayout1->addWidget(createButton);
    hboxLayout1->addSpacerItem(new QSpacerItem(20, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    hboxLayout1->addWidget(cancelButton);
    vboxLayout->addLayout(hboxLayout1);

    setTabOrder(loginEdit, emailEdit);
    setTabOrder(emailEdit, passwordEdit);
    setTabOrder(passwordEdit, repeatPasswordEdit);
    setTabOrder(repeatPasswordEdit, ageCheckBox);
    setTabOrder(ageCheckBox, tcCheckBox);
    setTabOrder(tcCheckBox, createButton);
    setTabOrder(createButton, cancelButton);
    connect(emailEdit, &QLineEdit::returnPressed, passwordEdit, qOverload<>(&QWidget::setFocus));
    connect(passwordEdit, &QLineEdit::returnPressed, repeatPasswordEdit, qOverload<>(&QWidget::setFocus));
    connect(repeatPasswordEdit, &QLineEdit::returnPressed, createButton, qOverload<>(&QWidget::setFocus));

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void CreateUserWindow::retranslateUi()
{
    header->setText(CreateUserForm::tr("Create New User"));
    userNameLabel->setText(CreateUserForm::tr("User name"));
    label_7->setText(CreateUserForm::tr("Email"));
    passwordLabel->setText(CreateUserForm::tr("Password"));
    label_4->setText(CreateUserForm::tr("Repeat Password"));
    createButton->setText(CreateUserForm::tr("Create User"));
    cancelButton->setText(CreateUserForm::tr("Cancel"));
}

void CreateUserWindow::retranslateOwnTexts()
{
    userNameLabel->setText(tr("User name"));
    passwordLabel->setText(tr("Password"));
    ageCheckBox->setText(tr("I'm over %L1 years old").arg(minimumAge));
    tcUrl->setText(tr("I accept the <a style=\"%1\" href=\"#terms\">terms and conditions</a>")
                       .arg(QLatin1String(linkStyle)));
}

void CreateUserWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        retranslateOwnTexts();
    }
    QFrame::changeEvent(event);
}

bool CreateUserWindow::isValidUserName(const QString& name)
{
    const qsizetype length = name.trimmed().size();
    // A name the login cannot carry would register an account that can
    // never log in.
    return length >= minUserName && length <= maxUserName && isLatin1Text(name);
}

bool CreateUserWindow::isValidEmail(const QString& email)
{
    return emailPattern().match(email.trimmed()).hasMatch();
}

bool CreateUserWindow::isValidPassword(const QString& password)
{
    return password.size() >= minPassword && password.size() <= maxPassword;
}

bool CreateUserWindow::isFormValid() const
{
    return isValidUserName(loginEdit->text()) && isValidEmail(emailEdit->text())
        && isValidPassword(passwordEdit->text()) && repeatPasswordEdit->text() == passwordEdit->text()
        && ageCheckBox->checkState() == Qt::Checked && tcCheckBox->checkState() == Qt::Checked;
}

void CreateUserWindow::updateCreateButton()
{
    createButton->setEnabled(isFormValid());
}

void CreateUserWindow::showUserNameMessage()
{
    userNameTouched = true;
    const QString name = loginEdit->text();
    userNameValidationLabel->setText(isValidUserName(name) ? validPlaceholder
                                     : !isLatin1Text(name)
                                         ? tr("User name may hold only Western European letters, digits and signs")
                                         : tr("User name must contain between %1 and %2 characters")
                                               .arg(minUserName)
                                               .arg(maxUserName));
}

void CreateUserWindow::showEmailMessage()
{
    emailTouched = true;
    emailValidationLabel->setText(isValidEmail(emailEdit->text()) ? validPlaceholder
                                                                  : QStringLiteral("Email address is invalid"));
}

void CreateUserWindow::showPasswordMessage()
{
    passwordTouched = true;
    passwordValidationLabel->setText(isValidPassword(passwordEdit->text())
                                         ? validPlaceholder
                                         : tr("Password must contain between %1 and %2 characters")
                                               .arg(minPassword)
                                               .arg(maxPassword));
}

void CreateUserWindow::showRepeatPasswordMessage()
{
    repeatPasswordTouched = true;
    repeatPasswordValidationLabel->setText(repeatPasswordEdit->text() == passwordEdit->text()
                                               ? validPlaceholder
                                               : tr("Repeated password doesn't match"));
}

void CreateUserWindow::on_loginEdit_textChanged()
{
    updateCreateButton();
    if (userNameTouched)
        showUserNameMessage();
}

void CreateUserWindow::on_emailEdit_textChanged()
{
    updateCreateButton();
    if (emailTouched)
        showEmailMessage();
}

void CreateUserWindow::on_passwordEdit_textChanged()
{
    updateCreateButton();
    if (passwordTouched) {
        showPasswordMessage();
        if (repeatPasswordTouched)
            showRepeatPasswordMessage();
    }
}

void CreateUserWindow::on_repeatPasswordEdit_textChanged()
{
    updateCreateButton();
    if (repeatPasswordTouched) {
        showRepeatPasswordMessage();
        if (passwordTouched)
            showPasswordMessage();
    }
}

void CreateUserWindow::on_loginEdit_editingFinished()
{
    if (userNameTouched || !loginEdit->text().isEmpty())
        showUserNameMessage();
}

void CreateUserWindow::on_emailEdit_editingFinished()
{
    if (emailTouched || !emailEdit->text().isEmpty())
        showEmailMessage();
}

void CreateUserWindow::on_passwordEdit_editingFinished()
{
    if (passwordTouched || !passwordEdit->text().isEmpty())
        showPasswordMessage();
}

void CreateUserWindow::on_repeatPasswordEdit_editingFinished()
{
    if (repeatPasswordTouched || !repeatPasswordEdit->text().isEmpty())
        showRepeatPasswordMessage();
}

void CreateUserWindow::on_ageCheckBox_stateChanged()
{
    updateCreateButton();
}

void CreateUserWindow::on_tcCheckBox_stateChanged()
{
    updateCreateButton();
}

void CreateUserWindow::setFieldsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(loginEdit), static_cast<QWidget*>(passwordEdit),
                       static_cast<QWidget*>(repeatPasswordEdit), static_cast<QWidget*>(emailEdit)})
        w->setEnabled(enabled);
}

void CreateUserWindow::on_createButton_clicked()
{
    if (!isFormValid())
        return;
    createButton->setEnabled(false);
    cancelButton->setEnabled(false);
    registering = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setFieldsEnabled(false);
    // The server gets the address the way the check judged it.
    Q_EMIT registerUser(loginEdit->text().trimmed(), passwordEdit->text(), emailEdit->text().trimmed());
}

void CreateUserWindow::on_cancelButton_clicked()
{
    Q_EMIT cancelPressed();
    // Only this form's own wait cursor is taken back: another one belongs to
    // a request still under way elsewhere.
    if (registering) {
        registering = false;
        QApplication::restoreOverrideCursor();
    }
}

void CreateUserWindow::onRegisterSucceeded(bool active)
{
    if (!registering) {
        // A repeated or unasked answer must not log in twice or take back a
        // wait cursor that is not this form's.
        qWarning() << "registration answer without a registration under way";
        return;
    }
    registering = false;
    qDebug() << "new user successfully registered!";
    if (active) {
        registered = true;
        Q_EMIT doLogin(loginEdit->text().trimmed(), passwordEdit->text());
    } else {
        hide();
    }
    QApplication::restoreOverrideCursor();
}

void CreateUserWindow::onRegisterFailed(const QString& reason)
{
    if (!registering) {
        qWarning() << "registration refusal without a registration under way";
        return;
    }
    registering = false;
    qDebug() << "failed registering new user!";
    QApplication::restoreOverrideCursor();
    // The box runs its own event loop, in which the window (and with it the
    // box, its child) may go: neither lives on this stack frame.
    const QPointer<CreateUserWindow> self(this);
    const QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Critical, tr("Register User"), reason,
                                                      QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->exec();
    if (self.isNull())
        return;
    delete box.data();
    setFieldsEnabled(true);
    createButton->setEnabled(true);
    cancelButton->setEnabled(true);
}
