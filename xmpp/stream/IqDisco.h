#pragma once

#include "Iq.h"

#include <QList>
#include <QStringList>

namespace xmpp {

struct DiscoIdentity
{
    QString category;
    QString name;
    QString type;
};

struct DiscoItem
{
    /// JID text.
    QString jid;
    QString name;
    QString node;
};

/// Service discovery information: the query ("get") and its result.
class IqDiscoInfo : public Iq
{
public:
    IqDiscoInfo() = default;
    IqDiscoInfo(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}
    int type() const override { return KindIqDiscoInfo; }

    QList<DiscoIdentity> identities;
    QStringList features;
};

/// Service discovery items: the query ("get") and its result.
class IqDiscoItems : public Iq
{
public:
    IqDiscoItems() = default;
    IqDiscoItems(const QString& id, const XMPPJid& to) : Iq(id, to, Get) {}
    int type() const override { return KindIqDiscoItems; }

    QList<DiscoItem> items;
};

} // namespace xmpp
