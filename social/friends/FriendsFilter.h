#pragma once

#include <QSortFilterProxyModel>

struct XMPPRosterItem;

/// Keeps the contacts whose presence the own user receives or has asked
/// for; contacts who only see the own user ("from") or none are hidden.
/// Rows keep the roster's order.
class FriendsFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FriendsFilter(QObject* parent = nullptr);
    ~FriendsFilter() override;

    /// Whether the item is listed as a friend: someone who only sees the
    /// own user (a subscriber the user never asked) is not.
    static bool shows(const XMPPRosterItem& item);

protected:
    /// Accepts every row of a source that is no roster model (with a warning);
    /// rejects a row without item.
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
