// XMPPClient: what the server's elements do, during the negotiation and in
// the session.
#include "XMPPClient.h"
#include "XMPPClient_p.h"

#include "Exceptions.h"
#include "Iq.h"
#include "IqBind.h"
#include "IqRoster.h"
#include "MessageStanza.h"
#include "PresenceStanza.h"
#include "SaslElements.h"
#include "StreamError.h"
#include "StreamFeatures.h"
#include "TlsElements.h"
#include "XmppLog.h"
#include "XmppNames.h"

namespace {

int streamCondition(const char* name)
{
    return xmpp::names::streamErrorConditionFromName(QLatin1String(name));
}

[[noreturn]] void policyViolation(const QString& text)
{
    throw xmpp::stream_error(streamCondition("policy-violation"), text);
}

/// SASL refusals that other credentials may cure: invalid-authzid,
/// not-authorized, temporary-auth-failure.
bool retryable(int condition)
{
    return condition == 2 || condition == 5 || condition == 6;
}

/// A bind or session reply must be a result: an error reply ends the
/// stream with `failure`, any other type is answered as unexpected.
void checkNegotiationResult(const xmpp::Iq& reply, const QString& failure)
{
    if (reply.errorCondition != 0)
        throw xmpp::stream_error(streamCondition("undefined-condition"), failure);
    if (reply.stanzaType != QLatin1String("result")) {
        xmpp::stanza_error fault(xmpp::stanza_error::Iq, 5, 22, reply.id);
        fault.setStanza(reply.stanzaType, reply.from.toString());
        throw fault;
    }
}

bool isReply(const xmpp::Iq& iq)
{
    return iq.stanzaType == QLatin1String("result") || iq.stanzaType == QLatin1String("error")
           || iq.errorCondition != 0;
}

}

void XMPPClient::sendPlainAuth()
{
    // RFC 4616: authorization identity (empty), NUL, user, NUL, password.
    const QByteArray message = (QString() + QChar(0) + d->user + QChar(0) + d->password).toUtf8();
    d->awaitingRetry = false;
    d->credentialsPending = false;
    write(xmpp::SASLAuth(QStringLiteral("PLAIN"), message));
}

void XMPPClient::refuseConnection(const QString& text, const QString& logText)
{
    qCWarning(lcXmpp).noquote() << (logText.isEmpty() ? text : logText);
    Q_EMIT xmppError(ProtocolError, text);
    disconnectFromHost();
}

void XMPPClient::refuseUnencrypted(const QString& text)
{
    // A breach of the policy as any other, but one the user is told of in
    // words: the reason comes before the end of the connection.
    const xmpp::stream_error fault(streamCondition("policy-violation"), text);
    qCWarning(lcXmpp) << "stream ended:" << fault.what();
    d->refusal = EncryptionMissing;
    write(xmpp::StreamError(fault.code(), fault.text()));
    Q_EMIT xmppError(EncryptionMissing, QString::fromLocal8Bit(fault.what()));
    disconnectFromHost();
}

void XMPPClient::sessionEstablished()
{
    d->stepTimer.stop();
    d->pingSent = -1;
    d->heldSubscriptions.clear();
    d->pingTimer.start(d->pingInterval);
    if (d->state != SessionState) {
        d->state = SessionState;
        Q_EMIT connected();
    }
    sendOwnPresence();
}

void XMPPClient::handleElement(const xmpp::StreamElement* element)
{
    if (!element)
        return;
    if (element->type() == xmpp::KindStreamError) {
        // The server ends the stream; it is not answered with one of ours.
        const auto* error = static_cast<const xmpp::StreamError*>(element);
        const QString condition = error->conditionName.isEmpty()
                                      ? xmpp::names::streamErrorCondition(error->condition)
                                      : error->conditionName;
        const QString text = QStringLiteral("stream error from server: %1%2")
                                 .arg(condition,
                                      error->text.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(error->text));
        qCWarning(lcXmpp).noquote() << text;
        Q_EMIT xmppError(ProtocolError, error->text.isEmpty() ? text : error->text);
        disconnectFromHost();
        return;
    }
    if (d->state == SessionState)
        handleSession(element);
    else
        handleNegotiation(element);
}

