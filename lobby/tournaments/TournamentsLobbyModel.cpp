// The tournaments lobby model: records, rows and registration marks.
#include "TournamentsLobbyModel.h"

#include "CheckedItem.h"
#include "CustomItem.h"
#include "ItemFactory.h"
#include "LobbyMetaTypes.h"
#include "LobbyRoles.h"
#include "TableTexts.h"
#include "TextItem.h"
#include "TournamentRegisteredInfo.h"
#include "ServerTime.h"
#include "TournamentTexts.h"
#include "Utils.h"

#include <QDebug>
#include <QTextDocument>

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <utility>

namespace {

int durationSeconds(const TournamentInfo& info)
{
    return tournamentSecondsBetween(info.start, info.end);
}

TournamentRegisteredInfo playersValue(const TournamentInfo& info)
{
    return TournamentRegisteredInfo{info.registered, info.maxPlayers};
}

/// A tooltip reads text that looks like markup as rich text: the name is
/// handed over as rich text that shows it as written.
QString nameToolTip(const QString& name)
{
    return richToolTip(name);
}

QString startText(const QDateTime& start)
{
    return serverTimeText(start);
}

} // namespace

TournamentsLobbyModel::TournamentsLobbyModel(QObject* parent)
    : QStandardItemModel(parent)
    , checkImages(CheckedItem::Images::load())
{
    registerLobbyMetaTypes();
    setColumnCount(ColumnCount);
    retranslate();
}

TournamentsLobbyModel::~TournamentsLobbyModel() = default;

const TournamentInfo& TournamentsLobbyModel::tournament(qint32 id) const
{
    const auto it = rows.find(id);
    if (it == rows.end())
        throw std::runtime_error("info for tournament " + std::to_string(id) + " unavailable");
    return it->second.info;
}

bool TournamentsLobbyModel::hasTournament(qint32 id) const
{
    return rows.count(id) != 0;
}

bool TournamentsLobbyModel::isRegistered(qint32 id) const
{
    return std::find(registeredIds.begin(), registeredIds.end(), id) != registeredIds.end();
}

