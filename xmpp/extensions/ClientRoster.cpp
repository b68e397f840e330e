#include "ClientRoster.h"

#include "Exceptions.h"
#include "IqRoster.h"
#include "XMPPClient.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <QMetaObject>

#include <algorithm>

namespace xmpp {

ClientRoster::ClientRoster(XMPPClient* client)
    : ClientExtension(client)
{
}

void ClientRoster::requestRoster()
{
    const QString id = nextId();
    client->write(IqRoster(id));
    addResultHandler(id, [this](const Iq* answer) { requestRosterResult(answer); });
}

void ClientRoster::emitItems(const IqRoster& iq)
{
    for (const IqRoster::Item& item : iq.items())
        Q_EMIT rosterUpdate(item.jid, item.subscription, item.remove, item.name, item.group);
}

void ClientRoster::requestRosterResult(const Iq* answer)
{
    if (!isResult(answer)) {
        qCWarning(lcXmpp) << "Request roster error";
        return;
    }
    if (answer->type() != KindIqRoster) {
        // Not a roster: the request has failed, the friends list stays.
        qCWarning(lcXmpp) << "Request roster error: the answer holds no roster";
        return;
    }
    Q_EMIT rosterReset();
    m_answer = static_cast<const IqRoster*>(answer)->items();
    m_next = 0;
    tellAnswer();
}

void ClientRoster::tellAnswer()
{
    // Each item costs its listeners a row: a long roster in one turn would
    // stall the window.
    constexpr size_t Batch = 2000;
    const size_t end = std::min(m_answer.size(), m_next + Batch);
    for (; m_next < end; ++m_next) {
        const IqRoster::Item& item = m_answer[m_next];
        Q_EMIT rosterUpdate(item.jid, item.subscription, item.remove, item.name, item.group);
    }
    if (m_next < m_answer.size()) {
        QMetaObject::invokeMethod(this, &ClientRoster::tellAnswer, Qt::QueuedConnection);
        return;
    }
    m_answer.clear();
    m_next = 0;
    Q_EMIT rosterComplete();
    qCDebug(lcXmpp) << "Request roster ok";
}

void ClientRoster::updateRosterItem(const XMPPJid& jid, bool remove, const QString& name, const QString& group)
{
    const QString id = nextId();
    IqRoster::Item item;
    item.jid = jid;
    item.remove = remove;
    item.name = name;
    item.group = group;
    client->write(IqRoster({item}, id));
    addResultHandler(id, [this](const Iq* answer) { updateRosterItemResult(answer); });
}

void ClientRoster::updateRosterItemResult(const Iq* answer)
{
    if (!isResult(answer)) {
        qCWarning(lcXmpp) << "Update roster item error";
        return;
    }
    if (answer->type() != KindIq)
        qCWarning(lcXmpp) << "Unexpected stanza type" << answer->type() << "in updateRosterItemResult";
    qCDebug(lcXmpp) << "Update roster item ok";
}

void ClientRoster::handleRosterPush(const IqRoster& iq)
{
    if (iq.stanzaType == QLatin1String("set")) {
        // A push may only come from the own account (RFC 6121 2.1.6); anyone
        // else could rewrite the friends list.
        const XMPPJid own = XMPPJid::fromText(client->ownJid());
        if (!iq.from.isEmpty() && iq.from.bare() != own.bare() && iq.from.toString() != own.domain()) {
            qCWarning(lcXmpp) << "Roster push from" << iq.from.toString() << "ignored";
            return;
        }
        emitItems(iq);
        Iq ack(iq.id, XMPPJid(), Iq::Result);
        client->write(ack);
        qCDebug(lcXmpp) << "IqRoster";
        return;
    }
    // Anything but a push (a "get", a type of no list) asks for what the
    // client does not serve; answers never arrive here.
    stanza_error fault(stanza_error::Iq, names::stanzaErrorTypeFromName(QStringLiteral("continue")),
                       names::stanzaErrorConditionFromName(QStringLiteral("bad-request")), iq.id);
    fault.setStanza(iq.stanzaType, iq.from.toString());
    throw fault;
}

} // namespace xmpp
