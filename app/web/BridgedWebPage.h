#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWebEnginePage>

class JavascriptInterface;
class QWebChannel;

/// A web page that publishes the program object "client" to its script
/// through a web channel, but only while it shows one of the program's local
/// pages or a page of the service's web host, from the end of its load until
/// the next navigation. "client://" links of such a page are passed out as
/// requests instead of being loaded. The page's console goes to the debug
/// log, one short line a message, at most 20 lines in 10 seconds.
class BridgedWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BridgedWebPage(JavascriptInterface* object, QObject* parent);
    ~BridgedWebPage() override;

    /// Whether the object is published to the document now shown.
    bool isBridgeOpen() const { return bridgeOpen; }
    /// Loads an address the program chose (rather than the page).
    void open(const QUrl& url);

Q_SIGNALS:
    /// A "client://" link was followed in the page.
    void clientLinkClicked(const QString& url);
    /// The object was published to the document now shown.
    void javaScriptWindowObjectCleared();
    /// A load ended; `ok` is false only when it left no page to show. A
    /// navigation that brings no document (a 204 answer, a download) keeps
    /// the page before it, which is no failure unless that page was blank.
    void loadEnded(bool ok);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;

private:
    void setBridgeOpen(bool open);
    /// Takes the object off the page and sets the channel up for a document of this address.
    void prepareFor(const QUrl& url);

    /// Owned by the page's owner; may go before the page does.
    QPointer<JavascriptInterface> object;
    QWebChannel* channel;
    /// The script world the channel's transport is given to in the next document.
    quint32 channelWorld;
    bool bridgeOpen = false;
    /// The console lines of the current window of time, and those left out.
    QElapsedTimer consoleWindow;
    int consoleLines = 0;
    int consoleLeftOut = 0;
};
