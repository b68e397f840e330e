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
#include <QElapsedTimer>
#include <QTimer>
#include <QSignalBlocker>

#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {
struct TableRow
{
    TableInfo info;
    TextItem* name = nullptr;
    CustomItem<RulesetGameTypePair>* rules = nullptr;
    TableCapacityItem* players = nullptr;
    CustomItem<int>* timeLimit = nullptr;
    CustomItem<ValueColumnType>* buyIn = nullptr;
    CustomItem<qint64>* maxWin = nullptr;
    /// The cells show an older record; a later turn refreshes them.
    bool stale = false;

    QList<QStandardItem*> items() const { return {name, rules, players, timeLimit, buyIn, maxWin}; }
    /// False while the record waits for its row: it has no cells yet.
    bool placed() const { return name != nullptr; }
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
    Private(TableModel* q, ConnectionManager* connection)
        : q(q)
        , connection(connection)
    {
    }

    TableModel* q;
    std::map<qint32, TableRow> rows;
    ConnectionManager* connection;
    std::map<QString, Subscription> subscriptions;
    int moneyTableCount = 0;
    /// The tables removed whose rows are not yet taken out: their name cells
    /// with their ids, and their cells by id.
    std::unordered_map<const QStandardItem*, qint32> leaving;
    std::unordered_map<qint32, TableRow> leavingRows;
    /// Takes the leaving rows out once the server pauses its removals.
    QTimer leaveTimer;
    /// Since the first of the leaving rows was removed.
    QElapsedTimer leavingSince;
    /// The held tables that wait for their rows, oldest first (an id may be
    /// there twice, or no longer held).
    std::deque<qint32> arriving;
    /// The rows whose cells wait for their record.
    std::vector<qint32> changing;
    /// Makes the rows that wait and refreshes the cells, in the next turns.
    QTimer settleTimer;
    /// Rows made or refreshed at once in this turn of the event loop.
    int turnShare = 0;
    bool turnOpen = false;

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
        row.name->setText(info.name);
        row.name->setData(info.lobbyPath, LobbyPathRole);
        row.rules->setValue(RulesetGameTypePair{info.ruleset, info.gameType}, false);
        row.players->setData(QVariant::fromValue(info.capacity), Qt::DisplayRole);
        row.timeLimit->setValue(info.speed, false);
        row.buyIn->setValue(value, false);
        row.maxWin->setValue(value.maxWin(), false);
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

    /// Makes the row's cells from its record.
    void makeCells(TableRow& row)
    {
        const TableInfo& info = row.info;
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
    }

    /// The most rows made or refreshed at once in a turn; past them, and
    /// behind rows that already wait, the work waits for the next turns,
    /// where it goes for at most settleSliceMsecs a turn. A burst of the
    /// server's tables (a list of many thousands, its updates) then costs the
    /// turn that reads it only its records, and the frames behind it (the
    /// server's ping) wait for no view.
    static constexpr int rowsAtOnce = 100;
    static constexpr qint64 settleSliceMsecs = 20;

    bool takeTurnShare()
    {
        if (!turnOpen) {
            turnOpen = true;
            turnShare = 0;
            QMetaObject::invokeMethod(q, [this] { turnOpen = false; }, Qt::QueuedConnection);
        }
        if (turnShare == rowsAtOnce)
            return false;
        ++turnShare;
        return true;
    }

    void settleSoon()
    {
        if (!settleTimer.isActive())
            settleTimer.start(0);
    }

    /// Holds a new table's record, and gives it a row now or later. A table
    /// whose earlier row is still leaving takes that row back: the views
    /// never saw it go, and taking it out first would cost a pass over the
    /// rows for each table the server removes and lists again.
    void addTable(const TableInfo& info)
    {
        if (auto back = leavingRows.extract(info.tableId)) {
            leaving.erase(back.mapped().name);
            if (leaving.empty())
                leaveTimer.stop();
            TableRow& row = rows.emplace(info.tableId, std::move(back.mapped())).first->second;
            row.info = info;
            row.stale = false;
            recordChanged(info.tableId, row);
        } else {
            TableRow& row = rows.emplace(info.tableId, TableRow{info}).first->second;
            if (arriving.empty() && takeTurnShare()) {
                makeCells(row);
                q->appendRow(row.items());
            } else {
                arriving.push_back(info.tableId);
                settleSoon();
            }
        }
        countMoneyChange(true, isFree(info));
    }

    /// The row's record changed: its cells follow now or in a later turn.
    void recordChanged(qint32 tableId, TableRow& row)
    {
        // A row not made yet takes the record as it is then.
        if (!row.placed() || row.stale)
            return;
        if (takeTurnShare()) {
            refreshRow(row);
            return;
        }
        row.stale = true;
        changing.push_back(tableId);
        settleSoon();
    }

