#include "XMPPRosterItem.h"

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
