#pragma once

#include <QColor>
#include <QFrame>
#include <QUrl>

class BridgedWebPage;
class GestureGate;
class JavascriptInterface;
class QLabel;
class QTimer;
class QWebEngineView;

/// A main window tab that shows one web page (the start page or the how-to
/// page) under a header. The page's script reaches the program through the
/// object "client"; what it asks for goes out only while the tab is shown,
/// once per click or key press of the player in the page. A page that fails
/// to load is replaced by the fallback page once; while one whose host shows
/// no document within `loadTimeLimitMs` goes on loading, the fallback stands
/// in (a page of its own in the view) until the page comes.
class EmbeddedWebPage : public QFrame
{
    Q_OBJECT
    /// The colour under the page, opaque: the style sheet sets the tab pane's.
    Q_PROPERTY(QColor pageColor READ pageColor WRITE setPageColor)

public:
    /// How long a page loaded may take to show its document (its pictures
    /// may come later) before the fallback page stands in. Tests shorten it.
    static int loadTimeLimitMs;

    explicit EmbeddedWebPage(QWidget* parent);
    ~EmbeddedWebPage() override;

    /// The game server host that page script reads as client.mahjongHost.
    void setHost(const QString& host);
    void load(const QUrl& url);
    void setFallbackUrl(const QUrl& url);
    QLabel* titleLabel() const { return title; }
    QLabel* subTitleLabel() const { return subTitle; }
    QWebEngineView* view() const { return webView; }
    QColor pageColor() const;
    void setPageColor(const QColor& color);
    BridgedWebPage* page() const { return webPage; }

Q_SIGNALS:
    void displayTab(const QString& tab);
    void joinTable(const QString& adress);
    void launchBrowser(const QString& adress);
    void displayTournament(qint32 tournamentId);

public Q_SLOTS:
    void onLoadFinished(bool ok);
    void onError();
    void onJavaScriptWindowObjectCleared();

protected:
    void changeEvent(QEvent* e) override;

private:
    void retranslateUi();

    /// The fallback page shows in place of the page asked for, whose load
    /// goes on.
    void standIn();
    /// The view shows the page asked for again.
    void showPage();
    /// What `object`, published in `page`, asks for goes out through the gate.
    void bridge(JavascriptInterface* object, BridgedWebPage* page);

    JavascriptInterface* jsInterface;
    QUrl fallbackUrl;
    /// The page last asked for.
    QUrl pageUrl;
    /// The view shows the fallback in place of a page too slow to come.
    bool standingIn = false;
    QFrame* embeddedTopFrame;
    QLabel* title;
    QLabel* subTitle;
    QWebEngineView* webView;
    GestureGate* gate;
    BridgedWebPage* webPage;
    /// Shows the fallback while the page asked for is slow to come, with an
    /// object of its own; made the first time it is needed.
    JavascriptInterface* standInInterface = nullptr;
    BridgedWebPage* standInPage = nullptr;
    /// Runs from a load until its document starts or the load ends.
    QTimer* loadLimit;
};