    /// Makes waiting rows, then refreshes stale cells, for a slice of the turn.
    void settle()
    {
        QElapsedTimer spent;
        spent.start();
        while (!arriving.empty() && spent.elapsed() < settleSliceMsecs) {
            const auto it = rows.find(arriving.front());
            arriving.pop_front();
            if (it == rows.end() || it->second.placed())
                continue;
            makeCells(it->second);
            q->appendRow(it->second.items());
        }
        // Changes in the order they came, a row at a time: a change over
        // several rows reaches a sorted view as one over the rows between
        // them in its order, which it walks.
        std::size_t next = 0;
        for (; next < changing.size() && spent.elapsed() < settleSliceMsecs; ++next) {
            const auto it = rows.find(changing[next]);
            if (it != rows.end() && it->second.stale) {
                it->second.stale = false;
                refreshRow(it->second);
            }
        }
        changing.erase(changing.begin(), changing.begin() + std::ptrdiff_t(next));
        if (!arriving.empty() || !changing.empty())
            settleTimer.start(0);
    }

    /// The pause in the server's removals after which the leaving rows go,
    /// and the longest they wait; they go in parts of rows, as many parts a
    /// turn as fit in its time (a row costs the deletion of its cells, some
    /// microseconds).
    static constexpr int leavePauseMsecs = 50;
    static constexpr qint64 leaveWaitMsecs = 1000;
    static constexpr qint64 leaveSliceMsecs = 20;
    static constexpr int leavePartRows = 2000;

    /// Takes the table's record out at once, and its row later with the
    /// other tables the server removes in the same burst: one by one, each
    /// removal costs a walk over every row in the model and in each proxy
    /// above it, and a burst read over several turns would cost a pass a turn.
    void removeLater(std::map<qint32, TableRow>::iterator it)
    {
        if (!it->second.placed()) {
            const bool free = isFree(it->second.info);
            rows.erase(it);
            countMoneyChange(free, true);
            return;
        }
        if (leaving.empty())
            leavingSince.start();
        leaveTimer.start(int(std::clamp(leaveWaitMsecs - leavingSince.elapsed(), qint64(0), qint64(leavePauseMsecs))));
        const bool free = isFree(it->second.info);
        TableRow cells = std::move(it->second);
        cells.info = TableInfo();
        leaving.emplace(cells.name, it->first);
        leavingRows.emplace(it->first, std::move(cells));
        rows.erase(it);
        countMoneyChange(free, true);
    }

    enum class Leave { All, ForATurn };

    /// Removes the rows of the tables removed since the last pass: all of
    /// them, or as many as the turn's time allows and the rest in the next
    /// turns. Rows are read in their order rather than asked for their
    /// numbers (after an earlier removal a cell finds its number from where it
    /// was last seen, at a cost growing with how far it has moved since).
    void removeLeaving(Leave how)
    {
        leaveTimer.stop();
        if (leaving.empty())
            return;
        std::vector<int> going;
        std::vector<qint32> ids;
        for (int r = 0, count = q->rowCount(); r < count && going.size() < leaving.size(); ++r) {
            const auto it = leaving.find(q->item(r, NameColumn));
            if (it != leaving.end()) {
                going.push_back(r);
                ids.push_back(it->second);
            }
        }
        if (going.size() < leaving.size()) {
            // Cells no longer in the model would be looked for at every turn.
            qWarning() << "invalid index returned";
            leaving.clear();
            std::unordered_map<qint32, TableRow> found;
            for (std::size_t i = 0; i < going.size(); ++i) {
                leaving.emplace(q->item(going[i], NameColumn), ids[i]);
                found.insert(leavingRows.extract(ids[i]));
            }
            leavingRows.swap(found);
        }
        removeRuns(going, how == Leave::All ? -1 : leaveSliceMsecs, [&](std::size_t first, std::size_t end) {
            for (std::size_t i = first; i < end; ++i) {
                leaving.erase(q->item(going[i], NameColumn));
                leavingRows.erase(ids[i]);
            }
        });
        if (!leaving.empty())
            leaveTimer.start(0);
    }

    /// Removes the given rows (sorted) a run of neighbouring rows at a time,
    /// the last run first: all of them (`msecs` -1), or in parts of at most
    /// leavePartRows rows while `msecs` last; `beforePart(first, end)` hears of the
    /// part going[first, end) before it goes, and `going` keeps the rows left.
    /// Row by row, a path of many thousands of tables takes a time growing
    /// with the square of their number; so do many short runs (tables of two
    /// paths that alternate), which are first gathered into one.
    void removeRuns(std::vector<int>& going, qint64 msecs,
                    const std::function<void(std::size_t, std::size_t)>& beforePart = {})
    {
        QElapsedTimer spent;
        spent.start();
        if (runCount(going) > maxRunsRemovedApart)
            gatherAtTheEnd(going);
        const std::size_t partRows = msecs < 0 ? going.size() : std::size_t(leavePartRows);
        while (!going.empty() && (msecs < 0 || spent.elapsed() < msecs)) {
            const std::size_t end = going.size();
            std::size_t first = end - 1;
            while (first > 0 && end - first < partRows && going[first - 1] == going[first] - 1)
                --first;
            if (beforePart)
                beforePart(first, end);
            q->removeRows(going[first], int(end - first));
            going.resize(first);
        }
    }

