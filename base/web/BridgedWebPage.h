#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

#include <memory>

class JavascriptInterface;
namespace ModelessMsgBox {
class MsgBox;
}
class QWebChannel;
class QWebEngineLoadingInfo;
class QWebEngineUrlRequestJob;

/// The one page type of every web view of the program: a page may say and
/// ask only so much. Its console goes to the debug log, one short line a
/// message, at most 20 lines in 10 seconds; a link of a scheme that no web
/// view handles is refused, never handed to the desktop. Its alert and
/// confirm boxes are shown only when the top document of a trusted address
/// (one of the program's local pages or a page of the service's web host)
/// asks for them itself, as boxes inside the page's own part of the window,
/// `maxBoxesAMinute` at most, their texts as plain text; every other box
/// (of a frame, of another host, a prompt, one too many) is not shown, noted
/// in the debug log a few a minute, a confirm answered "cancel" and a prompt
/// given no text.
///
/// With an object, the page publishes it as "client" to the script of each
/// trusted top document from that document's start (its address known and
/// trusted), whatever its pictures and frames still load, until another
/// document takes its place; "client://" navigations such a document
/// starts itself are passed out as requests instead of being loaded (not
/// those a frame of another origin inside it starts). The program's own script
/// beside the document (in a script world the page's script cannot reach)
/// carries the calls, each message at most `maxMessageLength` characters
/// and `maxMessagesASecond` of them, each one the channel reads, so that any
/// other is refused before the program reads it, a count of them logged a
/// second. The object is there from the document's first script on, its
/// calls held until the channel is up (`maxHeldCalls` of them). A call
/// refused, past those held or by the program's script, throws in the
/// page's script and is counted in that line.
class BridgedWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    /// The longest message of the channel, in characters: twice the
    /// longest address (`JavascriptInterface::maxAddressLength`, each
    /// character of which the message may have to escape) and the call
    /// around it.
    static constexpr qsizetype maxMessageLength = 2 * 32768 + 1024;
    /// How many messages a document may send the program in a second; the
    /// others, and those the channel has no use for, are refused unread.
    static constexpr int maxMessagesASecond = 100;
    /// How many calls of the object a document may make before its channel is up.
    static constexpr int maxHeldCalls = 50;
    /// How many boxes a page may show in a minute.
    static constexpr int maxBoxesAMinute = 5;
    /// What of a box's text is shown, in characters and in lines.
    static constexpr qsizetype maxBoxText = 1000;
    static constexpr qsizetype maxBoxLines = 20;

    /// `object` may be null: the page then publishes nothing and its script
    /// never gets a channel.
    BridgedWebPage(JavascriptInterface* object, QObject* parent);
    ~BridgedWebPage() override;

    /// Whether the object is published to the document now shown.
    bool isBridgeOpen() const;
    /// Tells the top documents apart: changes whenever another one is shown,
    /// one brought back from the history too.
    quint64 documentNumber() const { return documents; }
    /// Loads an address the program chose (rather than the page).
    void open(const QUrl& url);

    /// Answers a request of the program's script beside a document (the
    /// document's start, a box it asks for, messages it refused) for the
    /// page it names; refuses one that names no page.
    static void answerBridgeRequest(QWebEngineUrlRequestJob* job);

Q_SIGNALS:
    /// A "client://" link was followed in the page.
    void clientLinkClicked(const QString& url);
    /// The object was published to the document now shown.
    void javaScriptWindowObjectCleared();
    /// A top document from the network or of the local pages began, at the
    /// address it gave; its pictures and frames may still be loading.
    void documentStarted(const QUrl& address);
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
    /// At most `lines` in each window of `windowMs`; the number left out is
    /// said in the debug log once the window is over, when it has a name.
    struct LineBudget
    {
        int lines;
        qint64 windowMs;
        QElapsedTimer window;
        int used = 0;
        int leftOut = 0;
        /// Whether one more may go now.
        bool take(const char* what);
    };

    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    /// Whether the document shown came from a trusted address.
    bool showsTrustedDocument() const;
    /// Says that the object is published once it is, for each document.
    void announceBridge();
    /// A new top document said where it is from; `trusted` when the engine
    /// said the same.
    void startDocument(const QUrl& address, bool trusted);
    /// Shows the box a trusted document asked for, and answers `job` when
    /// the player has answered it, or at once when it may not be shown.
    void askBox(bool confirm, const QUrl& address, bool trusted, const QString& text, QWebEngineUrlRequestJob* job);
    void noteDialog(const char* kind, const QUrl& origin, const QString& text);

    /// Owned by the page's owner; may go before the page does. Null for a
    /// page that publishes nothing.
    QPointer<JavascriptInterface> object;
    QWebChannel* channel = nullptr;
    /// Names the page in the requests of its script beside a document.
    QString key;
    /// The last top document that began was of a trusted address (the
    /// engine agreeing), and no other address has been shown since.
    bool trustedDocument = false;
    /// The publishing of the object to the document shown was announced.
    bool bridgeAnnounced = false;
    /// How many top documents have begun (or come back).
    quint64 documents = 0;
    /// The "client://" navigations the document shown started itself, not
    /// yet asked for by the engine: the last `maxOwnLinks` of them.
    struct OwnLink
    {
        QUrl url;
        quint64 document;
        bool operator==(const OwnLink&) const = default;
    };
    static constexpr qsizetype maxOwnLinks = 16;
    QList<OwnLink> ownLinks;
    /// The program has sent the page elsewhere: no box until the load ends.
    bool leaving = false;
    /// The boxes shown for the page, some perhaps answered or gone.
    QList<QPointer<ModelessMsgBox::MsgBox>> openBoxes;
    /// False once the page is going: a box's answer then finds its view going too.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    LineBudget console{20, 10000, {}};
    LineBudget dialogs{5, 60000, {}};
    LineBudget boxes{maxBoxesAMinute, 60000, {}};
    LineBudget refusals{1, 1000, {}};
};