void XMPPClient::handleNegotiation(const xmpp::StreamElement* element)
{
    // Each step the server takes gives it the full time for the next.
    d->stepTimer.start(d->answerTimeout);
    switch (element->type()) {
    case xmpp::KindStreamFeatures: {
        const auto* features = static_cast<const xmpp::StreamFeatures*>(element);
        qCDebug(lcXmpp) << "Features received";
        qCDebug(lcXmpp).nospace() << "\ttls_available: " << features->tlsOffered
                                  << "\n\ttls_required: " << features->tlsRequired;
        for (const QString& mechanism : features->saslMechanisms)
            qCDebug(lcXmpp).nospace() << "\tmechanism: " << mechanism;

        if (!d->socket.isEncrypted()) {
            bool startTls = false;
            if (d->tlsPolicy == TlsNever) {
                if (features->tlsRequired)
                    policyViolation(QStringLiteral("won't use TLS"));
            } else if (features->tlsOffered) {
                startTls = true;
            } else if (d->tlsPolicy == TlsRequired) {
                refuseUnencrypted(QStringLiteral("TLS required"));
                return;
            }
            if (startTls) {
                d->state = TlsState;
                write(xmpp::TLSStart());
                return;
            }
        }

        if (d->state == ConnectingState || d->state == TlsState) {
            if (!features->saslMechanisms.contains(QStringLiteral("PLAIN")))
                policyViolation(QStringLiteral("PLAIN auth required"));
            // The password travels in clear inside PLAIN: only over TLS,
            // unless the user chose never to use TLS.
            if (!d->socket.isEncrypted() && d->tlsPolicy != TlsNever) {
                refuseUnencrypted(QStringLiteral("PLAIN auth requires TLS"));
                return;
            }
            d->state = AuthenticatingState;
            sendPlainAuth();
        } else if (d->state == AuthenticatingState) {
            if (!features->bindOffered)
                policyViolation(QStringLiteral("bind feature required"));
            d->state = BindingState;
            d->sessionOffered = features->sessionOffered;
            write(xmpp::IqBind(nextId(), d->resource));
        }
        return;
    }
    case xmpp::KindTLSProceed:
        qCDebug(lcXmpp) << "Proceed with TLS received";
        if (d->state != TlsState)
            throw xmpp::stream_error(streamCondition("not-authorized"), QString());
        d->socket.setPeerVerifyName(d->streamDomain());
        d->socket.startClientEncryption();
        return;
    case xmpp::KindTLSFailure:
        qCDebug(lcXmpp) << "TLS Failure received";
        refuseConnection(QStringLiteral("the server refused TLS"));
        return;
    case xmpp::KindSASLAbort:
        qCDebug(lcXmpp) << "SASL Authentication aborted";
        refuseConnection(QStringLiteral("the server aborted the authentication"));
        return;
    case xmpp::KindSASLFailure: {
        qCDebug(lcXmpp) << "SASL Authentication failure";
        const auto* failure = static_cast<const xmpp::SASLFailure*>(element);
        const int condition = failure->condition;
        const QString name = condition >= 0 ? xmpp::names::saslFailureCondition(condition) : failure->conditionName;
        if (retryable(condition)) {
            d->awaitingRetry = true;
            Q_EMIT xmppError(RetryAuth, QStringLiteral("retry auth"));
            if (!d->awaitingRetry || d->state != AuthenticatingState)
                return; // answered with new credentials (or closed) from a slot
            if (d->credentialsPending) {
                sendPlainAuth();
                return;
            }
            // Nobody has new credentials: waiting on the open socket would
            // leave the user with a connection that never comes up.
            d->awaitingRetry = false;
            const QString text = QStringLiteral("authentication refused (%1)").arg(name);
            qCWarning(lcXmpp).noquote() << text;
            Q_EMIT xmppError(ProtocolError, text);
            disconnectFromHost();
            return;
        }
        // Conditions of RFC 6120's longer list (and any later one) are
        // refusals too, reported by their name.
        refuseConnection(condition >= 0 ? QStringLiteral("PLAIN auth failed")
                                        : QStringLiteral("PLAIN auth failed (%1)").arg(name),
                         QStringLiteral("authentication failed: %1").arg(name));
        return;
    }
    case xmpp::KindSASLSuccess:
        if (d->state != AuthenticatingState)
            throw xmpp::stream_error(streamCondition("not-authorized"), QString());
        qCDebug(lcXmpp) << "SASL Authentication success";
        startStream();
        return;
    case xmpp::KindIqBind: {
        const auto* bind = static_cast<const xmpp::IqBind*>(element);
        checkNegotiationResult(*bind, QStringLiteral("bind failed"));
        d->ownJid = bind->jid.toString();
        if (d->sessionOffered) {
            d->sessionId = nextId();
            write(xmpp::IqSession(d->sessionId));
        }
        else
            sessionEstablished();
        return;
    }
    case xmpp::KindIqSession: {
        checkNegotiationResult(*static_cast<const xmpp::IqSession*>(element), QStringLiteral("session failed"));
        sessionEstablished();
        return;
    }
    case xmpp::KindIq: {
        // Servers answer the session request with an empty result, which
        // reads as a plain iq.
        const auto* iq = static_cast<const xmpp::Iq*>(element);
        if (d->state == BindingState && !d->sessionId.isEmpty() && iq->id == d->sessionId && isReply(*iq)) {
            if (iq->errorCondition != 0)
                throw xmpp::stream_error(streamCondition("undefined-condition"), QStringLiteral("session failed"));
            sessionEstablished();
            return;
        }
        if (d->state == BindingState && isReply(*iq) && iq->errorCondition != 0)
            throw xmpp::stream_error(streamCondition("undefined-condition"), QStringLiteral("bind failed"));
        throw xmpp::stream_error(streamCondition("not-authorized"), QString());
    }
    default:
        throw xmpp::stream_error(streamCondition("not-authorized"), QString());
    }
}

