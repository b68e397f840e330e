#pragma once

#include <QMetaType>
#include <QString>

/// Addresses of the chat side that the server hands out after login. Each of
/// the four texts may be missing (empty).
class ClientConfig
{
public:
    void setXmppHost(const QString& host) { m_xmppHost = host; }
    void setConferenceJid(const QString& jid) { m_conferenceJid = jid; }
    void setLobbyRoomJid(const QString& jid) { m_lobbyRoomJid = jid; }
    void setSearchJid(const QString& jid) { m_searchJid = jid; }

    QString xmppHost() const { return m_xmppHost; }
    QString conferenceJid() const { return m_conferenceJid; }
    QString lobbyRoomJid() const { return m_lobbyRoomJid; }
    QString searchJid() const { return m_searchJid; }

    bool hasXmppHost() const { return !m_xmppHost.isEmpty(); }
    bool hasConferenceJid() const { return !m_conferenceJid.isEmpty(); }
    bool hasLobbyRoomJid() const { return !m_lobbyRoomJid.isEmpty(); }
    bool hasSearchJid() const { return !m_searchJid.isEmpty(); }

    friend bool operator==(const ClientConfig&, const ClientConfig&) = default;

private:
    QString m_xmppHost;
    QString m_conferenceJid;
    QString m_lobbyRoomJid;
    QString m_searchJid;
};

Q_DECLARE_METATYPE(ClientConfig)
