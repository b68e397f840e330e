// Where the chat rooms are: from the client configuration, else by discovery.
#include "ChatRoomSetup.h"

#include "ChatController.h"
#include "ConferenceWidget.h"
#include "SocialLog.h"
#include "XMPPClient.h"

#include <exception>

ChatRoomSetup::ChatRoomSetup(ChatController* controller, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
{
    if (XMPPClient* client = controller->xmppClient()) {
        connect(client, &XMPPClient::connected, this, &ChatRoomSetup::onXMPPConnected);
        connect(client, &XMPPClient::disconnected, this, &ChatRoomSetup::onXMPPDisconnected);
        connect(client, &XMPPClient::conferenceJID, this, &ChatRoomSetup::onConferenceJID);
        connect(client, &XMPPClient::conferenceRooms, this, &ChatRoomSetup::onConferenceRooms);
        connect(client, &XMPPClient::conferenceRoomsFailed, this, &ChatRoomSetup::onConferenceRoomsFailed);
        connect(client, &XMPPClient::conferenceJIDNotFound, this, &ChatRoomSetup::onConferenceJIDNotFound);
    }
}

ChatRoomSetup::~ChatRoomSetup() = default;

QString ChatRoomSetup::xmppHost(const ClientConfig& config, const QString& gameHost)
{
    return config.hasXmppHost() ? config.xmppHost() : gameHost;
}

XMPPJid ChatRoomSetup::searchService(const ClientConfig& config, const QString& xmppHost)
{
    return XMPPJid(config.hasSearchJid() ? config.searchJid() : QStringLiteral("search.") + xmppHost);
}

void ChatRoomSetup::setClientConfig(const ClientConfig& config)
{
    m_config = config;
}

void ChatRoomSetup::setLobbyChat(ConferenceArea* lobbyChat)
{
    m_lobbyChat = qobject_cast<ConferenceWidget*>(lobbyChat);
}

void ChatRoomSetup::onXMPPConnected()
{
    qCDebug(lcSocial) << "xmpp connected to host";
    XMPPClient* client = m_controller->xmppClient();
    try {
        if (!m_config.hasConferenceJid()) {
            client->discoverConferenceService();
            return;
        }
        m_controller->setConferenceJid(XMPPJid(m_config.conferenceJid()));
        if (!m_config.hasLobbyRoomJid()) {
            client->requestConferenceRooms(m_controller->conferenceJid());
            return;
        }
        m_controller->setLobbyRoomJid(XMPPJid::fromText(m_config.lobbyRoomJid()));
        joinLobby();
    } catch (const std::exception& e) {
        // The session ended under us; the next one starts over.
        qCWarning(lcSocial) << "chat rooms not set up:" << e.what();
    }
}

void ChatRoomSetup::onXMPPDisconnected()
{
    qCDebug(lcSocial) << "xmpp disconnected";
}

void ChatRoomSetup::onConferenceJID(const XMPPJid& jid)
{
    m_controller->setConferenceJid(jid);
    try {
        m_controller->xmppClient()->requestConferenceRooms(jid);
    } catch (const std::exception& e) {
        qCWarning(lcSocial) << "room list not asked for:" << e.what();
    }
}

void ChatRoomSetup::onConferenceRooms(const QList<XMPPJid>& rooms)
{
    for (const XMPPJid& room : rooms) {
        if (room.node() == QLatin1String("lobby")) {
            m_controller->setLobbyRoomJid(room);
            joinLobby();
            return;
        }
    }
    // The lobby stays empty with its input off: it says why.
    if (m_lobbyChat && m_controller->lobbyRoomJid().isEmpty())
        m_lobbyChat->showRoomMissing(ConferenceWidget::NoLobbyRoom);
}

void ChatRoomSetup::onConferenceRoomsFailed(const XMPPJid& service)
{
    // The lobby stays empty with its input off: it says why.
    if (m_lobbyChat && m_controller->lobbyRoomJid().isEmpty() && service == m_controller->conferenceJid())
        m_lobbyChat->showRoomMissing(ConferenceWidget::RoomListUnread);
}

void ChatRoomSetup::onConferenceJIDNotFound()
{
    if (m_lobbyChat && m_controller->lobbyRoomJid().isEmpty())
        m_lobbyChat->showRoomMissing(ConferenceWidget::NoRoomService);
}

void ChatRoomSetup::joinLobby()
{
    if (m_lobbyChat)
        m_lobbyChat->joinLobbyRoom();
}
