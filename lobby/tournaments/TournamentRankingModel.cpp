// The standings of one tournament, merged list by list.
#include "TournamentRankingModel.h"

#include "ItemFactory.h"
#include "LobbyRoles.h"

#include <QDebug>

TournamentRankingModel::TournamentRankingModel(qint32 tournamentId, QObject* parent)
    : QStandardItemModel(parent)
    , tournament(tournamentId)
{
    setColumnCount(ColumnCount);
    retranslate();
}

TournamentRankingModel::~TournamentRankingModel() = default;

void TournamentRankingModel::retranslate()
{
    setHorizontalHeaderLabels({tr("Rank"), tr("User"), tr("Table Points"), tr("Points")});
}

std::optional<TournamentRanking> TournamentRankingModel::rankingAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return std::nullopt;
    const QVariant pid = this->index(index.row(), RankColumn).data(LobbyRoles::IdRole);
    if (!pid.isValid())
        return std::nullopt;
    const auto it = rows.find(pid.toInt());
    if (it == rows.end())
        return std::nullopt;
    return it->second.record;
}

void TournamentRankingModel::onTournamentRankings(qint32 tournamentId, const TournamentRankings& rankings)
{
    if (tournamentId != tournament)
        return;

    std::map<qint32, RankingEntry> previous;
    previous.swap(rows);

    int position = 0;
    int rank = 0;
    const TournamentRanking* before = nullptr;
    for (const TournamentRanking& r : rankings) {
        if (rows.count(r.pid) != 0) {
            // A second row for the same player would be a row the merge can
            // no longer find; the first one stands.
            qWarning() << "ranking list of tournament" << tournament << "names player" << r.pid << "twice";
            continue;
        }
        ++position;
        if (!before || before->tablePoints != r.tablePoints || before->competitionPoints != r.competitionPoints)
            rank = position;
        before = &r;

        const auto found = previous.find(r.pid);
        if (found != previous.end()) {
            RankingEntry entry = std::move(found->second);
            previous.erase(found);
            QList<QStandardItem*>& items = entry.items;
            if (items[RankColumn]->data(Qt::DisplayRole).toInt() != rank)
                items[RankColumn]->setData(rank, Qt::DisplayRole);
            if (items[UserColumn]->text() != r.name)
                items[UserColumn]->setText(r.name);
            if (entry.record.tablePoints != r.tablePoints)
                items[TablePointsColumn]->setData(r.tablePoints * 0.5, Qt::DisplayRole);
            if (entry.record.competitionPoints != r.competitionPoints)
                items[PointsColumn]->setData(r.competitionPoints, Qt::DisplayRole);
            entry.record = r;
            rows.emplace(r.pid, std::move(entry));
            continue;
        }

        RankingEntry entry;
        entry.record = r;
        QStandardItem* rankItem = makeItem(rank, QString(), Qt::AlignHCenter);
        rankItem->setData(r.pid, LobbyRoles::IdRole);
        entry.items << rankItem << makeItem(r.name, QString(), Qt::AlignLeft)
                    << makeItem(r.tablePoints * 0.5, QString()) << makeItem(r.competitionPoints, QString(), Qt::AlignRight);
        const QList<QStandardItem*> items = entry.items;
        rows.emplace(r.pid, std::move(entry));
        appendRow(items);
    }

    for (auto& [pid, entry] : previous) {
        const QModelIndex index = indexFromItem(entry.items.value(0));
        if (!index.isValid()) {
            qWarning() << "invalid index returned";
            continue;
        }
        removeRow(index.row());
    }
}
