#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWebEnginePage>

#include <memory>

class JavascriptInterface;
class QWebChannel;
class QWebEngineLoadingInfo;

/// The one page type of every web view of the program: a page may say and
/// ask only so much. Its console goes to the debug log, one short line a
/// message, at most 20 lines in 10 seconds; its alert, confirm and prompt
/// boxes are never shown (each is noted in the debug log, a few a minute, a
/// confirm is answered "cancel" and a prompt gets no text); a link of a
/// scheme that no web view handles is refused, never handed to the desktop.
///
/// With an object, the page publishes it as "client" to its script through
/// a web channel, but only while it shows one of the program's local pages
/// or a page of the service's web host, from the end of the load of such a
/// document until the next navigation; the channel's transport reaches only
/// such a document, once it is there. "client://" links of such a page are
/// passed out as requests instead of being loaded.
class BridgedWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    /// `object` may be null: the page then publishes nothing and its script
    /// never gets a channel.
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
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
        QString* result) override;

private:
    /// At most `lines` log lines in each window of `windowMs`; the number
    /// left out is said once the window is over.
    struct LineBudget
    {
        int lines;
        qint64 windowMs;
        QElapsedTimer window;
        int used = 0;
        int leftOut = 0;
        /// Whether one more line may go to the log now.
        bool take(const char* what);
    };

    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    /// Whether the document shown came from a trusted address.
    bool showsTrustedDocument() const;
    /// Publishes the object to the trusted document shown, once it has
    /// confirmed its address.
    void openBridge();
    /// Takes the object and the transport off the document shown, and
    /// forgets an opening under way.
    void closeBridge();
    void noteDialog(const char* kind, const QUrl& origin, const QString& text);

    /// Owned by the page's owner; may go before the page does. Null for a
    /// page that publishes nothing.
    QPointer<JavascriptInterface> object;
    QWebChannel* channel = nullptr;
    bool bridgeOpen = false;
    /// Counts the openings asked for and the closings: an answer of the
    /// document is for the latest opening only.
    quint64 bridgeGeneration = 0;
    /// False once the page is going: the engine answers scripts under way then.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    /// The last load that brought a document was of a trusted address, and
    /// no other address has been shown since.
    bool trustedDocument = false;
    LineBudget console{20, 10000, {}};
    LineBudget dialogs{5, 60000, {}};
};
