// XMPPClient: the operations the social layer uses once the session is up
// (presence, subscriptions, messages, rooms, service discovery) and the
// forwarders to the extensions.
#include "XMPPClient.h"
#include "XMPPClient_p.h"

#include "ClientExtension.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "IqBind.h"
#include "IqDisco.h"
#include "MessageStanza.h"
#include "MucPresenceStanza.h"
#include "PresenceStanza.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

const QString MucFeature = QStringLiteral("http://jabber.org/protocol/muc");

void requireSession(const XMPPClient* client)
{
    if (client->state() != XMPPClient::SessionState)
        throw std::runtime_error("not connected");
}

/// The items of a disco#items reply; null for an error reply or none.
const xmpp::IqDiscoItems* discoItems(const xmpp::Iq* reply)
{
    // An error reply (or none) is no result, whatever its payload reads as.
    if (!xmpp::isResult(reply))
        return nullptr;
    if (reply->type() != xmpp::KindIqDiscoItems) {
        // The wrong kind of answer fails its request, not the session.
        qCWarning(lcXmpp) << "expected disco items from" << reply->from.toString();
        return nullptr;
    }
    return static_cast<const xmpp::IqDiscoItems*>(reply);
}

XMPPJid occupantJid(const XMPPJid& room, const QString& nick)
{
    if (room.toString().contains(QLatin1Char('/')))
        throw std::runtime_error("not a room JID (had resource part)");
    return XMPPJid(room.domain(), room.node(), nick);
}

}

void XMPPClient::logOut()
{
    if (d->state == SessionState) {
        write(xmpp::PresenceStanza(XMPPJid(), xmpp::PresenceStanza::Unavailable, QString()));
        // Out now, even if the program ends before the event loop turns.
        d->socket.flush();
    }
    disconnectFromHost();
}

void XMPPClient::sendOwnPresence()
{
    const int availability = d->availability;
    xmpp::PresenceStanza presence(XMPPJid(),
                                  availability == 1 ? xmpp::PresenceStanza::Unavailable
                                                    : xmpp::PresenceStanza::Available,
                                  QString());
    if (availability >= 3 && availability <= 6)
        presence.show = availability - 2;
    if (!d->status.isEmpty())
        presence.statuses.insert(QStringLiteral("UND"), d->status);
    presence.tables = d->tablePaths;
    presence.photoHash = d->photoHash;
    write(presence);
}

void XMPPClient::addTablePath(const QString& path)
{
    d->tablePaths.insert(path);
    if (d->state == SessionState)
        sendOwnPresence();
}

void XMPPClient::removeTablePath(const QString& path)
{
    if (d->tablePaths.remove(path) && d->state == SessionState)
        sendOwnPresence();
}

void XMPPClient::setOwnPhotoHash(const QByteArray& hash)
{
    d->photoHash = hash;
}

void XMPPClient::updateOwnPhotoHash(const QByteArray& hash)
{
    d->photoHash = hash;
    if (d->state != SessionState)
        return;
    sendOwnPresence();
    // The server passes the own presence to contacts, not to the rooms.
    Q_EMIT ownPhotoHashUpdated();
}

void XMPPClient::sendSubscription(const XMPPJid& jid, bool unsubscribe)
{
    write(xmpp::PresenceStanza(jid, unsubscribe ? xmpp::PresenceStanza::Unsubscribe : xmpp::PresenceStanza::Subscribe,
                               QString()));
}

void XMPPClient::answerSubscription(const XMPPJid& jid, int accept)
{
    write(xmpp::PresenceStanza(jid, accept == 1 ? xmpp::PresenceStanza::Subscribed
                                                : xmpp::PresenceStanza::Unsubscribed,
                               QString()));
}

QString XMPPClient::sendMessage(const XMPPMessage& message)
{
    requireSession(this);
    xmpp::MessageStanza stanza = message.stanza();
    stanza.id = nextId();
    // A stream without a language leaves "UND", never an empty xml:lang.
    if (stanza.defaultLanguage == QLatin1String("UND") && !d->parser.streamLanguage().isEmpty())
        stanza.defaultLanguage = d->parser.streamLanguage();
    if (stanza.language == stanza.defaultLanguage)
        stanza.language.clear();
    write(stanza);
    return stanza.id;
}

void XMPPClient::joinRoom(const XMPPJid& room, const QString& nick)
{
    xmpp::MucPresenceStanza presence(occupantJid(room, nick), xmpp::PresenceStanza::Available, nextId());
    presence.photoHash = d->photoHash;
    write(presence);
}

