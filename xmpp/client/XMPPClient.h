#pragma once

#include "XMPPDataForm.h"
#include "XMPPJid.h"
#include "XMPPMessage.h"
#include "XMPPPresence.h"
#include "XMPPVCard.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <functional>
#include <memory>

class XMPPClientPrivate;

namespace xmpp {
class Iq;
class StreamElement;
}

/// The program's one XMPP connection: it negotiates the stream (STARTTLS,
/// SASL PLAIN, resource binding, session), keeps the connection state,
/// turns what the server sends into signals and replies, and is the one
/// place through which every outgoing element is written. Requests are sent
/// only in SessionState; an iq request's handler runs exactly once, with the
/// reply or with none when the connection ends. GUI thread only.
class XMPPClient : public QObject
{
    Q_OBJECT

public:
    enum State {
        UnconnectedState = 0,
        ConnectingState = 1,
        TlsState = 2,
        AuthenticatingState = 3,
        BindingState = 4,
        SessionState = 5,
        DisconnectingState = 6
    };
    enum TlsPolicy { TlsRequired = 0, TlsIfOffered = 1, TlsNever = 2 };
    /// SslErrors: the server's certificate is not trusted. EncryptionMissing:
    /// the server offers no TLS where the policy needs it.
    enum XMPPError { SslErrors = 0, ProtocolError = 1, RetryAuth = 3, EncryptionMissing = 4 };
    Q_ENUM(XMPPError)

    /// Called once with the reply to an iq request, or with null when the
    /// connection ended first (or the reply could not be read).
    using IqHandler = std::function<void(const xmpp::Iq*)>;

    explicit XMPPClient(QObject* parent = nullptr);
    ~XMPPClient() override;

    // --- connection (negotiation) ---

    /// From UnconnectedState only: opens the TCP connection and negotiates.
    /// PLAIN credentials go only over TLS, unless the policy is TlsNever.
    /// In any other state it only logs the refusal.
    void connectToHost(const QString& host, quint16 port, int tlsPolicy);
    /// The XMPP domain named in the stream header and checked against the
    /// server certificate; empty (the default) means the host.
    void setDomain(const QString& domain);
    /// Makes these certificates the only CAs that the TLS handshake trusts
    /// (the service's own CA); without a call, the process's default
    /// configuration decides.
    void setCaCertificates(const QList<QSslCertificate>& certificates);
    /// Stores the credentials. After a refusal that new credentials may fix
    /// (xmppError RetryAuth) it answers with a new authentication at once.
    void setCredentials(QString user, QString password);
    /// Writes the closing tag (when a stream is open) and closes the socket.
    void disconnectFromHost();
    /// Ends the session as a player logging out does: in SessionState an
    /// unavailable presence first, so that rooms and contacts see the player
    /// leave at once, then the stream's end.
    void logOut();
    /// Serialises the element onto the stream; dropped with a debug line in
    /// UnconnectedState and DisconnectingState and before the first stream.
    void write(const xmpp::StreamElement& element);
    /// "1", "2", ... for the life of the object.
    QString nextId();
    /// Registers the handler of the iq just written with this id. Only its
    /// addressee's answer reaches the handler (for an iq without "to", the
    /// own server's: from the domain, the own bare JID or without "from");
    /// answers from anyone else are logged and dropped. With a
    /// `lateHandler`, an answer that comes after `handler` was called for
    /// want of one in time is handed to it, while the connection lasts.
    void registerIqHandler(const QString& id, IqHandler handler, IqHandler lateHandler = {});
    int state() const;
    /// The full JID bound by the server; empty before binding.
    QString ownJid() const;