    static constexpr std::size_t maxRunsRemovedApart = 16;

    static std::size_t runCount(const std::vector<int>& going)
    {
        std::size_t runs = 0;
        for (std::size_t i = 0; i < going.size(); ++i)
            runs += i == 0 || going[i] != going[i - 1] + 1 ? 1 : 0;
        return runs;
    }

    /// In one layout change, moves the going rows after the others, each
    /// part in its order, and renumbers `going`: it is then one run at the
    /// end. Every cell is taken out and set again at its new place, which it
    /// then knows: a cell moved by the model's sort, or shifted by a removal
    /// before it, finds its row later from where it was last seen, at a cost
    /// growing with the distance, and every such cell that goes or stays
    /// would pay it once.
    void gatherAtTheEnd(std::vector<int>& going)
    {
        const int count = q->rowCount();
        const int stayCount = count - int(going.size());
        std::vector<int> place(std::size_t(count), -1);
        int next = stayCount;
        for (const int row : going)
            place[std::size_t(row)] = next++;
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
            going[i] = stayCount + int(i);
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
    , d(new Private(this, connection))
{
    registerLobbyMetaTypes();
    d->leaveTimer.setSingleShot(true);
    connect(&d->leaveTimer, &QTimer::timeout, this, [this] { d->removeLeaving(Private::Leave::ForATurn); });
    d->settleTimer.setSingleShot(true);
    connect(&d->settleTimer, &QTimer::timeout, this, [this] { d->settle(); });
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
    d->removeLeaving(Private::Leave::All);
    // Records waiting for their rows just go.
    for (auto row = d->rows.begin(); row != d->rows.end();) {
        if (row->second.placed() || !LobbyPath::covers(key, row->second.info.lobbyPath)) {
            ++row;
            continue;
        }
        const bool free = isFree(row->second.info);
        row = d->rows.erase(row);
        d->countMoneyChange(free, true);
    }
    // Rows are read in their order, as in removeLeaving().
    std::vector<int> going;
    std::vector<qint32> ids;
    for (int r = 0, count = rowCount(); r < count; ++r) {
        const QStandardItem* name = item(r, NameColumn);
        if (LobbyPath::covers(key, name->data(LobbyPathRole).toString())) {
            going.push_back(r);
            ids.push_back(name->data(Qt::UserRole).toInt());
        }
    }
    // The records stay readable while the views hear of the removal.
    d->removeRuns(going, -1);
    for (const qint32 id : ids) {
        const auto row = d->rows.find(id);
        const bool free = isFree(row->second.info);
        d->rows.erase(row);
        d->countMoneyChange(free, true);
    }
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
    return it == d->rows.end() || !it->second.placed() ? -1 : it->second.name->row();
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
            if (!row.placed())
                continue;
            // Names and rules sort by the texts of the language now shown.
            row.name->refreshSortKey();
            row.rules->refreshSortKey();
        }
    }
    // One change over every cell; QStandardItemModel signals itemChanged for each.
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::ToolTipRole || !index.isValid() || index.parent().isValid())
        return QStandardItemModel::data(index, role);
    // Made when asked: fitting a long name to the tip's lines costs more
    // than the rest of the row, and a lobby of many thousands is seldom
    // hovered over row by row.
    const QStandardItem* name = item(index.row(), NameColumn);
    const auto it = name ? d->rows.find(name->data(Qt::UserRole).toInt()) : d->rows.end();
    if (it == d->rows.end() || it->second.name != name)
        return {};
    return plainToolTip(tableToolTip(it->second.info));
}

void TableModel::addOrUpdateTable(const TableInfo& info)
{
    if (!isPathSubscribed(info.lobbyPath))
        return;
    auto it = d->rows.find(info.tableId);
    if (it == d->rows.end()) {
        d->addTable(info);
        return;
    }
    if (it->second.info == info)
        return;
    const bool wasFree = isFree(it->second.info);
    it->second.info = info;
    d->countMoneyChange(wasFree, isFree(info));
    d->recordChanged(info.tableId, it->second);
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
    d->recordChanged(tableId, it->second);
}

void TableModel::onTableRemoved(qint32 tableId)
{
    auto it = d->rows.find(tableId);
    if (it == d->rows.end()) {
        qWarning() << "No table to remove with id" << tableId;
        return;
    }
    d->removeLater(it);
}
