#include "TableModel.h"

#include <Utils.h>

#include "ConnectionManager.h"
#include "ItemFactory.h"
#include "LobbyMetaTypes.h"
#include "LobbyPath.h"
#include "LobbyRoles.h"
#include "RulesetGameTypePair.h"
#include "TableCapacityItem.h"
#include "TableInfo.h"
#include "TableInfoTexts.h"
#include "TableTexts.h"
#include "ValueColumnType.h"

#include <QDebug>
#include <QSignalBlocker>

#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
struct TableRow
{
    TableInfo info;
    QStandardItem* name = nullptr;
    CustomItem<RulesetGameTypePair>* rules = nullptr;
    TableCapacityItem* players = nullptr;
    CustomItem<int>* timeLimit = nullptr;
    CustomItem<ValueColumnType>* buyIn = nullptr;
    CustomItem<qint64>* maxWin = nullptr;

    QList<QStandardItem*> items() const { return {name, rules, players, timeLimit, buyIn, maxWin}; }
};

struct Subscription
{
    int count = 0;
    /// Narrower paths that were subscribed at the server before this one
    /// took them over; they are released together with this one.
    QStringList absorbed;
};

bool isFree(const TableInfo& info)
{
    return ValueColumnType(info.value).isFree();
}
}

struct TableModel::Private
{
    TableModel* q;
    std::map<qint32, TableRow> rows;
    ConnectionManager* connection;
    std::map<QString, Subscription> subscriptions;
    int moneyTableCount = 0;

    using SubscriptionIt = std::map<QString, Subscription>::iterator;

    SubscriptionIt covering(const QString& path)
    {
        for (const QString& candidate : LobbyPath::coveringCandidates(path)) {
            auto it = subscriptions.find(candidate);
            if (it != subscriptions.end())
                return it;
        }
        return subscriptions.end();
    }

    void countMoneyChange(bool wasFree, bool nowFree)
    {
        if (wasFree && !nowFree) {
            if (++moneyTableCount == 1)
                Q_EMIT q->hasMoneraryTablesChanged(true);
        } else if (!wasFree && nowFree) {
            if (--moneyTableCount == 0)
                Q_EMIT q->hasMoneraryTablesChanged(false);
        }
    }

    void fillRow(TableRow& row)
    {
        const TableInfo& info = row.info;
        const ValueColumnType value(info.value);
        const QString toolTip = plainToolTip(tableToolTip(info));
        row.name->setText(info.name);
        row.name->setData(info.lobbyPath, LobbyPathRole);
        row.rules->setValue(RulesetGameTypePair{info.ruleset, info.gameType}, false);
        row.players->setData(QVariant::fromValue(info.capacity), Qt::DisplayRole);
        row.timeLimit->setValue(info.speed, false);
        row.buyIn->setValue(value, false);
        row.maxWin->setValue(value.maxWin(), false);
        for (QStandardItem* item : row.items())
            item->setToolTip(toolTip);
    }

    /// Puts the stored record into the row's cells and tells the views with
    /// one change covering the row (each proxy re-filters and re-sorts the row
    /// once).
    void refreshRow(TableRow& row)
    {
        {
            const QSignalBlocker blocker(q);
            fillRow(row);
        }
        const int r = row.name->row();
        if (r < 0)
            return;
        // QStandardItemModel turns this into itemChanged for each of the six cells.
        Q_EMIT q->dataChanged(q->index(r, 0), q->index(r, ColumnCount - 1));
    }

