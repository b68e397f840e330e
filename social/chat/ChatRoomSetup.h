#pragma once

#include "ClientConfig.h"
#include "XMPPJid.h"

#include <QList>
#include <QObject>
#include <QPointer>

class ChatController;
class ConferenceArea;
class ConferenceWidget;

/// How the chat learns where its rooms are: the server's client
/// configuration names the XMPP host, the room service, the lobby room and
/// the user search service, each optionally; what it leaves out is found by
/// service discovery once the chat session is up. The main window keeps one
/// and feeds it the configuration; it fills the chat controller and has the
/// lobby chat join its room at every session start.
class ChatRoomSetup : public QObject
{
    Q_OBJECT

public:
    explicit ChatRoomSetup(ChatController* controller, QObject* parent = nullptr);
    ~ChatRoomSetup() override;

    /// The XMPP host: the configured one, else the game server's host.
    static QString xmppHost(const ClientConfig& config, const QString& gameHost);
    /// The search service: the configured one, else "search." and the XMPP host.
    static XMPPJid searchService(const ClientConfig& config, const QString& xmppHost);

    /// Keeps the configuration for the chat logins that follow.
    void setClientConfig(const ClientConfig& config);
    ClientConfig clientConfig() const { return m_config; }
    /// The chat area of the lobby (a ConferenceWidget), joined to the lobby room once known.
    void setLobbyChat(ConferenceArea* lobbyChat);

public Q_SLOTS:
    /// The chat session is up: the room service and lobby room from the
    /// configuration, or their discovery.
    void onXMPPConnected();
    void onXMPPDisconnected();
    /// Discovery found a room service.
    void onConferenceJID(const XMPPJid& jid);
    /// The rooms of a service: the first one named "lobby" becomes the lobby room.
    void onConferenceRooms(const QList<XMPPJid>& rooms);
    /// The rooms of a service could not be listed: while no lobby room is
    /// known, the lobby chat says so.
    void onConferenceRoomsFailed(const XMPPJid& service);
    /// The discovery found no room service: the lobby chat says so.
    void onConferenceJIDNotFound();

private:
    void joinLobby();

    ChatController* m_controller;
    ClientConfig m_config;
    QPointer<ConferenceWidget> m_lobbyChat;
};
