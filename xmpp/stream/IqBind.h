#pragma once

#include "Iq.h"

namespace xmpp {

/// Resource binding: the request with the wanted resource, the result with
/// the bound full JID.
class IqBind : public Iq
{
public:
    IqBind() = default;
    /// A "set" request; an empty resource lets the server choose.
    IqBind(const QString& id, const QString& resource) : Iq(id, XMPPJid(), Set), resource(resource) {}
    int type() const override { return KindIqBind; }

    QString resource;
    XMPPJid jid;
};

/// Session establishment ("set", empty payload).
class IqSession : public Iq
{
public:
    IqSession() = default;
    explicit IqSession(const QString& id) : Iq(id, XMPPJid(), Set) {}
    int type() const override { return KindIqSession; }
};

/// Asks a new room to be created with its default configuration.
class IqInstantRoom : public Iq
{
public:
    IqInstantRoom(const QString& id, const XMPPJid& room) : Iq(id, room, Set) {}
    int type() const override { return KindIqInstantRoom; }
};

/// An XMPP ping (XEP-0199): any answer shows the addressee and the link alive.
class IqPing : public Iq
{
public:
    IqPing(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}
    int type() const override { return KindIqPing; }
};

} // namespace xmpp