    void addRow(const TableInfo& info)
    {
        TableRow row;
        row.info = info;
        const QString noToolTip;
        row.name = makeItem(QString(), noToolTip, Qt::AlignLeft);
        row.rules = makeCustomItem<RulesetGameTypePair>({}, noToolTip, [](const RulesetGameTypePair& pair) {
            return pair.toString();
        });
        row.players = new TableCapacityItem;
        row.players->setEditable(false);
        row.timeLimit = makeItem(0, noToolTip, [](const int& speed) { return timeLimitText(speed); });
        row.buyIn = makeCustomItem<ValueColumnType>({}, noToolTip, [](const ValueColumnType& value) {
            return value.buyInTotalText();
        });
        row.maxWin = makeCustomItem<qint64>(0, noToolTip, [](const qint64& amount) { return moneyOrDash(amount); });
        for (QStandardItem* item : row.items())
            item->setData(info.tableId, Qt::UserRole);
        fillRow(row);

        const QList<QStandardItem*> items = row.items();
        const bool free = isFree(info);
        rows.emplace(info.tableId, std::move(row));
        q->appendRow(items);
        countMoneyChange(true, free);
    }

    void removeRow(std::map<qint32, TableRow>::iterator it)
    {
        const qint32 tableId = it->first;
        const bool free = isFree(it->second.info);
        const int r = it->second.name->row();
        // The record stays readable while the views hear of the removal; the
        // map entry goes right after, together with the cells.
        if (r >= 0 && q->item(r, 0) == it->second.name)
            q->removeRow(r);
        else
            qWarning() << "invalid index returned";
        rows.erase(tableId);
        countMoneyChange(free, true);
    }

    /// Removes the rows of the given tables (row and table id, sorted by
    /// row) a run of neighbouring rows at a time, the last run first. Row by
    /// row, a path of many thousands of tables takes a time growing with the
    /// square of their number; so do many short runs (tables of two paths
    /// that alternate), which are first gathered into one.
    void removeRuns(std::vector<std::pair<int, qint32>>& going)
    {
        if (runCount(going) > maxRunsRemovedApart)
            gatherAtTheEnd(going);
        while (!going.empty()) {
            auto first = going.end() - 1;
            while (first != going.begin() && first->first > 0 && std::prev(first)->first == first->first - 1)
                --first;
            // The records stay readable while the views hear of the removal.
            if (first->first >= 0)
                q->removeRows(first->first, int(going.end() - first));
            else
                qWarning() << "invalid index returned";
            for (auto it = first; it != going.end(); ++it) {
                const auto row = rows.find(it->second);
                const bool free = isFree(row->second.info);
                rows.erase(row);
                countMoneyChange(free, true);
            }
            going.erase(first, going.end());
        }
    }

    static constexpr std::size_t maxRunsRemovedApart = 16;

    static std::size_t runCount(const std::vector<std::pair<int, qint32>>& going)
    {
        std::size_t runs = 0;
        for (std::size_t i = 0; i < going.size(); ++i)
            runs += i == 0 || going[i].first != going[i - 1].first + 1 ? 1 : 0;
        return runs;
    }

    /// In one layout change, moves the going rows after the others, each
    /// part in its order, and renumbers `going`: it is then one run at the
    /// end. Every cell is taken out and set again at its new place, which it
    /// then knows: a cell moved by the model's sort, or shifted by a removal
    /// before it, finds its row later from where it was last seen, at a cost
    /// growing with the distance, and every such cell that goes or stays
    /// would pay it once.
    void gatherAtTheEnd(std::vector<std::pair<int, qint32>>& going)
    {
        const int count = q->rowCount();
        const int stayCount = count - int(going.size());
        std::vector<int> place(std::size_t(count), -1);
        int leaving = stayCount;
        for (const auto& entry : going)
            place[std::size_t(entry.first)] = leaving++;
        for (int row = 0, staying = 0; row < count; ++row) {
            if (place[std::size_t(row)] < 0)
                place[std::size_t(row)] = staying++;
        }
        Q_EMIT q->layoutAboutToBeChanged();
        // A cell taken out drops the persistent indexes at its place; they
        // wait past the last row while the cells move.
        const QModelIndexList before = q->persistentIndexList();
        QModelIndexList aside;
        aside.reserve(before.size());
        for (const QModelIndex& index : before)
            aside << q->createIndex(count + place[std::size_t(index.row())], index.column(), index.internalPointer());
        q->changePersistentIndexList(before, aside);
        {
            const QSignalBlocker blocker(q);
            std::vector<QStandardItem*> cells(std::size_t(count) * ColumnCount);
            for (int row = 0; row < count; ++row) {
                for (int column = 0; column < ColumnCount; ++column)
                    cells[std::size_t(row) * ColumnCount + column] = q->takeItem(row, column);
            }
            for (int row = 0; row < count; ++row) {
                for (int column = 0; column < ColumnCount; ++column)
                    q->setItem(place[std::size_t(row)], column, cells[std::size_t(row) * ColumnCount + column]);
            }
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before)
            after << q->index(place[std::size_t(index.row())], index.column());
        q->changePersistentIndexList(aside, after);
        Q_EMIT q->layoutChanged();
        for (std::size_t i = 0; i < going.size(); ++i)
            going[i].first = stayCount + int(i);
    }

