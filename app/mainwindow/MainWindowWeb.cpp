// The service's web pages: address templates, where a page opens, the
// "client://" links of the program's own pages, and the server's answers to
// page requests.
#include "MainWindow.h"

#include "EmbeddedBrowser.h"
#include "EmbeddedWebPage.h"
#include "ModelessMsgBox.h"
#include "TranslationsManager.h"
#include "UPushButton.h"
#include "UTabWidget.h"

#include <QDebug>
#include <QDesktopServices>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QUrlQuery>

namespace {

constexpr int systemBrowser = 0;
constexpr int browserDialog = 1;

const char welcomeFallback[] = "localwww:/welcome.html";
const char howtoFallback[] = "localwww:/howto.html";
const char supportDefault[] = "http://{host}/support.html";
const char rulesDefault[] = "http://{host}/about_rules.html";

}

QUrl MainWindow::expandUrlTemplate(const QString& url, const QString& defaultUrl) const
{
    QString text = url.isEmpty() ? defaultUrl : url;
    text.replace(QLatin1String("{host}"), httpHost);
    text.replace(QLatin1String("{locale}"), translations != nullptr ? translations->language() : QString());
    text.replace(QLatin1String("{sku}"), QLatin1String("parlor7"));
    text.replace(QLatin1String("{partnerId}"), QString::number(ConnectionManager::partnerId));
    return QUrl(text, QUrl::TolerantMode);
}

void MainWindow::openUrl(const QUrl& url, int defaultTarget)
{
    if (url.isEmpty()) {
        // The server named no address, and the program has none of its own
        // for the page: the click would open nothing without a word.
        qWarning() << "no address for a web page";
        plainText(ModelessMsgBox::information(
            this, [] { return ModelessMsgBox::Wording{tr("Web page"), tr("This page is not available.")}; }));
        return;
    }
    int target = defaultTarget;
    const QString requested = QUrlQuery(url).queryItemValue(QStringLiteral("_Target"));
    if (requested == QLatin1String("internal"))
        target = browserDialog;
    else if (requested == QLatin1String("external"))
        target = systemBrowser;

    if (target == systemBrowser) {
        // The desktop starts whatever handles a scheme: from a server's reply
        // only web addresses go there, never a local file or another program.
        const QString scheme = url.scheme();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            qWarning() << "not opening" << url.toDisplayString() << "in the system browser";
            return;
        }
        // Without a desktop browser the user still gets the address.
        if (!QDesktopServices::openUrl(url))
            showAddress(url);
    } else if (target == browserDialog) {
        auto* browser = findChild<EmbeddedBrowser*>();
        if (browser == nullptr)
            browser = new EmbeddedBrowser(this);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->load(url);
        browser->showDialog(true);
    }
}

void MainWindow::showAddress(const QUrl& url)
{
    const QString address = url.toString();
    qWarning() << "no web browser could be started for" << address;
    if (addressBox != nullptr) {
        // One such box at a time: it shows the address asked for last.
        if (auto* field = addressBox->findChild<QLineEdit*>(QStringLiteral("addressField"))) {
            field->setText(address);
            field->setCursorPosition(0);
            field->selectAll();
        }
        addressBox->raise();
        return;
    }
    auto* box = plainText(ModelessMsgBox::information(this, [] {
        return ModelessMsgBox::Wording{
            tr("Web page"), tr("No web browser could be started. Open this address in your web browser:")};
    }));
    if (box == nullptr)
        return; // its kind fills the screen already
    auto* field = new QLineEdit(address, box->contentWidget());
    field->setObjectName(QStringLiteral("addressField"));
    field->setReadOnly(true);
    field->setMinimumWidth(qMin(width() - 80, field->fontMetrics().horizontalAdvance(address) + 24));
    field->setCursorPosition(0);
    if (auto* layout = qobject_cast<QVBoxLayout*>(box->contentWidget()->layout()))
        layout->insertWidget(1, field);
    box->adjustSize();
    box->centerOnParent();
    field->selectAll();
    field->setFocus();
    addressBox = box;
}

