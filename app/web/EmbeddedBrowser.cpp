#include "EmbeddedBrowser.h"

#include "BridgedWebPage.h"
#include "JavascriptInterface.h"
#include "PictureFile.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

EmbeddedBrowser::EmbeddedBrowser(QWidget* parent)
    : MahjongDialog(parent, true)
    , jsInterface(new JavascriptInterface(this))
{
    // The frame keeps the dialog frame's object name, which the style sheet
    // draws the border and title bar by.
    form = new QFrame;
    form->setObjectName(QStringLiteral("EmbeddedBrowserForm"));
    form->setMinimumSize(0, 0);
    form->setFrameShadow(QFrame::Raised);
    form->setLineWidth(0);
    auto* verticalLayout = new QVBoxLayout(form);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    webView = new QWebEngineView(form);
    webView->setObjectName(QStringLiteral("webView"));
    webView->setFixedSize(800, 520);
    webPage = new BridgedWebPage(jsInterface, webView);
    webView->setPage(webPage);
    verticalLayout->addWidget(webView);

    bottomFrame = new QFrame(form);
    bottomFrame->setObjectName(QStringLiteral("bottomFrame"));
    bottomFrame->setFrameShadow(QFrame::Raised);
    bottomFrame->setLineWidth(0);
    bottomFrameLayout = new QHBoxLayout(bottomFrame);
    bottomFrameLayout->setObjectName(QStringLiteral("bottomFrameLayout"));
    bottomFrameLayout->setContentsMargins(0, 0, 0, 0);
    url = new QLineEdit(bottomFrame);
    url->setObjectName(QStringLiteral("url"));
    url->setReadOnly(true);
    bottomFrameLayout->addWidget(url);
    progressBar = new QProgressBar(bottomFrame);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setMinimumWidth(100);
    progressBar->setValue(24);
    progressBar->setTextVisible(false);
    bottomFrameLayout->addWidget(progressBar);
    encryptedIcon = new QLabel(bottomFrame);
    encryptedIcon->setObjectName(QStringLiteral("encryptedIcon"));
    encryptedIcon->setFixedSize(32, 32);
    bottomFrameLayout->addWidget(encryptedIcon);
    verticalLayout->addWidget(bottomFrame);
    retranslateUi();

    form->setWindowTitle(QString());
    setContentWidget(form);

    connect(webView, &QWebEngineView::titleChanged, this, &EmbeddedBrowser::onTitleChanged);
    connect(webView, &QWebEngineView::loadProgress, this, &EmbeddedBrowser::onLoadProgress);
    connect(webView, &QWebEngineView::loadStarted, this, &EmbeddedBrowser::onLoadStarted);
    connect(webPage, &BridgedWebPage::loadEnded, this, &EmbeddedBrowser::onLoadFinished);
    connect(webView, &QWebEngineView::urlChanged, this, &EmbeddedBrowser::onUrlChanged);
    // In the dialog the page may only close it; the other calls go nowhere.
    connect(jsInterface, &JavascriptInterface::onClose, this, &EmbeddedBrowser::close);
    connect(webPage, &BridgedWebPage::javaScriptWindowObjectCleared, this,
        &EmbeddedBrowser::onJavaScriptWindowObjectCleared);

    url->hide();
    bottomFrameLayout->insertStretch(0);
    webView->setUrl(QUrl(QStringLiteral("about:blank")));
}

EmbeddedBrowser::~EmbeddedBrowser()
{
    // The view and its page go before the object they publish.
    delete webView;
}

void EmbeddedBrowser::retranslateUi()
{
    progressBar->setFormat(tr("%p%"));
}

void EmbeddedBrowser::load(const QUrl& address)
{
    webPage->open(address);
    url->setText(address.toString());
}

void EmbeddedBrowser::onTitleChanged(const QString& title)
{
    // A page without a title of its own reports its address ("about:blank"
    // while the first page loads), an http one without its scheme: the title
    // bar then stays empty.
    const QUrl address = webView->url();
    const QString bare = address.toString(QUrl::RemoveScheme).mid(2);
    if (title == address.toString() || title == address.toDisplayString() || title == bare
        || title == address.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash).mid(2)
        || title.startsWith(QLatin1String("about:")))
        setWindowTitle(QString());
    else
        setWindowTitle(title);
}

void EmbeddedBrowser::onLoadProgress(int progress)
{
    progressBar->setValue(progress);
}

void EmbeddedBrowser::onLoadStarted()
{
    progressBar->show();
}

void EmbeddedBrowser::onLoadFinished(bool ok)
{
    progressBar->hide();
    if (!ok)
        QTimer::singleShot(0, this, &EmbeddedBrowser::onError);
}

void EmbeddedBrowser::onError()
{
    // The error page itself failing must not start a loop.
    if (webView->url() != QUrl(QLatin1String(errorPage)))
        load(QUrl(QLatin1String(errorPage)));
}

void EmbeddedBrowser::onUrlChanged(const QUrl& address)
{
    if (address.scheme() == QLatin1String("https")) {
        encryptedIcon->setPixmap(PictureFile::pixmap(QStringLiteral("resources:/safe.png")));
        encryptedIcon->setToolTip(tr("Secure connection"));
    } else {
        encryptedIcon->setPixmap(PictureFile::pixmap(QStringLiteral("resources:/unsafe.png")));
        encryptedIcon->setToolTip(tr("Insecure connection"));
    }
    url->setText(address.toString());
}

void EmbeddedBrowser::onJavaScriptWindowObjectCleared()
{
    // The page publishes jsInterface as "client" to every document it may
    // trust, from that document's start.
}

void EmbeddedBrowser::closeEvent(QCloseEvent* event)
{
    Q_EMIT jsInterface->closeEvent();
    MahjongDialog::closeEvent(event);
}

void EmbeddedBrowser::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        webPage->profile()->setHttpAcceptLanguage(QLocale().bcp47Name());
        retranslateUi();
    }
    MahjongDialog::changeEvent(event);
}
