#include "ChatController.h"

ChatController::ChatController(PlayerDb* playerDb, XMPPClient* client, QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_playerDb(playerDb)
{
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
