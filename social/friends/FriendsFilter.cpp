#include "FriendsFilter.h"

#include "SocialLog.h"
#include "XMPPRosterModel.h"

#include <QDebug>

FriendsFilter::FriendsFilter(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
}

FriendsFilter::~FriendsFilter() = default;

bool FriendsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const auto* roster = qobject_cast<const XMPPRosterModel*>(sourceModel());
    if (!roster) {
        qCWarning(lcSocial) << "not XMPPRosterModel";
        return true;
    }
    const QModelIndex index = roster->index(sourceRow, 0, sourceParent);
    const XMPPRosterItem* item = roster->itemAt(index);
    if (!item) {
        qCWarning(lcSocial) << "no item at index " << index;
        return false;
    }
    return shows(*item);
}

bool FriendsFilter::shows(const XMPPRosterItem& item)
{
    return (item.subscriptionFlags & (XMPPRosterItem::SubscribedTo | XMPPRosterItem::SubscriptionPending)) != 0;
}
