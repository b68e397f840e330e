#pragma once

#include "ClientExtension.h"
#include "XMPPJid.h"

#include <QObject>

namespace xmpp {

class IqRoster;

/// The friends list: fetching the roster, asking for changes, and the
/// server's pushes after every change.
class ClientRoster : public QObject, public ClientExtension
{
    Q_OBJECT

public:
    explicit ClientRoster(XMPPClient* client);

    /// Fetches the whole roster: rosterReset, one rosterUpdate per item,
    /// then rosterComplete.
    void requestRoster();
    /// Asks the server to add, change or (remove) drop one item; the change
    /// itself arrives as a push.
    void updateRosterItem(const XMPPJid& jid, bool remove, const QString& name, const QString& group);
    /// A roster iq from the server that answers no request of ours.
    void handleRosterPush(const IqRoster& iq);

Q_SIGNALS:
    /// The whole roster follows; listeners drop what they had.
    void rosterReset();
    /// One item was added, changed or (remove) removed.
    void rosterUpdate(XMPPJid jid, int subscribeFlags, bool remove, QString name, QString group);
    /// Every item of the roster since rosterReset has been told, in the
    /// same call: listeners may take them in as one change.
    void rosterComplete();

private:
    void requestRosterResult(const Iq* answer);
    void updateRosterItemResult(const Iq* answer);
    void emitItems(const IqRoster& iq);
};

} // namespace xmpp
