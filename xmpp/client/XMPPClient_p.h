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
#include <QHash>
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
    /// Why the connection being made was refused, as far as known.
    XMPPClient::XMPPError refusal = XMPPClient::ProtocolError;
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
        /// Takes an answer that comes after `handler` was called for want
        /// of one in time; empty: such an answer is dropped.
        XMPPClient::IqHandler lateHandler;
        /// When its bytes left, or when bytes of an element it waits behind
        /// last arrived (ms of `clock`): it is late an answer time after that.
        qint64 progress = 0;
        /// Where its bytes end in the writer's count.
        qint64 mark = 0;
        /// A ping whose answer says that the stream has caught up.
        bool probe = false;
    };
    std::map<QString, Request> pending;
    /// Requests given up for want of an answer in time whose answer is
    /// still taken, by id; a few at most, forgotten when the stream ends.
    std::map<QString, Request> late;
    static constexpr std::size_t MaxLate = 16;
    /// When each request's answer is due (ms of `clock`) and its id, in
    /// order of expiry; a request whose answer is on its way is due later.
    std::deque<std::pair<qint64, QString>> deadlines;
    QElapsedTimer clock;
    /// When the server's bytes last arrived (ms of `clock`).
    qint64 lastReceived = 0;
    /// The mark of the latest ping the server answered on this stream: all
    /// it sent before reading the own writes up to there has arrived (-1:
    /// none yet); and that of the newest ping written (-1: none).
    qint64 caughtUpTo = -1;
    qint64 newestProbe = -1;
    QTimer requestTimer;
    /// Looks for the server's silence; when the ping (to the server) now
    /// waiting for an answer was written (-1: none).
    QTimer pingTimer;
    qint64 pingSent = -1;
    bool pingLookedAgain = false;
    int pingInterval = XMPPClient::PingIntervalMs;
    /// Runs while the server owes the next step of the negotiation or of the close.
    QTimer stepTimer;
    int answerTimeout = XMPPClient::AnswerTimeoutMs;
    qint64 maxWriteBacklog = xmpp::StreamWriter::DefaultMaxBacklog;
    xmpp::LogThrottle overdueLog;
    /// The addressee of each iq request written whose handler is not
    /// registered yet, by id; emptied at every stream start.
    std::map<QString, std::pair<XMPPJid, qint64>> addressees;
    /// Requests whose bytes still wait to leave: where they end in the
    /// writer's count of bytes sent, and their id, in that order.
    std::deque<std::pair<qint64, QString>> unsent;
    /// What the system's send buffer may hold (the system doubles it): more
    /// would wait there, ahead of the own writes, for seconds on a slow uplink.
    static constexpr int SendBufferSize = 8 * 1024;
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
    /// A discovery was started on this stream and has not yet reported
    /// a service or the lack of one.
    bool discoRunning = false;
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

    /// What others' requests may cost the stream: their answers wait
    /// unsent behind this many bytes at most, and each sender (by full
    /// address: a room's occupants are senders of their own) is answered
    /// this many times a second at most; more is dropped unanswered. The
    /// write bound is left to the own writes.
    static constexpr qint64 MaxOthersBacklog = 64 * 1024;
    static constexpr int AnswersPerSender = 16;
    static constexpr int MaxSendersPerSecond = 1024;
    qint64 answerSecond = -1000;
    QHash<QString, int> answered;
    xmpp::LogThrottle unansweredLog;
    /// Subscription requests held while more than MaxOthersBacklog waits
    /// unsent (one per sender, oldest first): accepting them is the own
    /// roster's traffic, which waits but is never dropped for others'.
    QList<XMPPJid> heldSubscriptions;
    static constexpr qsizetype MaxHeldSubscriptions = 4096;
    QTimer heldTimer;

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
    /// Calls a request's handler; what it throws costs that request alone.
    static void callHandler(const XMPPClient::IqHandler& handler, const xmpp::Iq* reply);
    /// Whether an answer from `from` may answer a request sent to `to`: only
    /// the addressee answers; for a request to the own server (no "to", the
    /// domain or the own bare JID) the domain, the own bare JID or no "from".
    bool answersRequest(const XMPPJid& to, const QString& from) const;
    /// The domain and the own bare JID, or no address at all.
    bool isOwnServer(const XMPPJid& jid) const;
    /// Whether a request (or a subscription) from `from` may be answered
    /// now: always for the own server, for others within their share.
    bool mayAnswer(const XMPPJid& from);
    /// Whether the socket's end waits for received bytes to be handled
    /// first; then it is kept for later.
    bool holdEnd(const QAbstractSocket::SocketError* error);
    /// Bytes of the server arrived: the request whose answer they belong
    /// to, if any, is not late before another answer time has passed.
    void noteReceived();
    /// Puts the request in the order of expiry, due at `due`.
    void schedule(qint64 due, const QString& id);
    /// Whether more than others may fill waits unsent.
    bool backlogOverOthersShare() const { return !writer || writer->unsent() > MaxOthersBacklog; }
};
