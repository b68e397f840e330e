#pragma once

#include "MahjongDialog.h"

#include <QUrl>

class BridgedWebPage;
class JavascriptInterface;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QWebEngineView;

/// The program's own browser dialog for service pages that open inside the
/// program. Page script may only close it through the object "client"; a
/// page that fails to load is replaced by the local error page.
class EmbeddedBrowser : public MahjongDialog
{
    Q_OBJECT

public:
    static constexpr char errorPage[] = "localwww:/error.html";

    explicit EmbeddedBrowser(QWidget* parent);
    ~EmbeddedBrowser() override;

    void load(const QUrl& url);

    QWebEngineView* view() const { return webView; }
    BridgedWebPage* page() const { return webPage; }
    QLabel* securityIcon() const { return encryptedIcon; }
    QProgressBar* progress() const { return progressBar; }

public Q_SLOTS:
    void onTitleChanged(const QString& title);
    void onLoadProgress(int progress);
    void onUrlChanged(const QUrl& url);
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onError();
    void onJavaScriptWindowObjectCleared();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    JavascriptInterface* jsInterface;
    QFrame* form;
    QWebEngineView* webView;
    BridgedWebPage* webPage;
    QFrame* bottomFrame;
    QHBoxLayout* bottomFrameLayout;
    QLineEdit* url;
    QProgressBar* progressBar;
    QLabel* encryptedIcon;
};
