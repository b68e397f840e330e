#include "EmbeddedWebPage.h"

#include "BridgedWebPage.h"
#include "GestureGate.h"
#include "JavascriptInterface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>


int EmbeddedWebPage::loadTimeLimitMs = 15000;

EmbeddedWebPage::EmbeddedWebPage(QWidget* parent)
    : QFrame(parent)
    , jsInterface(new JavascriptInterface(this))
{
    setObjectName(QStringLiteral("EmbeddedView"));
    setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    embeddedTopFrame = new QFrame(this);
    embeddedTopFrame->setObjectName(QStringLiteral("embeddedTopFrame"));
    embeddedTopFrame->setFrameShape(QFrame::NoFrame);
    embeddedTopFrame->setMinimumHeight(75);
    auto* vboxLayout1 = new QVBoxLayout(embeddedTopFrame);
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));
    vboxLayout1->setSpacing(0);
    vboxLayout1->setContentsMargins(-1, 0, -1, 0);
    title = new QLabel(embeddedTopFrame);
    title->setObjectName(QStringLiteral("title"));
    title->setAlignment(Qt::AlignCenter);
    vboxLayout1->addWidget(title);
    vboxLayout1->addStretch();
    subTitle = new QLabel(embeddedTopFrame);
    subTitle->setObjectName(QStringLiteral("subTitle"));
    vboxLayout1->addWidget(subTitle);
    vboxLayout->addWidget(embeddedTopFrame);

    webView = new QWebEngineView(this);
    webView->setObjectName(QStringLiteral("webView"));
    // The two pages count their documents each on its own.
    gate = new GestureGate(webView, [this] {
        return standInPage && webView->page() == standInPage ? 2 * standInPage->documentNumber() + 1
                                                             : 2 * webPage->documentNumber();
    });
    webPage = new BridgedWebPage(jsInterface, webView);
    webView->setPage(webPage);
    vboxLayout->addWidget(webView, 1);
    retranslateUi();

    connect(webPage, &BridgedWebPage::loadEnded, this, &EmbeddedWebPage::onLoadFinished);
    // A host that takes the connection and never answers would leave the
    // tab blank for good.
    loadLimit = new QTimer(this);
    loadLimit->setSingleShot(true);
    connect(loadLimit, &QTimer::timeout, this, &EmbeddedWebPage::standIn);
    connect(webPage, &BridgedWebPage::documentStarted, loadLimit, &QTimer::stop);
    // However long its host took, the page's document takes the fallback's place.
    connect(webPage, &BridgedWebPage::documentStarted, this, &EmbeddedWebPage::showPage);
    bridge(jsInterface, webPage);

    // The page is drawn on the tab's own colour. Never a see-through page:
    // the engine draws such a page above every other widget of the window,
    // message boxes included.
    setPageColor(QColor(0xf6, 0xec, 0xd2));

    connect(webPage, &BridgedWebPage::javaScriptWindowObjectCleared, this,
        &EmbeddedWebPage::onJavaScriptWindowObjectCleared);
    webView->setUrl(QUrl(QStringLiteral("about:blank")));
}

void EmbeddedWebPage::bridge(JavascriptInterface* object, BridgedWebPage* page)
{
    // Each of these opens something or moves the window: the player must
    // have asked for it on this page, shown (not the one out of sight).
    const auto asked = [this, page] { return webView->page() == page && gate->take(); };
    connect(object, &JavascriptInterface::onJoinTable, this, [this, asked](const QString& path) {
        if (asked())
            Q_EMIT joinTable(path);
    });
    connect(object, &JavascriptInterface::onDisplayTab, this, [this, asked](const QString& tab) {
        if (asked())
            Q_EMIT displayTab(tab);
    });
    // A "client://" link in the page is a request to the program, like launchBrowser().
    const auto launch = [this, asked](const QString& url) {
        if (asked())
            Q_EMIT launchBrowser(url);
    };
    connect(object, &JavascriptInterface::onLaunchBrowser, this, launch);
    connect(page, &BridgedWebPage::clientLinkClicked, this, launch);
    connect(object, &JavascriptInterface::onDisplayTournament, this, [this, asked](qint32 id) {
        if (asked())
            Q_EMIT displayTournament(id);
    });
}

EmbeddedWebPage::~EmbeddedWebPage()
{
    // The view and its page go before the object they publish.
    delete webView;
}

void EmbeddedWebPage::retranslateUi()
{
    // The form's own texts belong to the form's translation context.
    title->setText(QCoreApplication::translate("EmbeddedView", "TextLabel"));
    subTitle->setText(QCoreApplication::translate("EmbeddedView", "Players with the highest accumulated scores."));
}

QColor EmbeddedWebPage::pageColor() const
{
    return webPage->backgroundColor();
}

void EmbeddedWebPage::setPageColor(const QColor& color)
{
    QColor opaque = color;
    opaque.setAlpha(255);
    webPage->setBackgroundColor(opaque);
    if (standInPage)
        standInPage->setBackgroundColor(opaque);
}

void EmbeddedWebPage::setHost(const QString& host)
{
    jsInterface->setMahjongHost(host);
    if (standInInterface)
        standInInterface->setMahjongHost(host);
}

void EmbeddedWebPage::load(const QUrl& url)
{
    pageUrl = url;
    showPage();
    webPage->open(url);
    loadLimit->start(loadTimeLimitMs);
}

void EmbeddedWebPage::showPage()
{
    standingIn = false;
    if (webView->page() != webPage)
        webView->setPage(webPage);
}

void EmbeddedWebPage::setFallbackUrl(const QUrl& url)
{
    fallbackUrl = url;
}

void EmbeddedWebPage::onLoadFinished(bool ok)
{
    loadLimit->stop();
    // A page that failed behind the fallback leaves the fallback shown; one
    // that ended with a page to show (no document of its own: the one
    // before) shows it.
    if (ok && standingIn)
        showPage();
    else if (!ok && !standingIn)
        QTimer::singleShot(0, this, &EmbeddedWebPage::onError);
}

void EmbeddedWebPage::standIn()
{
    if (!fallbackUrl.isValid() || pageUrl == fallbackUrl || webPage->url() == fallbackUrl)
        return;
    if (!standInPage) {
        standInInterface = new JavascriptInterface(this);
        standInInterface->setMahjongHost(jsInterface->getMahjongHost());
        standInPage = new BridgedWebPage(standInInterface, webView);
        standInPage->setBackgroundColor(webPage->backgroundColor());
        bridge(standInInterface, standInPage);
    }
    // The page's load goes on out of sight: its host is asked once.
    standingIn = true;
    standInPage->open(fallbackUrl);
    webView->setPage(standInPage);
}

void EmbeddedWebPage::onError()
{
    // The fallback is shown once; when it fails too, the failure stays.
    loadLimit->stop();
    standingIn = false;
    if (fallbackUrl.isValid() && webView->url() != fallbackUrl)
        webPage->open(fallbackUrl);
}

void EmbeddedWebPage::onJavaScriptWindowObjectCleared()
{
    // The web page publishes jsInterface as "client" to each document it
    // may trust from that document's start; nothing else to do here.
}

void EmbeddedWebPage::changeEvent(QEvent* e)
{
    // The header's texts are the owner's once it has set them (the main
    // window re-sets them for the new language before its children hear of
    // it): the form's placeholders are not put back.
    if (e->type() == QEvent::LanguageChange)
        webPage->profile()->setHttpAcceptLanguage(QLocale().bcp47Name());
    QFrame::changeEvent(e);
}
