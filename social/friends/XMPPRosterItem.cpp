#include "XMPPRosterItem.h"

#include <QStringList>

#include <iterator>
#include <set>

const XMPPPresence* XMPPRosterItem::bestPresence() const
{
    const XMPPPresence* best = nullptr;
    int bestRank = -1;
    for (auto it = presences.cbegin(); it != presences.cend(); ++it) {
        const int rank = XMPPPresence::availabilityRank(it->availability());
        // Only a strictly better rank replaces the kept one, so among equals
        // the resource that sorts first wins.
        if (rank > bestRank) {
            best = &*it;
            bestRank = rank;
        }
    }
    return best;
}

int XMPPRosterItem::availability() const
{
    const XMPPPresence* best = bestPresence();
    return best ? best->availability() : int(XMPPPresence::Unavailable);
}

QStringList XMPPRosterItem::tables(int limit) const
{
    // A friend sits at a table from any of their clients, whichever of them
    // is the most available: every resource's paths count.
    std::set<QString> kept;
    if (limit <= 0)
        return {};
    for (const XMPPPresence& presence : presences) {
        const QSet<QString> paths = presence.tables();
        for (const QString& path : paths) {
            kept.insert(path);
            if (kept.size() > size_t(limit))
                kept.erase(std::prev(kept.end()));
        }
    }
    return QStringList(kept.cbegin(), kept.cend());
}