    /// How long the server may take over what it owes (60000 ms): each step
    /// of the negotiation, the close, and the answer to each iq request. A
    /// request not answered in time gets its handler called with no reply; a
    /// negotiation step not answered in time ends the stream with xmppError.
    /// A request's time runs from when its bytes have left; while the bytes
    /// of an element come in (its own long answer over a slow link, or one
    /// its answer waits behind) it is not late. Past its time it is given up
    /// only once the stream has been quiet that long, or has delivered
    /// everything the server sent before it read the request (see
    /// streamWait): whole stanzas the server queued ahead of the answer keep
    /// it waiting, others' stanzas on a stream that has caught up do not.
    static constexpr int AnswerTimeoutMs = 60000;
    /// Changes that time (for tests); it applies to what is asked from then on.
    void setAnswerTimeout(int ms);
    int answerTimeout() const;
    /// In a session, the server is pinged (XEP-0199) after this long without
    /// its bytes (30000 ms); when nothing at all has come this long after
    /// the ping, the link counts as dead: the stream ends with xmppError.
    static constexpr int PingIntervalMs = 30000;
    /// Changes that time (for tests), from now on.
    void setPingInterval(int ms);
    /// Why the last connection was refused, of the causes xmppError names
    /// (ProtocolError for any other, or none), through the rest of it.
    XMPPError refusal() const;
    /// Where the own writes so far end: a mark for streamWait.
    qint64 writeMark() const;
    /// How much longer a wait of `ms` for what the server owes for the own
    /// writes up to `mark` (the answer to a request) goes on once `ms`
    /// has passed: 0 when there is no session, when the stream has been quiet
    /// for `ms`, or when the server has answered a ping written after `mark`
    /// (everything it sent before reading those writes has arrived); else
    /// the time until the stream will have been quiet for `ms`. While it goes
    /// on a ping is out, and caughtUp() follows its answer.
    qint64 streamWait(qint64 mark, int ms);
    /// Bytes left unread by the server (4 MiB) past which it counts as gone:
    /// the stream ends with xmppError and the socket is dropped.
    void setMaxWriteBacklog(qint64 bytes);

    // --- services ---

    /// Writes the own presence: availability, status, table paths, photo hash.
    void sendOwnPresence();
    /// Adds a table path; in SessionState the presence goes out again.
    void addTablePath(const QString& path);
    /// Removes a table path; the presence goes out again only when it was there.
    void removeTablePath(const QString& path);
    /// Stores the hash the own presence advertises; writes nothing.
    void setOwnPhotoHash(const QByteArray& hash);
    /// Stores the hash and, in SessionState, writes the presence again and
    /// reports ownPhotoHashUpdated for the rooms.
    void updateOwnPhotoHash(const QByteArray& hash);
    /// Asks for (or, with unsubscribe, cancels) a presence subscription.
    void sendSubscription(const XMPPJid& jid, bool unsubscribe);
    /// Answers a subscription request: accept 1 allows it, anything else refuses.
    void answerSubscription(const XMPPJid& jid, int accept);
    /// Sends a copy of the message with a new id and returns that id (an
    /// error the addressee sends back carries it); throws "not connected"
    /// outside SessionState.
    QString sendMessage(const XMPPMessage& message);
    /// Enters a room as nick; throws when the room JID has a resource part.
    void joinRoom(const XMPPJid& room, const QString& nick);
    /// Tells a room the user is in of the own photo hash; throws when the
    /// room JID has a resource part.
    void sendRoomPresence(const XMPPJid& room, const QString& nick);
    /// Leaves a room; throws when the room JID has a resource part.
    void leaveRoom(const XMPPJid& room, const QString& nick);
    /// Accepts the default configuration of a room the own entry created.
    void createInstantRoom(const XMPPJid& room);
    /// Looks for the chat room service from the server's domain; each service
    /// found is reported by conferenceJID. Throws "not connected" outside SessionState.
    void discoverConferenceService();
    /// Asks a JID for its disco#info; used by the discovery of the room service.
    void requestDiscoInfo(const XMPPJid& jid);
    /// Lists the rooms of a service (conferenceRooms). Throws "not connected"
    /// outside SessionState.
    void requestConferenceRooms(const XMPPJid& service);

