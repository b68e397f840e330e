#include "XMPPConference.h"

#include "XMPPClient.h"
#include "PresenceStanza.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <stdexcept>
#include <utility>

namespace {

// Entry retries: a busy room (wait / recipient-unavailable) is tried again
// after 1, 2, 4, 8 and 16 s; a room still locked right after its creation
// (cancel / item-not-found) after 0.25, 0.5 and 1 s.
constexpr int BusyFirstPause = 1000;
constexpr int BusyAttempts = 5;
constexpr int LockedFirstPause = 250;
constexpr int LockedAttempts = 3;

/// Ids of the own lines that the room may still refuse; a room that
/// answers none must not make the list grow.
constexpr int MaxSentIds = 64;

constexpr int StatusSelf = XMPPPresence::Status110;
constexpr int StatusCreated = XMPPPresence::Status201;
constexpr int StatusBanned = XMPPPresence::Status301;
constexpr int StatusKicked = XMPPPresence::Status307;
/// The other ways a room puts an occupant out, as they are told.
constexpr XMPPPresence::StatusCode RemovalCodes[] = {XMPPPresence::Status321, XMPPPresence::Status322,
                                                     XMPPPresence::Status332};

bool hasStatus(const XMPPPresence& presence, int code)
{
    return presence.statusCodes().contains(code);
}

bool isItemNotFound(const XMPPPresence& presence)
{
    return presence.stanza().errorCondition
           == xmpp::names::stanzaErrorConditionFromName(QStringLiteral("item-not-found"));
}

}

XMPPConference::XMPPConference(QObject* parent)
    : QObject(parent)
{
    m_joinTimer.setSingleShot(true);
    connect(&m_joinTimer, &QTimer::timeout, this, &XMPPConference::onJoinTimerTimeout);
}

XMPPConference::~XMPPConference()
{
    if (m_client) {
        try {
            leave();
        } catch (const std::exception& e) {
            qCWarning(lcXmpp) << "leaving the room failed:" << e.what();
        }
    }
}

void XMPPConference::setClient(XMPPClient* client)
{
    if (m_client)
        m_client->disconnect(this);
    stopRetry();
    m_client = client;
    if (!client)
        return;
    connect(client, &QObject::destroyed, this, &XMPPConference::onClientDestroyed);
    connect(client, &XMPPClient::disconnected, this, &XMPPConference::onDisconnected);
    connect(client, &XMPPClient::messageReceived, this, &XMPPConference::onMessage);
    connect(client, &XMPPClient::messageErrorReceived, this, &XMPPConference::onMessageError);
    connect(client, &XMPPClient::presence, this, &XMPPConference::onPresence);
    connect(client, &XMPPClient::ownPhotoHashUpdated, this, &XMPPConference::onOwnPhotoHashUpdated);
}

void XMPPConference::setRoomJid(const XMPPJid& room)
{
    if (m_joined)
        throw std::runtime_error("user joined to a room");
    stopRetry();
    m_present.clear();
    m_sentIds.clear();
    m_roomJid = room.toString();
}

XMPPJid XMPPConference::roomJid() const
{
    // The text of a whole JID, read back part by part: only the parts have a
    // length limit, the whole may be longer.
    return XMPPJid::fromText(m_roomJid);
}

void XMPPConference::join(const QString& nick)
{
    if (!m_client)
        throw std::runtime_error("xmpp client not set");
    if (m_roomJid.isNull())
        throw std::runtime_error("room jid is null");
    if (m_joined) {
        qCDebug(lcXmpp) << "already in room" << m_roomJid;
        return;
    }
    m_nick = nick.isNull() ? XMPPJid::fromText(m_client->ownJid()).node() : nick;
    m_leaving = false;
    // The room lists everyone present again after the entry.
    m_present.clear();
    m_client->joinRoom(roomJid(), m_nick);
}

void XMPPConference::leave()
{
    if (!m_client)
        throw std::runtime_error("xmpp client not set");
    stopRetry();
    if (m_joined) {
        m_client->leaveRoom(roomJid(), m_nick);
        m_leaving = true;
    }
    m_joined = false;
    m_present.clear();
}

bool XMPPConference::isJoined() const
{
    return m_joined;
}

QString XMPPConference::nick() const
{
    return m_nick;
}

QString XMPPConference::sendMessage(const QString& text)
{
    if (!m_client)
        throw std::runtime_error("xmpp client not set");
    XMPPMessage msg(roomJid(), 2);
    msg.setFrom(XMPPJid::fromText(m_client->ownJid()));
    msg.setBody(text);
    const QString id = m_client->sendMessage(msg);
    m_sentIds.append(id);
    while (m_sentIds.size() > MaxSentIds)
        m_sentIds.removeFirst();
    return id;
}

bool XMPPConference::scheduleRetry(int firstPause, int attempts)
{
    if (m_retriesLeft == 0 && m_retryPause == 0) {
        m_retriesLeft = attempts;
        m_retryPause = firstPause;
    }
    if (m_retriesLeft <= 0)
        return false;
    --m_retriesLeft;
    m_joinTimer.start(m_retryPause);
    m_retryPause *= 2;
    return true;
}

void XMPPConference::stopRetry()
{
    m_joinTimer.stop();
    m_retriesLeft = 0;
    m_retryPause = 0;
}

