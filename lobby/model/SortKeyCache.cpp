#include "SortKeyCache.h"

#include "CustomItemBase.h"

#include <QSortFilterProxyModel>

SortKeyCache::SortKeyCache(QSortFilterProxyModel* proxy, Pin pin)
    : proxy(proxy)
    , pin(std::move(pin))
{
}

void SortKeyCache::attach(QAbstractItemModel* newSource)
{
    for (const QMetaObject::Connection& connection : std::as_const(connections))
        QObject::disconnect(connection);
    connections.clear();
    source = newSource;
    sourceModel = newSource;
    rebuild();
    if (!source)
        return;
    using M = QAbstractItemModel;
    const auto all = [this] { rebuild(); };
    connections << QObject::connect(source, &M::rowsInserted, proxy, [this](const QModelIndex& parent, int first, int last) {
        if (parent.isValid() || column < 0 || first > int(entries.size()))
            return rebuild();
        entries.insert(entries.begin() + first, std::size_t(last - first + 1), Entry{});
        refresh(first, last);
    });
    connections << QObject::connect(source, &M::rowsRemoved, proxy, [this](const QModelIndex& parent, int first, int last) {
        if (parent.isValid() || column < 0 || last >= int(entries.size()))
            return rebuild();
        entries.erase(entries.begin() + first, entries.begin() + last + 1);
    });
    connections << QObject::connect(source, &M::dataChanged, proxy,
                                    [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                                        const bool keyed = topLeft.column() <= column && column <= bottomRight.column();
                                        if (column >= 0 && (keyed || (pin && topLeft.column() == 0)))
                                            refresh(topLeft.row(), bottomRight.row());
                                    });
    connections << QObject::connect(source, &M::layoutChanged, proxy, all);
    connections << QObject::connect(source, &M::rowsMoved, proxy, all);
    connections << QObject::connect(source, &M::columnsInserted, proxy, all);
    connections << QObject::connect(source, &M::columnsRemoved, proxy, all);
    connections << QObject::connect(source, &M::columnsMoved, proxy, all);
    connections << QObject::connect(source, &M::modelReset, proxy, all);
}

void SortKeyCache::setColumn(int newColumn)
{
    if (newColumn == column)
        return;
    column = newColumn;
    rebuild();
}

SortKeyCache::Entry SortKeyCache::makeEntry(int row) const
{
    Entry made;
    if (const CustomItemBase* cell = cells.cell(source, row, column))
        made.key = cell->sortKey();
    if (pin) {
        const CustomItemBase* first = cells.cell(source, row, 0);
        made.pinned = pin(first, first ? QModelIndex() : source->index(row, 0));
    }
    return made;
}

void SortKeyCache::refresh(int first, int last)
{
    last = std::min(last, int(entries.size()) - 1);
    for (int row = std::max(first, 0); row <= last; ++row)
        entries[std::size_t(row)] = makeEntry(row);
}

void SortKeyCache::rebuild()
{
    entries.clear();
    if (!source || column < 0 || column >= source->columnCount())
        return;
    const int rows = source->rowCount();
    entries.reserve(std::size_t(rows));
    for (int row = 0; row < rows; ++row)
        entries.push_back(makeEntry(row));
}

const SortKeyCache::Entry* SortKeyCache::entry(const QModelIndex& sourceIndex) const
{
    if (sourceIndex.column() != column || sourceIndex.model() != sourceModel || sourceIndex.row() >= int(entries.size()))
        return nullptr;
    return &entries[std::size_t(sourceIndex.row())];
}

std::optional<bool> SortKeyCache::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const Entry* l = entry(left);
    const Entry* r = entry(right);
    if (!l || !r || !l->key.comparable(r->key))
        return std::nullopt;
    return l->key.compare(r->key) < 0;
}
