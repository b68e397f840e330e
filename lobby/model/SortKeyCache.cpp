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
        if (parent.isValid() || column < 0 || first > int(heads.size()))
            return rebuild();
        const std::size_t count = std::size_t(last - first + 1);
        heads.insert(heads.begin() + first, count, SortKey::Head{});
        rests.insert(rests.begin() + first, count, QByteArray());
        pins.insert(pins.begin() + first, count, 0);
        refresh(first, last);
    });
    connections << QObject::connect(source, &M::rowsRemoved, proxy, [this](const QModelIndex& parent, int first, int last) {
        if (parent.isValid() || column < 0 || last >= int(heads.size()))
            return rebuild();
        heads.erase(heads.begin() + first, heads.begin() + last + 1);
        rests.erase(rests.begin() + first, rests.begin() + last + 1);
        pins.erase(pins.begin() + first, pins.begin() + last + 1);
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

void SortKeyCache::refresh(int first, int last)
{
    last = std::min(last, int(heads.size()) - 1);
    for (int row = std::max(first, 0); row <= last; ++row) {
        const std::size_t at = std::size_t(row);
        const CustomItemBase* cell = cells.cell(source, row, column);
        heads[at] = cell ? cell->sortKey().head() : SortKey::Head{};
        rests[at] = cell ? cell->sortKey().rest() : QByteArray();
        if (pin) {
            const CustomItemBase* mark = cells.cell(source, row, 0);
            pins[at] = pin(mark, mark ? QModelIndex() : source->index(row, 0));
        }
    }
}

void SortKeyCache::rebuild()
{
    const std::size_t rows = source && column >= 0 && column < source->columnCount() ? std::size_t(source->rowCount()) : 0;
    heads.assign(rows, SortKey::Head{});
    rests.assign(rows, QByteArray());
    pins.assign(rows, 0);
    refresh(0, int(rows) - 1);
}

std::optional<SortKeyCache::Comparison> SortKeyCache::compare(const QModelIndex& left, const QModelIndex& right) const
{
    const auto kept = [this](const QModelIndex& index) {
        return index.column() == column && index.model() == sourceModel && index.row() < int(heads.size());
    };
    if (!kept(left) || !kept(right))
        return std::nullopt;
    const std::size_t l = std::size_t(left.row()), r = std::size_t(right.row());
    Comparison result{pins[l] != 0, pins[r] != 0, std::nullopt};
    if (heads[l].comparable(heads[r]))
        result.keys = SortKey::compare(heads[l], rests[l], heads[r], rests[r]);
    return result;
}