    void sendUnsubscribe(const QString& path)
    {
        if (!connection)
            return;
        try {
            connection->lobby_table_unsubscribe(path);
        } catch (const std::exception& e) {
            qWarning() << "can't unsubscribe" << path << ":" << e.what();
        }
    }
};

TableModel::TableModel(ConnectionManager* connection, QObject* parent)
    : QStandardItemModel(parent)
    , d(new Private{this, {}, connection, {}, 0})
{
    registerLobbyMetaTypes();
    retranslate();
}

TableModel::~TableModel()
{
    if (!d->subscriptions.empty()) {
        qWarning() << "Table subscriptions could be unbalanced";
        for (const auto& [path, subscription] : d->subscriptions)
            qWarning().noquote() << "\t" + path + "(" + QString::number(subscription.count) + ")";
    }
}

void TableModel::subscribe(const QString& path)
{
    if (path.isEmpty()) {
        qWarning() << "can't subscribe an empty lobby path";
        return;
    }
    auto it = d->covering(path);
    if (it != d->subscriptions.end()) {
        ++it->second.count;
        qDebug().nospace().noquote() << "Increased ref-count for " << it->first << ", count is now " << it->second.count;
        return;
    }

    // Ask the server first: a path it cannot take leaves no entry behind.
    if (d->connection) {
        try {
            d->connection->lobby_table_subscribe(path);
        } catch (const std::exception& e) {
            qWarning() << "can't subscribe" << path << ":" << e.what();
            return;
        }
    }

    Subscription subscription{1, {}};
    for (auto next = d->subscriptions.lower_bound(path);
         next != d->subscriptions.end() && next->first.startsWith(path);) {
        if (LobbyPath::covers(path, next->first)) {
            subscription.count += next->second.count;
            subscription.absorbed << next->first << next->second.absorbed;
            next = d->subscriptions.erase(next);
        } else {
            ++next;
        }
    }
    const int count = subscription.count;
    d->subscriptions.emplace(path, std::move(subscription));
    qDebug().nospace().noquote() << "Subscribed for " << path << ", count is " << count;
}

void TableModel::unsubscribe(const QString& path)
{
    auto it = d->covering(path);
    if (it == d->subscriptions.end()) {
        qWarning().nospace().noquote() << "can't unsubscribe " << path << ": no subscription found";
        return;
    }
    --it->second.count;
    qDebug().nospace().noquote() << "Decreased ref-count for " << it->first << ", count is now " << it->second.count;
    if (it->second.count > 0)
        return;

    const QString key = it->first;
    const QStringList absorbed = it->second.absorbed;
    d->subscriptions.erase(it);
    qDebug().noquote() << "will unsubscribe for path:" << key;
    // Rows are read in their order rather than asked for their numbers: after
    // an earlier removal a cell finds its number from where it was last seen,
    // at a cost growing with how far it has moved since.
    std::vector<std::pair<int, qint32>> going;
    for (int r = 0, count = rowCount(); r < count; ++r) {
        const QStandardItem* name = item(r, NameColumn);
        if (LobbyPath::covers(key, name->data(LobbyPathRole).toString()))
            going.emplace_back(r, name->data(Qt::UserRole).toInt());
    }
    d->removeRuns(going);
    d->sendUnsubscribe(key);
    for (const QString& narrower : absorbed)
        d->sendUnsubscribe(narrower);
}