void XMPPClient::handleSession(const xmpp::StreamElement* element)
{
    const int kind = element->type();
    const bool iqKind = kind == xmpp::KindIq || (kind >= xmpp::KindIqBind && kind <= xmpp::KindIqSearch)
                        || kind == xmpp::KindIqInstantRoom;
    if (iqKind) {
        const auto* iq = static_cast<const xmpp::Iq*>(element);
        if (isReply(*iq)) {
            const auto it = d->pending.find(iq->id);
            if (it == d->pending.end()) {
                const auto late = d->late.find(iq->id);
                if (late != d->late.end() && d->answersRequest(late->second.to, iq->from.toString())) {
                    XMPPClientPrivate::callHandler(d->late.extract(late).mapped().handler, iq);
                    return;
                }
                // A second answer, or one to a request we never made: iq
                // results and errors are never answered (RFC 6120 8.2.3).
                qCDebug(lcXmpp) << "ignored iq reply with unknown id" << iq->id;
                return;
            }
            if (!d->answersRequest(it->second.to, iq->from.toString())) {
                // Ids are easy to guess and the server routes an answer from
                // anyone: only the addressee's answer counts, and the request
                // keeps waiting for it.
                qCWarning(lcXmpp) << "ignored an answer to request" << iq->id << "from" << iq->from.toString()
                                  << "which was sent to" << it->second.to.toString();
                return;
            }
            auto node = d->pending.extract(it);
            try {
                node.mapped().handler(iq);
            } catch (const xmpp::stream_error& e) {
                // An answer of the wrong kind costs its own request, never
                // the session.
                qCWarning(lcXmpp) << "answer to request" << iq->id << "not used:" << e.what();
            }
            return;
        }
        if (kind == xmpp::KindIqRoster) {
            d->roster.handleRosterPush(*static_cast<const xmpp::IqRoster*>(element));
            return;
        }
        // A request from someone else that this client does not serve.
        if (!d->mayAnswer(iq->from))
            return;
        xmpp::Iq answer(iq->id, iq->from, xmpp::Iq::ErrorType);
        answer.errorType = xmpp::names::stanzaErrorTypeFromName(QStringLiteral("cancel"));
        answer.errorCondition = xmpp::names::stanzaErrorConditionFromName(QStringLiteral("feature-not-implemented"));
        writeAnswer(answer, iq->from);
        return;
    }
    switch (kind) {
    case xmpp::KindMessageStanza: {
        const auto* message = static_cast<const xmpp::MessageStanza*>(element);
        const QString language = d->parser.streamLanguage().isEmpty() ? QStringLiteral("UND")
                                                                      : d->parser.streamLanguage();
        if (message->errorCondition != 0)
            Q_EMIT messageErrorReceived(XMPPMessage(*message, language));
        else
            Q_EMIT messageReceived(XMPPMessage(*message, language));
        return;
    }
    case xmpp::KindPresenceStanza:
    case xmpp::KindMucPresenceStanza:
        handlePresence(element);
        return;
    case xmpp::KindStanza:
        throw xmpp::stream_error(streamCondition("unsupported-stanza-type"),
                                 QStringLiteral("unexpected stanza element type"));
    default:
        throw xmpp::stream_error(streamCondition("undefined-condition"),
                                 QStringLiteral("unexpected non-stanza stream element"));
    }
}
