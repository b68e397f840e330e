#pragma once

#include "TournamentRankings.h"

#include <QList>
#include <QStandardItemModel>

#include <map>
#include <optional>

class QStandardItem;

/// The standings of one tournament: rank, user, table points (halved) and
/// points, one row per ranked player. Each list from the server is merged
/// into the rows by player id, so rows that stay are changed in place and a
/// view keeps its selection and scroll position.
class TournamentRankingModel : public QStandardItemModel
{
    Q_OBJECT

public:
    enum Column { RankColumn, UserColumn, TablePointsColumn, PointsColumn, ColumnCount };

    TournamentRankingModel(qint32 tournamentId, QObject* parent = nullptr);
    ~TournamentRankingModel() override;

    qint32 tournamentId() const { return tournament; }
    /// The stored record of the row of a valid index of this model; none for
    /// an invalid index or a row that holds no ranked player.
    std::optional<TournamentRanking> rankingAt(const QModelIndex& index) const;
    /// Sets the header labels (language change).
    void retranslate();

public Q_SLOTS:
    /// Merges the list of this model's tournament (lists of others are
    /// ignored). Equal table points and points share a rank (1, 2, 2, 4); a
    /// player listed twice keeps the first entry.
    void onTournamentRankings(qint32 tournamentId, const TournamentRankings& rankings);

private:
    struct RankingEntry
    {
        TournamentRanking record;
        QList<QStandardItem*> items;
    };

    std::map<qint32, RankingEntry> rows;
    qint32 tournament;
};
