#pragma once

#include "ClientExtension.h"
#include "IqRoster.h"
#include "XMPPJid.h"

#include <QObject>

namespace xmpp {

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
    /// A roster answer is still being told: the stanzas after it wait.
    bool tellingAnswer() const { return m_next < m_answer.size(); }
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
    /// Every item of the roster since rosterReset has been told. A long
    /// roster is told in batches, one per turn of the event loop, and no
    /// other stanza is handled in between.
    void rosterComplete();

private:
    void requestRosterResult(const Iq* answer);
    void updateRosterItemResult(const Iq* answer);
    void emitItems(const IqRoster& iq);
    /// Tells the next batch of the answer's items, and queues the next one.
    void tellAnswer();

    std::vector<IqRoster::Item> m_answer;
    size_t m_next = 0;
};

} // namespace xmpp
