#pragma once

#include <QPointer>
#include <QWebEnginePage>

class JavascriptInterface;
class QWebChannel;

/// A web page that publishes the program object "client" to its script
/// through a web channel, but only while it shows one of the program's local
/// pages or a page of the service's web host. "client://" links are passed
/// out as requests instead of being loaded.
class BridgedWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BridgedWebPage(JavascriptInterface* object, QObject* parent);
    ~BridgedWebPage() override;

    /// Whether the object is published to the document now shown.
    bool isBridgeOpen() const { return bridgeOpen; }

Q_SIGNALS:
    /// A "client://" link was followed in the page.
    void clientLinkClicked(const QString& url);
    /// A new document is starting: the object is (re)published when allowed.
    void javaScriptWindowObjectCleared();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceID) override;

private:
    void updateBridge(const QUrl& url);

    /// Owned by the page's owner; may go before the page does.
    QPointer<JavascriptInterface> object;
    QWebChannel* channel;
    bool bridgeOpen = false;
};