    void requestVCard(const XMPPJid& jid);
    void uploadVCard(const XMPPVCard& vCard);
    void requestRoster();
    void updateRosterItem(const XMPPJid& jid, bool remove, const QString& name, const QString& group);
    void requestSearchForm(const XMPPJid& service, const QString& requestTag);
    void search(const XMPPJid& service, const XMPPDataForm& form, const QString& requestTag);

Q_SIGNALS:
    /// The session is established (SessionState); the own presence follows.
    void connected();
    /// A session (or its closing) ended and the socket is closed.
    void disconnected();
    /// The own picture changed in a session: the rooms the user is in are to
    /// hear of its hash.
    void ownPhotoHashUpdated();
    /// The socket reported an error.
    void socketError(QAbstractSocket::SocketError se);
    /// The connection failed or the stream ended in error; msg says why.
    void xmppError(XMPPClient::XMPPError se, QString msg);
    void vCardReceived(XMPPJid jid, XMPPVCard vCard);
    void vCardReceivedError(XMPPJid jid);
    void uploadVCardOk();
    void uploadVCardError();
    /// A message arrived (chat, groupchat, headline or normal).
    void messageReceived(XMPPMessage message);
    /// A roster answer: rosterReset, one rosterUpdate per item, then
    /// rosterComplete; a long one in batches over several turns of the
    /// event loop, with no other stanza handled in between. A push is
    /// rosterUpdate alone.
    void rosterReset();
    void rosterUpdate(XMPPJid jid, int subscribeFlags, bool remove, QString name, QString group);
    void rosterComplete();
    /// Someone asked to subscribe to the own presence.
    void authorizationRequestReceived(XMPPJid from);
    /// A chat room service was found.
    void conferenceJID(XMPPJid jid);
    /// The discovery of the room service has asked every entity it may and
    /// found none.
    void conferenceJIDNotFound();
    /// The rooms of a service, in the service's order.
    void conferenceRooms(QList<XMPPJid> jids);
    /// The rooms of a service could not be listed: an error, an answer that
    /// could not be read, or none while the connection lasted.
    void conferenceRoomsFailed(XMPPJid service);
    /// An available, unavailable or error presence arrived.
    void presence(XMPPPresence presence);
    void requestSearchFormResult(XMPPDataForm searchFields, QString);
    void requestSearchFormError(QString);
    void searchReport(XMPPDataReport searchReport, QString);
    void searchError(QString);
    /// The server answered a ping: whatever it sent before it read the own
    /// writes up to then has arrived.
    void caughtUp();
    /// A message came back as an error: one the addressee (a room, a user,
    /// the server) refused. It carries the id of the message sent, the
    /// error condition and the peer's text, if any.
    void messageErrorReceived(XMPPMessage message);

private Q_SLOTS:
    void socketConnected();
    void socketReadyRead();
    void socketDisconnected();
    void onSocketError(QAbstractSocket::SocketError);
    void socketEncrypted();
    void socketSslErrors(QList<QSslError> errors);
    /// Handles what the parser holds for a few milliseconds, then hands the
    /// rest to the next turn of the event loop.
    void readElements();
    /// The step the server owed was not taken in time.
    void onStepTimeout();
    /// Fails the requests whose answer is overdue.
    void expireRequests();
    /// Pings a server silent for a while, and ends the stream when it stays
    /// silent after the ping.
    void checkSilence();
    /// Tells the subscription requests held, while the own writes leave
    /// room for them.
    void releaseSubscriptions();

private:
    friend class XMPPClientPrivate;
    /// An answer to a request: from anyone but the own server it goes out
    /// after the own writes.
    void writeAnswer(const xmpp::StreamElement& element, const XMPPJid& to);
    /// write(), the element ahead of or behind what is written for others.
    void write(const xmpp::StreamElement& element, bool forOthers);
    /// The writer handed bytes to the network: requests whose bytes have
    /// left start their time.
    void noteSent();
    /// Writes a ping to the server whose answer tells that the stream has
    /// delivered everything sent before it; given up only after the stream
    /// has been quiet for the answer time.
    void writeProbe();
    void handleElement(const xmpp::StreamElement* element);
    void handleNegotiation(const xmpp::StreamElement* element);
    void handleSession(const xmpp::StreamElement* element);
    void handlePresence(const xmpp::StreamElement* element);
    void startStream();
    void sessionEstablished();
    /// The server refused the connection during the negotiation: the log,
    /// xmppError(ProtocolError, text), then the stream and socket close.
    void refuseConnection(const QString& text, const QString& logText = QString());
    /// The server offers no encryption the TLS policy needs: the stream
    /// ends with a policy violation, xmppError(EncryptionMissing, text).
    void refuseUnencrypted(const QString& text);
    /// Ends a stream whose server no longer answers or reads: the log,
    /// xmppError(ProtocolError, text), a last try at the stream error of the
    /// condition (none when empty) and the closing tag, then the socket is
    /// dropped without waiting for the server.
    void dropConnection(const QString& text, const QString& condition);
    /// Asks the next entities the room service discovery has queued, a few
    /// at a time.
    void askQueuedDiscoInfo();
    void sendPlainAuth();
    void onDiscoInfo(const xmpp::Iq* reply);
    void onConferenceServiceItems(const xmpp::Iq* reply);
    void onConferenceRoomItems(const XMPPJid& service, const xmpp::Iq* reply);

    std::unique_ptr<XMPPClientPrivate> d;
};
