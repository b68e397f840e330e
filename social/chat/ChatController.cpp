#include "ChatController.h"

#include "XMPPClient.h"

ChatController::ChatController(PlayerDb* playerDb, XMPPClient* client, QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_playerDb(playerDb)
{
    if (!client)
        return;
    connect(client, &XMPPClient::connected, this, [this] {
        m_serviceMissing = false;
        m_reason = OfflineReason::Unknown;
        setOffline(false);
    });
    connect(client, &XMPPClient::conferenceJIDNotFound, this, [this] {
        m_serviceMissing = true;
        Q_EMIT serviceMissing();
    });
    // A session that ends, and a connection or login that fails, both leave
    // the chat without a connection until the next login.
    connect(client, &XMPPClient::disconnected, this, [this] { setOffline(true); });
    connect(client, &XMPPClient::xmppError, this, &ChatController::onXmppError);
    connect(client, &XMPPClient::socketError, this, [this] {
        if (m_client->state() != XMPPClient::SessionState)
            setOffline(true);
    });
}

void ChatController::setOffline(bool offline)
{
    if (offline == m_offline)
        return;
    m_offline = offline;
    Q_EMIT chatOfflineChanged(offline);
}

void ChatController::onXmppError()
{
    // Asked of the connection, not of the one error: a refused handshake
    // ends with more errors than its cause, and the next try's cause is its own.
    OfflineReason reason = OfflineReason::Unknown;
    if (m_client->refusal() == XMPPClient::SslErrors)
        reason = OfflineReason::UntrustedCertificate;
    else if (m_client->refusal() == XMPPClient::EncryptionMissing)
        reason = OfflineReason::EncryptionMissing;
    const bool retold = m_offline && reason != m_reason;
    m_reason = reason;
    if (retold)
        Q_EMIT chatOfflineChanged(true); // a new try refused, or the cause told after the end
    else
        setOffline(true);
}

ChatController::~ChatController() = default;

void ChatController::setConferenceJid(const XMPPJid& jid)
{
    const bool changed = jid != m_conferenceJid;
    m_conferenceJid = jid;
    if (changed)
        Q_EMIT conferenceJidChanged();
}

void ChatController::setLobbyRoomJid(const XMPPJid& jid)
{
    m_lobbyRoomJid = jid;
}
