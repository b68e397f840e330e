#pragma once

#include "XMPPJid.h"

#include <QObject>

class PlayerDb;
class XMPPClient;

/// The chat settings every chat room widget shares: the XMPP client, the
/// player directory (for the own nick), the chat room service and the lobby
/// room. The service and the lobby room come from the server's client
/// configuration or from discovery (see ChatRoomSetup); both stay empty
/// until then.
class ChatController : public QObject
{
    Q_OBJECT

public:
    ChatController(PlayerDb* playerDb, XMPPClient* client, QObject* parent = nullptr);
    ~ChatController() override;

    XMPPClient* xmppClient() const { return m_client; }
    PlayerDb* playerDb() const { return m_playerDb; }
    XMPPJid conferenceJid() const { return m_conferenceJid; }
    XMPPJid lobbyRoomJid() const { return m_lobbyRoomJid; }

    void setConferenceJid(const XMPPJid& jid);
    void setLobbyRoomJid(const XMPPJid& jid);

    /// True from a lost or refused chat connection until the next login:
    /// nothing reconnects before the next login, so the panes say so.
    bool isChatOffline() const { return m_offline; }
    /// Why the chat login was refused, when the server gave a cause a
    /// player can be told of.
    enum class OfflineReason { Unknown, UntrustedCertificate, EncryptionMissing };
    OfflineReason offlineReason() const { return m_reason; }
    /// True from a discovery that found no chat room service until the
    /// chat connects again: rooms waiting for the service say so.
    bool isServiceMissing() const { return m_serviceMissing; }

Q_SIGNALS:
    /// The chat room service changed: rooms that waited for it may be joined now.
    void conferenceJidChanged();
    /// The chat connection was lost or refused (true), or a session began
    /// (false); again with true when the cause of a refusal becomes known.
    void chatOfflineChanged(bool offline);
    /// The discovery found no chat room service.
    void serviceMissing();

private:
    void setOffline(bool offline);
    void onXmppError();

    bool m_offline = false;
    OfflineReason m_reason = OfflineReason::Unknown;
    bool m_serviceMissing = false;
    XMPPClient* m_client;
    PlayerDb* m_playerDb;
    XMPPJid m_conferenceJid;
    XMPPJid m_lobbyRoomJid;
};
