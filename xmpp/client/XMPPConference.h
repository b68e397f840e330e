#pragma once

#include "XMPPJid.h"
#include "XMPPMessage.h"
#include "XMPPPresence.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

class XMPPClient;

/// One chat room seen from the own user: enters and leaves it through the
/// client, sends group lines, and reports the room's events (own entry,
/// exit, kick, ban, refusal; other occupants coming, going, kicked, banned).
/// A refusal that may pass (the room busy, or still locked just after its
/// creation) is retried a few times with growing pauses, under the same nick.
class XMPPConference : public QObject
{
    Q_OBJECT

public:
    explicit XMPPConference(QObject* parent = nullptr);
    /// Leaves the room first when joined.
    ~XMPPConference() override;

    /// Follows this client from now on (null: none); the joined flag stays.
    void setClient(XMPPClient* client);
    /// Throws "user joined to a room" while joined.
    void setRoomJid(const XMPPJid& room);
    XMPPJid roomJid() const;
    /// Enters the room as nick (a null nick: the node of the own JID).
    /// Ignored while already joined. Throws without client or room.
    void join(const QString& nick = QString());
    /// Leaves the room when joined. Throws without client.
    void leave();
    bool isJoined() const;
    /// The nick in the room: the one asked for, or the one the room gave.
    QString nick() const;
    /// Sends a group line and returns its id (a refusal by the room carries
    /// it, see messageRefused); throws without client, or outside a session.
    QString sendMessage(const QString& text);

Q_SIGNALS:
    /// A group line of this room from an occupant.
    void message(XMPPMessage);
    /// An occupant's presence with a show value (away, chat, dnd, xa); an
    /// occupant arriving with one is announced by participantJoined first.
    void presence(XMPPPresence);
    /// The room refused the own entry or another own presence.
    void userError(XMPPConference*, XMPPPresence::error_t);
    /// The own entry is confirmed.
    void userJoined(XMPPConference*);
    /// The own exit is confirmed.
    void userLeft(XMPPConference*);
    /// The own user was kicked: room, actor, reason.
    void userKicked(XMPPConference*, XMPPJid, QString);
    /// The own user was banned: room, actor, reason.
    void userBanned(XMPPConference*, XMPPJid, QString);
    /// The room put the own user out for another cause than a kick or a
    /// ban: room, the status code that says which (321 membership revoked,
    /// 322 room made members-only, 332 room service shutting down), the
    /// room's reason if any. userLeft follows.
    void userRemoved(XMPPConference*, XMPPPresence::StatusCode, QString);
    /// Another occupant entered: room, nick. Once per stay: a change of
    /// show (away and back) is no new arrival.
    void participantJoined(XMPPConference*, QString);
    /// An occupant announced as present left: room, nick.
    void participantLeft(XMPPConference*, QString);
    /// Another occupant was kicked: room, nick, actor, reason.
    void participantKicked(XMPPConference*, QString, XMPPJid, QString);
    /// Another occupant was banned: room, nick, actor, reason.
    void participantBanned(XMPPConference*, QString, XMPPJid, QString);
    /// The room refused a line of the own user (not an occupant, a visitor
    /// of a moderated room ...): room, the error message, whose id is that
    /// of the refused line and whose error condition and text say why.
    /// Only an error from the room's own address for a line sent with that
    /// id, once per line.
    void messageRefused(XMPPConference*, XMPPMessage);

private Q_SLOTS:
    void onMessage(const XMPPMessage& msg);
    void onMessageError(const XMPPMessage& error);
    void onPresence(const XMPPPresence& presence);
    void onDisconnected();
    /// The own picture changed: the room hears of its hash.
    void onOwnPhotoHashUpdated();
    void onClientDestroyed();
    void onJoinTimerTimeout();

private:
    /// Starts the next pause of a retry series; false once it is spent.
    bool scheduleRetry(int firstPause, int attempts);
    void stopRetry();

    QPointer<XMPPClient> m_client;
    QString m_roomJid;
    QString m_nick;
    bool m_joined = false;
    /// The own exit was asked for and the room has not confirmed it yet.
    bool m_leaving = false;
    /// Ids of the own lines sent lately, oldest first: only these can be refused.
    QStringList m_sentIds;
    /// The nicks of the other occupants present, as the room announced them.
    QSet<QString> m_present;
    QTimer m_joinTimer;
    int m_retriesLeft = 0;
    /// The next pause; 0 when no retry series is running.
    int m_retryPause = 0;
};