void XMPPClient::sendRoomPresence(const XMPPJid& room, const QString& nick)
{
    // No room element: this is no new entry, and the room sends no history.
    xmpp::PresenceStanza presence(occupantJid(room, nick), xmpp::PresenceStanza::Available, nextId());
    presence.photoHash = d->photoHash;
    write(presence);
}

void XMPPClient::leaveRoom(const XMPPJid& room, const QString& nick)
{
    write(xmpp::MucPresenceStanza(occupantJid(room, nick), xmpp::PresenceStanza::Unavailable, nextId()));
}

void XMPPClient::createInstantRoom(const XMPPJid& room)
{
    const QString id = nextId();
    write(xmpp::IqInstantRoom(id, room));
    registerIqHandler(id, [room](const xmpp::Iq* reply) {
        if (reply && !xmpp::isResult(reply))
            qCWarning(lcXmpp) << "room" << room.toString() << "refused the default configuration";
    });
}

void XMPPClient::discoverConferenceService()
{
    requireSession(this);
    const XMPPJid domain = d->parser.streamDomain();
    const XMPPJid server = domain.isEmpty() ? XMPPJid(d->streamDomain()) : domain;
    d->discoAsked = {server.toString()};
    d->discoQueue.clear();
    d->discoOutstanding = 0;
    d->discoFound = false;
    d->discoRunning = true;
    requestDiscoInfo(server);
}

void XMPPClient::askQueuedDiscoInfo()
{
    const bool session = d->state == SessionState && d->socket.state() == QAbstractSocket::ConnectedState;
    while (!d->discoFound && d->discoOutstanding < XMPPClientPrivate::DiscoParallel && !d->discoQueue.isEmpty()
           && session)
        requestDiscoInfo(d->discoQueue.takeFirst());
    // Every entity asked has answered (or failed to) and none offers rooms.
    if (session && d->discoRunning && !d->discoFound && d->discoOutstanding == 0 && d->discoQueue.isEmpty()) {
        d->discoRunning = false;
        qCWarning(lcXmpp) << "the discovery found no chat room service";
        Q_EMIT conferenceJIDNotFound();
    }
}

void XMPPClient::requestDiscoInfo(const XMPPJid& jid)
{
    const QString id = nextId();
    write(xmpp::IqDiscoInfo(id, jid));
    ++d->discoOutstanding;
    registerIqHandler(id, [this](const xmpp::Iq* reply) {
        --d->discoOutstanding;
        onDiscoInfo(reply);
        askQueuedDiscoInfo();
    });
}

void XMPPClient::onDiscoInfo(const xmpp::Iq* reply)
{
    // An error reply (or none) is no result, whatever its payload reads as.
    // The first service with rooms is the one: later answers change nothing.
    if (!xmpp::isResult(reply) || d->discoFound)
        return;
    if (reply->type() != xmpp::KindIqDiscoInfo) {
        qCWarning(lcXmpp) << "expected disco info from" << reply->from.toString();
        return;
    }
    const auto* info = static_cast<const xmpp::IqDiscoInfo*>(reply);
    if (info->features.contains(MucFeature)) {
        d->discoFound = true;
        d->discoRunning = false;
        d->discoQueue.clear();
        Q_EMIT conferenceJID(reply->from);
        return;
    }
    const QString id = nextId();
    write(xmpp::IqDiscoItems(id, reply->from));
    ++d->discoOutstanding;
    registerIqHandler(id, [this](const xmpp::Iq* items) {
        --d->discoOutstanding;
        onConferenceServiceItems(items);
        askQueuedDiscoInfo();
    });
}

void XMPPClient::onConferenceServiceItems(const xmpp::Iq* reply)
{
    const xmpp::IqDiscoItems* items = discoItems(reply);
    if (!items || d->discoFound)
        return;
    for (const xmpp::DiscoItem& item : items->items) {
        // A server lists a handful of services: the first few dozen are
        // asked, a few at a time, so that a list of thousands neither fills
        // the stream with requests nor keeps the discovery going long.
        if (d->discoAsked.size() >= XMPPClientPrivate::DiscoMaxAsked)
            break;
        const XMPPJid jid = xmpp::parseJid(item.jid);
        // Each entity is asked once per discovery: services that list each
        // other would otherwise keep the chain going for ever.
        if (jid != reply->from && !d->discoAsked.contains(jid.toString())) {
            d->discoAsked.insert(jid.toString());
            d->discoQueue.append(jid);
        }
    }
}