void MainWindow::onLaunchBrowser(const QString& url)
{
    const auto starts = [&url](const char* prefix) { return url.startsWith(QLatin1String(prefix)); };
    if (starts("http://") || starts("https://")) {
        openUrl(expandUrlTemplate(url, QString()), systemBrowser);
    } else if (starts("client://my-account")) {
        ui.accountButton->setEnabled(false);
        connectionManager.query_web_page(WebPageRequest::ACCOUNT);
    } else if (starts("client://help")) {
        connectionManager.query_web_page(WebPageRequest::HELP);
    } else if (starts("client://support")) {
        connectionManager.query_web_page(WebPageRequest::SUPPORT);
    } else if (starts("client://rules/classic")) {
        connectionManager.query_web_page(WebPageRequest::RULES_CLASSIC);
    } else if (starts("client://rules/riichi")) {
        connectionManager.query_web_page(WebPageRequest::RULES_RIICHI);
    } else if (starts("client://rules/international")) {
        connectionManager.query_web_page(WebPageRequest::RULES_INTERNATIONAL);
    } else if (starts("client://externsupport")) {
        connectionManager.query_web_page(WebPageRequest::SUPPORT);
    }
}

void MainWindow::onDisplayTab(const QString& tab)
{
    QWidget* page = tabsByName.value(tab);
    if (page == nullptr)
        return;
    const int index = ui.mainTabs->indexOf(page);
    if (index >= 0)
        ui.mainTabs->setCurrentIndex(index);
}

void MainWindow::onHelp()
{
    connectionManager.query_web_page(WebPageRequest::HELP);
}

void MainWindow::onSupport()
{
    connectionManager.query_web_page(WebPageRequest::SUPPORT);
}

void MainWindow::onExternSupport()
{
    connectionManager.query_web_page(WebPageRequest::SUPPORT);
}

void MainWindow::onAccount()
{
    ui.accountButton->setEnabled(false);
    connectionManager.query_web_page(WebPageRequest::ACCOUNT);
}

void MainWindow::onResetPassword()
{
    connectionManager.query_web_page(WebPageRequest::PASSWORD_RESET);
}

void MainWindow::onWebPage(WebPageRequest::enum_t request, const QString& url)
{
    switch (request) {
    case WebPageRequest::REGISTERED:
        if (!url.isEmpty())
            openUrl(expandUrlTemplate(url, QString()), systemBrowser);
        break;
    case WebPageRequest::ACCOUNT:
        ui.accountButton->setEnabled(true);
        openUrl(expandUrlTemplate(url, QString()), browserDialog);
        break;
    case WebPageRequest::CREATE_ACCOUNT:
        ui.accountButton->setEnabled(true);
        openUrl(expandUrlTemplate(url, QString()), systemBrowser);
        break;
    case WebPageRequest::START_PAGE:
        if (welcomePage != nullptr) {
            welcomePage->setFallbackUrl(QUrl(QLatin1String(welcomeFallback)));
            welcomePage->load(expandUrlTemplate(url, QLatin1String(welcomeFallback)));
        }
        break;
    case WebPageRequest::HOWTO:
        if (howtoPage != nullptr) {
            howtoPage->setFallbackUrl(QUrl(QLatin1String(howtoFallback)));
            howtoPage->load(expandUrlTemplate(url, QLatin1String(howtoFallback)));
        }
        break;
    case WebPageRequest::SUPPORT:
        openUrl(expandUrlTemplate(url, QLatin1String(supportDefault)), systemBrowser);
        break;
    case WebPageRequest::HELP:
    case WebPageRequest::RULES_CLASSIC:
    case WebPageRequest::RULES_INTERNATIONAL:
    case WebPageRequest::RULES_RIICHI:
        openUrl(expandUrlTemplate(url, QLatin1String(rulesDefault)), systemBrowser);
        break;
    case WebPageRequest::CREATE_ACCOUNT_TERMS:
    case WebPageRequest::PASSWORD_RESET:
        openUrl(expandUrlTemplate(url, QString()), systemBrowser);
        break;
    }
}
