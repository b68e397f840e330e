#pragma once

#include "KeyedCells.h"
#include "SortKey.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class CustomItemBase;
class QAbstractItemModel;
class QModelIndex;
class QSortFilterProxyModel;

/// The sort keys of the column a sort proxy sorts by, one per row of its
/// (flat) source in the source's order, as the proxy last heard of them: a
/// sort of many thousands of rows reads them from one array rather than
/// asking a cell scattered in memory at every comparison, and a row changed
/// but not yet announced is compared by the key the proxy placed it by.
class SortKeyCache
{
public:
    /// Whether a source row is pinned, told by its first cell, or where that
    /// is no keyed cell, by the index of that cell.
    using Pin = std::function<bool(const CustomItemBase* firstCell, const QModelIndex& firstIndex)>;

    explicit SortKeyCache(QSortFilterProxyModel* proxy, Pin pin = {});

    /// Follows a new source: to be called before the proxy takes it, so that
    /// at every change of the source the keys change before the proxy sorts.
    void attach(QAbstractItemModel* source);
    /// The source column to keep keys of; -1 for none.
    void setColumn(int column);
    /// Two rows as kept: whether each is pinned, and how their keys compare
    /// (negative, zero or positive; nothing where they do not compare).
    struct Comparison
    {
        bool leftPinned;
        bool rightPinned;
        std::optional<int> keys;
    };
    /// For two indexes of the source in the kept column; nothing for others.
    std::optional<Comparison> compare(const QModelIndex& left, const QModelIndex& right) const;

private:
    void refresh(int first, int last);
    void rebuild();

    QSortFilterProxyModel* proxy;
    Pin pin;
    QPointer<QAbstractItemModel> source;
    /// The source as compared with the indexes' models, at each comparison.
    const QAbstractItemModel* sourceModel = nullptr;
    int column = -1;
    /// By source row: the keys' heads side by side, their rests, the pins.
    std::vector<SortKey::Head> heads;
    std::vector<QByteArray> rests;
    std::vector<quint8> pins;
    KeyedCells cells;
    QList<QMetaObject::Connection> connections;
};