void XMPPClient::requestConferenceRooms(const XMPPJid& service)
{
    requireSession(this);
    const QString id = nextId();
    write(xmpp::IqDiscoItems(id, service));
    // Any user may add a room, so the list grows with everyone's rooms: it
    // is read an item at a time, each item bounded alone, however long the
    // list runs.
    d->parser.allowLargerAnswer(id, {service.toString()}, std::numeric_limits<qint64>::max());
    registerIqHandler(id, [this, service](const xmpp::Iq* reply) {
        if (!xmpp::isResult(reply))
            qCWarning(lcXmpp) << "room list of" << service.toString() << "not read";
        onConferenceRoomItems(service, reply);
    });
}

void XMPPClient::onConferenceRoomItems(const XMPPJid& service, const xmpp::Iq* reply)
{
    const xmpp::IqDiscoItems* items = discoItems(reply);
    if (!items) {
        // Without an answer because the connection ended, the chat being
        // offline says it all.
        if (reply || d->socket.state() == QAbstractSocket::ConnectedState)
            Q_EMIT conferenceRoomsFailed(service);
        return;
    }
    QList<XMPPJid> rooms;
    for (const xmpp::DiscoItem& item : items->items)
        rooms << xmpp::parseJid(item.jid);
    Q_EMIT conferenceRooms(rooms);
}

void XMPPClient::handlePresence(const xmpp::StreamElement* element)
{
    const auto* stanza = static_cast<const xmpp::PresenceStanza*>(element);
    switch (xmpp::names::presenceTypeFromName(stanza->stanzaType)) {
    case xmpp::PresenceStanza::Available:
    case xmpp::PresenceStanza::Unavailable:
        Q_EMIT presence(XMPPPresence(*stanza));
        qCDebug(lcXmpp) << "Presence";
        break;
    case xmpp::PresenceStanza::Subscribe: {
        // Accepting a friend is the own roster's business, never shed for
        // others' requests: while what waits unsent is over their share it
        // waits too, one request per sender, and goes out first.
        qCDebug(lcXmpp) << "Subscribe" << stanza->from.toString();
        auto& held = d->heldSubscriptions;
        if (held.isEmpty() && !d->backlogOverOthersShare()) {
            Q_EMIT authorizationRequestReceived(stanza->from);
        } else if (std::none_of(held.cbegin(), held.cend(), [&](const XMPPJid& j) { return j.bare() == stanza->from.bare(); })) {
            if (held.size() < XMPPClientPrivate::MaxHeldSubscriptions)
                held.append(stanza->from);
            else
                qCWarning(lcXmpp) << "too many friend requests wait: dropped the one of" << stanza->from.toString();
            if (!d->heldTimer.isActive())
                d->heldTimer.start();
        }
        break;
    }
    case xmpp::PresenceStanza::Subscribed:
        qCDebug(lcXmpp) << "Subscribed" << stanza->from.toString();
        break;
    case xmpp::PresenceStanza::Unsubscribe:
        qCDebug(lcXmpp) << "Unsubscribe" << stanza->from.toString();
        break;
    case xmpp::PresenceStanza::Unsubscribed:
        qCDebug(lcXmpp) << "Unsubscribed" << stanza->from.toString();
        break;
    case xmpp::PresenceStanza::Probe:
        // Servers probe servers (RFC 6121 4.3); the own server already has
        // the own presence, and answering each probe would let a server
        // make the client write without end.
        qCDebug(lcXmpp) << "Presence probe ignored";
        break;
    case xmpp::PresenceStanza::Error:
        qCDebug(lcXmpp) << "Presence error";
        Q_EMIT presence(XMPPPresence(*stanza));
        break;
    }
}

void XMPPClient::requestVCard(const XMPPJid& jid)
{
    d->vCard.requestVCard(jid);
}

void XMPPClient::uploadVCard(const XMPPVCard& vCard)
{
    d->vCard.uploadVCard(vCard);
}

void XMPPClient::requestRoster()
{
    d->roster.requestRoster();
}

void XMPPClient::updateRosterItem(const XMPPJid& jid, bool remove, const QString& name, const QString& group)
{
    d->roster.updateRosterItem(jid, remove, name, group);
}

void XMPPClient::requestSearchForm(const XMPPJid& service, const QString& requestTag)
{
    d->search.requestSearchForm(service, requestTag);
}

void XMPPClient::search(const XMPPJid& service, const XMPPDataForm& form, const QString& requestTag)
{
    d->search.search(service, form, requestTag);
}