void TournamentsLobbyModel::retranslate()
{
    setHorizontalHeaderLabels({QString(), tr("Tournament Name"), tr("Status"), tr("Players"), tr("Buy-in"),
                               tr("Start"), tr("Duration")});
    for (auto& [id, entry] : rows) {
        // Names sort by the collation of the language now shown.
        static_cast<TextItem*>(entry.items[NameColumn])->refreshSortKey();
        // Setting the same tooltip changes nothing, so the cells are told to
        // repaint: their formatted texts follow the language.
        const QString tip = nameToolTip(entry.info.name);
        for (QStandardItem* item : entry.items) {
            item->setToolTip(tip);
            Q_EMIT itemChanged(item);
        }
    }
    if (!rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void TournamentsLobbyModel::addOrUpdateTournament(const TournamentInfo& received)
{
    const qint32 id = received.tournamentId;
    const QString tip = nameToolTip(received.name);
    const auto it = rows.find(id);
    if (it != rows.end()) {
        // A server record never carries the user's mark; keep the one we know.
        const bool mark = it->second.info.ownRegistered;
        it->second.info = received;
        it->second.info.ownRegistered = mark;
        refreshRow(it->second, Announce::WithTheTurn);
        return;
    }

    betRange = {std::min(betRange.first, received.bet), std::max(betRange.second, received.bet)};
    TournamentEntry entry;
    entry.info = received;
    entry.info.ownRegistered = isRegistered(id);
    const TournamentInfo& info = entry.info;

    auto* checked = new CheckedItem(info.ownRegistered, checkImages);
    checked->setEditable(false);
    checked->setToolTip(tip);
    entry.items << checked;
    entry.items << makeItem(info.name, tip, Qt::AlignLeft);
    entry.items << makeItem(info.status, tip, [](const int& s) { return tournamentStatusText(s); });
    entry.items << makeCustomItem<TournamentRegisteredInfo>(playersValue(info), tip,
                                                            [](const TournamentRegisteredInfo& v) {
                                                                return tournamentPlayersText(v.registered,
                                                                                             v.maxPlayers);
                                                            });
    entry.items << makeItem(info.bet, tip, [](const int& cents) { return moneyOrFree(cents); });
    entry.items << makeItem(info.start, tip, [](const QDateTime& t) { return startText(t); });
    entry.items << makeItem(durationSeconds(info), tip, [](const int& s) { return formatDuration(s); });
    entry.durationFrom = info.start;
    entry.durationTo = info.end;
    for (QStandardItem* item : std::as_const(entry.items))
        item->setData(id, LobbyRoles::IdRole);

    const QList<QStandardItem*> items = entry.items;
    rows.emplace(id, std::move(entry));
    // A sort proxy places a new row among the others: those changed before
    // it must be in their places by then.
    announceChangedRows();
    appendRow(items);
}

void TournamentsLobbyModel::updateTournamentInfo(qint32 tournamentId, const TournamentInfoUpdates& updates)
{
    const auto it = rows.find(tournamentId);
    if (it == rows.end()) {
        qWarning() << "No tournament with id" << tournamentId << "to update";
        return;
    }
    // Applied to a copy so that a change that fails half way leaves the row whole.
    TournamentInfo changed = it->second.info;
    try {
        changed.applyUpdates(updates);
    } catch (const std::exception& e) {
        qWarning() << "tournament" << tournamentId << "update not applied:" << e.what();
        return;
    }
    it->second.info = changed;
    refreshRow(it->second, Announce::WithTheTurn);
}

void TournamentsLobbyModel::onRegisteredNotification(const std::vector<qint32>& tournamentIds)
{
    registeredIds = tournamentIds;
    for (auto& [id, entry] : rows) {
        const bool mark = isRegistered(id);
        if (entry.info.ownRegistered != mark) {
            entry.info.ownRegistered = mark;
            refreshRow(entry, Announce::WithTheTurn);
        }
    }
    announceChangedRows();
}

void TournamentsLobbyModel::onTournamentRemoved(qint32 tournamentId)
{
    const auto it = rows.find(tournamentId);
    if (it == rows.end()) {
        qWarning() << "No tournament to remove with id" << tournamentId;
        return;
    }
    const QModelIndex index = indexFromItem(it->second.items.value(0));
    if (!index.isValid())
        qWarning() << "invalid index returned";
    else
        removeRow(index.row());
    rows.erase(it);
}

void TournamentsLobbyModel::onTournamentRegisterSuccess(qint32 tournamentInt)
{
    if (!hasTournament(tournamentInt))
        return;
    setRegistered(tournamentInt, true);
}

void TournamentsLobbyModel::onTournamentUnregisterSuccess(qint32 tournamentInt)
{
    if (!hasTournament(tournamentInt)) {
        qWarning() << "No tournament found with id " << tournamentInt << ", cannot leave";
        return;
    }
    setRegistered(tournamentInt, false);
}

void TournamentsLobbyModel::onTournamentLeaveSuccess(qint32 tournamentInt)
{
    onTournamentUnregisterSuccess(tournamentInt);
}

void TournamentsLobbyModel::setRegistered(qint32 id, bool registered)
{
    // The id list follows the answers too, so that a record made anew later
    // (after a removal and a new announcement) shows the current mark.
    const auto pos = std::find(registeredIds.begin(), registeredIds.end(), id);
    if (registered && pos == registeredIds.end())
        registeredIds.push_back(id);
    else if (!registered && pos != registeredIds.end())
        registeredIds.erase(pos);
    TournamentEntry& entry = rows.at(id);
    entry.info.ownRegistered = registered;
    refreshRow(entry, Announce::Now);
}

void TournamentsLobbyModel::refreshRow(TournamentEntry& entry, Announce when)
{
    const TournamentInfo& info = entry.info;
    const QString tip = nameToolTip(info.name);
    const QList<QStandardItem*>& items = entry.items;
    // Values change without notifying one by one; the row is announced once.
    static_cast<CheckedItem*>(items[RegisteredColumn])->setChecked(info.ownRegistered);
    {
        const QSignalBlocker quiet(this);
        items[NameColumn]->setText(info.name);
    }
    static_cast<CustomItem<int>*>(items[StatusColumn])->setValue(info.status, false);
    static_cast<CustomItem<TournamentRegisteredInfo>*>(items[PlayersColumn])->setValue(playersValue(info), false);
    static_cast<CustomItem<QDateTime>*>(items[StartColumn])->setValue(info.start, false);
    // A duration takes both times out of local time, each conversion a look
    // at the system's time zone file: worked out only when they change, not
    // at every rename or player count.
    if (info.start != entry.durationFrom || info.end != entry.durationTo) {
        entry.durationFrom = info.start;
        entry.durationTo = info.end;
        static_cast<CustomItem<int>*>(items[DurationColumn])->setValue(durationSeconds(info), false);
    }
    static_cast<CustomItem<int>*>(items[BuyInColumn])->setValue(info.bet, false);
    betRange = {std::min(betRange.first, info.bet), std::max(betRange.second, info.bet)};
    {
        const QSignalBlocker quiet(this);
        for (QStandardItem* item : items)
            item->setToolTip(tip);
    }
    // The sort proxies place an announced row anew (a rename moves it), so a
    // tournament that the server changes many times in one turn is announced,
    // and moved, once, when the turn is over.
    if (unannounced.empty() && when == Announce::WithTheTurn)
        QMetaObject::invokeMethod(this, &TournamentsLobbyModel::announceChangedRows, Qt::QueuedConnection);
    unannounced.insert(info.tournamentId);
    if (when == Announce::Now)
        announceChangedRows();
}

void TournamentsLobbyModel::announceChangedRows()
{
    // One change from the first to the last changed row: a sort proxy takes
    // out every row of the span and places it among the others, which are
    // still in their order. Row by row, a row would be placed among rows
    // changed but not yet placed, and could stay out of order.
    int first = rowCount(), last = -1;
    std::vector<const TournamentEntry*> changed;
    for (const qint32 id : std::exchange(unannounced, {})) {
        const auto it = rows.find(id);
        if (it == rows.end())
            continue;
        const int row = it->second.items[0]->row();
        first = std::min(first, row);
        last = std::max(last, row);
        changed.push_back(&it->second);
    }
    if (changed.empty())
        return;
    // A proxy takes the rows of the span out and puts them back a run of
    // neighbours in its order at a time, each run at a cost growing with the
    // list. Past a number of rows that grows with the logarithm of the list,
    // one new sort of the whole list costs less: a change of the layout (the
    // rows themselves stay where they are) lets the proxies sort anew.
    if (changed.size() > std::size_t(32 * std::bit_width(unsigned(rowCount())))) {
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
    for (const TournamentEntry* entry : changed) {
        for (QStandardItem* item : entry->items)
            Q_EMIT itemChanged(item);
    }
}
