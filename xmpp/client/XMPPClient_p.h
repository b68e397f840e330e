#pragma once

// Internals of XMPPClient, shared by its source files.

#include "ClientRoster.h"
#include "ClientSearch.h"
#include "ClientVCard.h"
#include "StreamParser.h"
#include "StreamWriter.h"
#include "XMPPClient.h"
#include "XmppLog.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSet>
#include <QSslSocket>
#include <QString>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>

class XMPPClientPrivate
{
public:
    explicit XMPPClientPrivate(XMPPClient* q);

    QString user;
    QString password;
    /// New credentials given while an authentication was outstanding.
    bool credentialsPending = false;
    /// A retryable refusal is waiting for new credentials.
    bool awaitingRetry = false;
    QString resource;
    QString ownJid;
    QString host;
    QString domain;
    quint16 port = 0;
    int tlsPolicy = XMPPClient::TlsRequired;
    /// What the socket holds for the reader at most; more waits in the
    /// kernel until the reader has caught up.
    static constexpr qint64 ReadBufferSize = 256 * 1024;
    QSslSocket socket;
    std::unique_ptr<xmpp::StreamWriter> writer;
    xmpp::StreamParser parser;
    int state = XMPPClient::UnconnectedState;
    int idCounter = 0;
    /// An outstanding iq request: whom it went to (empty: the own server)
    /// and what to call with the answer.
    struct Request
    {
        XMPPJid to;
        XMPPClient::IqHandler handler;
    };
    std::map<QString, Request> pending;
    /// When each request's answer is due (ms of `clock`) and its id, in order of expiry.
    std::deque<std::pair<qint64, QString>> deadlines;
    QElapsedTimer clock;
    QTimer requestTimer;
    /// Runs while the server owes the next step of the negotiation or of the close.
    QTimer stepTimer;
    int answerTimeout = XMPPClient::AnswerTimeoutMs;
    qint64 maxWriteBacklog = xmpp::StreamWriter::DefaultMaxBacklog;
    xmpp::LogThrottle overdueLog;
    /// The addressee of each iq request written whose handler is not
    /// registered yet, by id; emptied at every stream start.
    std::map<QString, XMPPJid> addressees;
    bool sessionOffered = false;
    /// The id of the session request, once written.
    QString sessionId;
    /// The entities the running room service discovery has asked for
    /// their disco#info.
    QSet<QString> discoAsked;
    /// Entities the discovery will ask next, and how many of its requests
    /// are out; the first chat room service found ends it.
    QList<XMPPJid> discoQueue;
    int discoOutstanding = 0;
    bool discoFound = false;
    /// Requests out at once, and entities asked in all, per discovery.
    static constexpr int DiscoParallel = 4;
    static constexpr int DiscoMaxAsked = 64;

    /// A turn of readElements is queued: received bytes wait in the parser.
    bool readQueued = false;
    /// Reading waits for the roster answer to be told to the end.
    bool readHeld = false;
    /// The socket ended while bytes waited: its end is handled after them,
    /// with the socket errors reported meanwhile.
    bool endAfterRead = false;
    QList<QAbstractSocket::SocketError> errorsAfterRead;
    xmpp::LogThrottle unreadableAnswerLog;
    xmpp::LogThrottle unreadableStanzaLog;
    xmpp::LogThrottle unreadElementLog;

    xmpp::ClientVCard vCard;
    xmpp::ClientRoster roster;
    xmpp::ClientSearch search;

    int availability = 2;
    QString status;
    QSet<QString> tablePaths;
    QByteArray photoHash;

    /// The domain the stream is opened for.
    QString streamDomain() const { return domain.isEmpty() ? host : domain; }
    /// Calls every handler with no reply, in id order, and forgets them.
    void failPending();
    /// Whether an answer from `from` may answer a request sent to `to`: only
    /// the addressee answers; for a request to the own server (no "to", the
    /// domain or the own bare JID) the domain, the own bare JID or no "from".
    bool answersRequest(const XMPPJid& to, const QString& from) const;
    /// The domain and the own bare JID, or no address at all.
    bool isOwnServer(const XMPPJid& jid) const;
    /// Whether the socket's end waits for received bytes to be handled
    /// first; then it is kept for later.
    bool holdEnd(const QAbstractSocket::SocketError* error);
};
