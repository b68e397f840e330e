#pragma once

#include "CheckedItem.h"
#include "TournamentInfo.h"
#include "TournamentInfoUpdates.h"

#include <QList>
#include <QStandardItemModel>

#include <map>
#include <set>
#include <utility>
#include <vector>


/// The tournaments lobby: one row of seven cells per tournament the server
/// announces (registered mark, name, status, players, buy-in, start,
/// duration), and the client's one store of tournament records. Rows change
/// in place and keep their place (the views' sort proxies order them); the
/// model is a flat list, no row has children.
class TournamentsLobbyModel : public QStandardItemModel
{
    Q_OBJECT

public:
    enum Column {
        RegisteredColumn,
        NameColumn,
        StatusColumn,
        PlayersColumn,
        BuyInColumn,
        StartColumn,
        DurationColumn,
        ColumnCount
    };

    explicit TournamentsLobbyModel(QObject* parent = nullptr);
    ~TournamentsLobbyModel() override;

    /// The stored record; throws std::runtime_error "info for tournament <id>
    /// unavailable" for an id not held (check hasTournament first).
    const TournamentInfo& tournament(qint32 id) const;
    bool hasTournament(qint32 id) const;
    /// Whether the user is known to be registered for the id: in the server's
    /// last list, or registered since.
    bool isRegistered(qint32 id) const;
    /// The number of tournaments held.
    int tournamentCount() const { return int(rows.size()); }

    /// The smallest and the largest buy-in (cents) of every record held
    /// since the model was made, 0 included: the reach of the Buy-in texts.
    std::pair<int, int> buyInRange() const { return betRange; }

    /// Sets the header labels and every cell's tooltip anew (language change).
    void retranslate();

public Q_SLOTS:
    /// A full record: a new row at the end for a new id, else the stored
    /// record is replaced (the user's registration mark stays) and its row
    /// refreshed. A refreshed row is read anew at once; its change is
    /// announced (dataChanged) once per turn of the event loop, after it.
    void addOrUpdateTournament(const TournamentInfo& info);
    /// Key changes for a held tournament, refreshed as a full record is;
    /// changes that cannot be applied leave the record as it was.
    void updateTournamentInfo(qint32 tournamentId, const TournamentInfoUpdates& updates);
    /// The server's list of the tournaments the user is registered for: every
    /// held row shows its mark from it, and rows made later too.
    void onRegisteredNotification(const std::vector<qint32>& tournamentIds);
    void onTournamentRemoved(qint32 tournamentId);
    void onTournamentRegisterSuccess(qint32 tournamentInt);
    void onTournamentUnregisterSuccess(qint32 tournamentInt);
    void onTournamentLeaveSuccess(qint32 tournamentInt);

private:
    struct TournamentEntry
    {
        TournamentInfo info;
        QList<QStandardItem*> items;
        /// The start and end the duration cell was worked out from.
        QDateTime durationFrom, durationTo;
    };

    /// When a refreshed row is announced: at once (the user's registration
    /// mark, with every row refreshed before it), or once at the end of the
    /// turn (the server's changes).
    enum class Announce { Now, WithTheTurn };

    void setRegistered(qint32 id, bool registered);
    void refreshRow(TournamentEntry& entry, Announce when);
    /// Announces every refreshed row not yet announced, in one change.
    void announceChangedRows();

    /// Loaded once: every row's registration cell shows them.
    CheckedItem::Images checkImages;
    std::vector<qint32> registeredIds;
    std::map<qint32, TournamentEntry> rows;
    /// Refreshed rows whose change is announced when the turn is over.
    std::set<qint32> unannounced;
    std::pair<int, int> betRange{0, 0};
};