bool TableModel::isPathSubscribed(const QString& path) const
{
    return d->covering(path) != d->subscriptions.end();
}

QMap<QString, int> TableModel::subscriptions() const
{
    QMap<QString, int> result;
    for (const auto& [path, subscription] : d->subscriptions)
        result.insert(path, subscription.count);
    return result;
}

bool TableModel::hasTableInfo(qint32 tableId) const
{
    return d->rows.count(tableId) != 0;
}

const TableInfo& TableModel::tableInfo(qint32 tableId) const
{
    auto it = d->rows.find(tableId);
    if (it == d->rows.end())
        throw std::runtime_error("info for table " + std::to_string(tableId) + " unavailable");
    return it->second.info;
}

bool TableModel::isTableFull(qint32 tableId) const
{
    auto it = d->rows.find(tableId);
    return it != d->rows.end() && it->second.info.capacity.isFull();
}

bool TableModel::hasMoneraryTables() const
{
    return d->moneyTableCount != 0;
}

int TableModel::rowOfTable(qint32 tableId) const
{
    auto it = d->rows.find(tableId);
    return it == d->rows.end() ? -1 : it->second.name->row();
}

void TableModel::retranslate()
{
    setHorizontalHeaderLabels({
        tr("Table Name"),
        tr("Rules"),
        tr("Players"),
        tr("Time limit"),
        tr("Buy-in"),
        tr("Max win"),
    });
    if (d->rows.empty())
        return;
    {
        const QSignalBlocker blocker(this);
        for (auto& [id, row] : d->rows) {
            const QString toolTip = plainToolTip(tableToolTip(row.info));
            for (QStandardItem* item : row.items())
                item->setToolTip(toolTip);
        }
    }
    // One change over every cell; QStandardItemModel signals itemChanged for each.
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void TableModel::addOrUpdateTable(const TableInfo& info)
{
    if (!isPathSubscribed(info.lobbyPath))
        return;
    auto it = d->rows.find(info.tableId);
    if (it == d->rows.end()) {
        d->addRow(info);
        return;
    }
    if (it->second.info == info)
        return;
    const bool wasFree = isFree(it->second.info);
    it->second.info = info;
    d->countMoneyChange(wasFree, isFree(info));
    d->refreshRow(it->second);
}

void TableModel::updateTableInfo(qint32 tableId, int seated, const TableInfoUpdates& updates)
{
    auto it = d->rows.find(tableId);
    if (it == d->rows.end()) {
        qWarning() << "No table with id" << tableId << "to update";
        return;
    }
    // The changes go to a copy first, so that one that fails leaves the
    // stored record whole.
    TableInfo updated = it->second.info;
    updated.capacity.setSeated(seated);
    try {
        updated.applyUpdates(updates);
    } catch (const std::exception& e) {
        qWarning() << "can't apply update of table" << tableId << ":" << e.what();
        return;
    }
    if (updated == it->second.info)
        return;
    const bool wasFree = isFree(it->second.info);
    it->second.info = std::move(updated);
    d->countMoneyChange(wasFree, isFree(it->second.info));
    d->refreshRow(it->second);
}

void TableModel::onTableRemoved(qint32 tableId)
{
    auto it = d->rows.find(tableId);
    if (it == d->rows.end()) {
        qWarning() << "No table to remove with id" << tableId;
        return;
    }
    d->removeRow(it);
}