void XMPPConference::onPresence(const XMPPPresence& occupant)
{
    const XMPPJid from = occupant.from();
    if (from.bare().toString() != m_roomJid)
        return;

    if (occupant.availability() == 0) {
        const auto error = XMPPPresence::error_t(occupant.error());
        const bool firstRefusal = m_retryPause == 0;
        m_joinTimer.stop();
        bool retrying = false;
        if (error == XMPPPresence::error_t(7)) {
            retrying = scheduleRetry(BusyFirstPause, BusyAttempts);
        } else if (!m_joined && isItemNotFound(occupant)) {
            // A room is locked from its creation until its owner accepts a
            // configuration; an entry in that moment is refused as unknown.
            retrying = scheduleRetry(LockedFirstPause, LockedAttempts);
        }
        if (!retrying)
            stopRetry();
        // A busy room is reported at once (and again when the retries give
        // up); a locked one only if it stays locked.
        if (!retrying || (error == XMPPPresence::error_t(7) && firstRefusal))
            Q_EMIT userError(this, error);
        return;
    }

    const QString nick = from.resource();
    // A presence of the room itself names no occupant.
    if (nick.isEmpty())
        return;
    // Status 110 marks the own presence even when the room changed the nick.
    const bool self = hasStatus(occupant, StatusSelf) || nick == m_nick;
    const int availability = occupant.availability();
    // Only a presence that says the occupant is there or gone changes who
    // is present; a change of show (away and back) is no arrival.
    const bool wasPresent = self ? m_joined : m_present.contains(nick);

    if (occupant.isMucUser()) {
        const XMPPPresence::MucUser user = occupant.mucUserInfo();
        const XMPPJid actor = XMPPJid::fromText(user.actor);
        // A ban puts the occupant out too, and says more than the kick
        // that may come with it.
        if (availability == 1 && hasStatus(occupant, StatusBanned)) {
            if (self)
                Q_EMIT userBanned(this, actor, user.reason);
            else
                Q_EMIT participantBanned(this, nick, actor, user.reason);
        } else if (availability == 1 && hasStatus(occupant, StatusKicked)) {
            if (self)
                Q_EMIT userKicked(this, actor, user.reason);
            else
                Q_EMIT participantKicked(this, nick, actor, user.reason);
        } else if (availability == 1 && self) {
            for (const XMPPPresence::StatusCode code : RemovalCodes) {
                if (hasStatus(occupant, code)) {
                    Q_EMIT userRemoved(this, code, user.reason);
                    break;
                }
            }
        } else if (availability == 2 && self && hasStatus(occupant, StatusCreated)) {
            m_client->createInstantRoom(roomJid());
        }
    }

    if (availability >= 2) {
        if (self) {
            stopRetry();
            // The room may have changed the nick (status 210): keep its choice.
            m_nick = nick;
            m_joined = true;
            if (!wasPresent)
                Q_EMIT userJoined(this);
        } else {
            m_present.insert(nick);
            if (!wasPresent)
                Q_EMIT participantJoined(this, nick);
        }
        if (availability > 2)
            Q_EMIT presence(occupant);
    } else if (availability == 1) {
        if (self) {
            m_joined = false;
            m_present.clear();
            // Only a user who was in the room (or asked to leave it) leaves
            // it: the room's destruction after a kick says nothing new.
            const bool asked = std::exchange(m_leaving, false);
            if (wasPresent || asked)
                Q_EMIT userLeft(this);
        } else if (m_present.remove(nick)) {
            Q_EMIT participantLeft(this, nick);
        }
    }
}

void XMPPConference::onMessage(const XMPPMessage& msg)
{
    if (msg.type() != 2)
        return;
    const XMPPJid from = msg.from();
    if (from.bare().toString() == m_roomJid && from.toString() != m_roomJid)
        Q_EMIT message(msg);
}

void XMPPConference::onMessageError(const XMPPMessage& error)
{
    // Only the room itself refuses a group line, and only one it was sent:
    // an occupant can write an error with any text and any id.
    if (m_roomJid.isEmpty() || error.from().toString() != m_roomJid)
        return;
    if (!m_sentIds.removeOne(error.stanza().id)) {
        qCDebug(lcXmpp) << "room error for no line of ours ignored:" << error.stanza().id;
        return;
    }
    Q_EMIT messageRefused(this, error);
}

void XMPPConference::onOwnPhotoHashUpdated()
{
    if (!m_joined || !m_client)
        return;
    try {
        m_client->sendRoomPresence(roomJid(), m_nick);
    } catch (const std::exception& e) {
        qCWarning(lcXmpp) << "room presence not sent:" << e.what();
    }
}

void XMPPConference::onDisconnected()
{
    m_joined = false;
    m_present.clear();
    stopRetry();
}

void XMPPConference::onClientDestroyed()
{
    stopRetry();
    m_client = nullptr;
    m_joined = false;
    m_present.clear();
}

void XMPPConference::onJoinTimerTimeout()
{
    if (!m_client || m_joined || m_client->state() != XMPPClient::SessionState)
        return;
    try {
        m_client->joinRoom(roomJid(), m_nick);
    } catch (const std::exception& e) {
        qCWarning(lcXmpp) << "room entry retry failed:" << e.what();
    }
}
