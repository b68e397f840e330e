#pragma once

#include "TournamentInfo.h"
#include "TournamentInfoUpdates.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>

class ConnectionManager;
class RankingRequestQueue;
class SocialServices;
class TableModel;
class TournamentRequests;
class TournamentsLobbyModel;
class TournamentsLobbyWindow;
class TournamentWindow;
class QPoint;

/// Between the connection manager and the tournament windows: owns the
/// tournaments lobby model and feeds it, asks for the standings of a
/// tournament on show whenever it changes, makes the lobby window and the
/// tournament windows,
/// and routes their requests. It knows the main window only as a widget;
/// what the main window must do (watch a table, show a player's menu) leaves
/// through signals.
class TournamentsController : public QObject
{
    Q_OBJECT

public:
    TournamentsController(ConnectionManager* connection, QObject* parent, QWidget* mainWindow);
    ~TournamentsController() override;

    TournamentsLobbyModel* lobbyModel() const { return model; }
    /// The player's requests on their way, one per tournament.
    TournamentRequests* requests() const { return pendingRequests; }
    /// How long a quiet connection may leave a request unanswered before it
    /// is given up with a word, for the requests sent from now on.
    void setAnswerTimeLimit(int ms);
    /// A new lobby window showing the model, in `parent` (none by default).
    TournamentsLobbyWindow* createLobbyWindow(QWidget* parent = nullptr);
    /// A new window for the tournament, without a parent, wired to the
    /// connection and to this controller; its standings are asked for.
    TournamentWindow* openTournamentWindow(const TournamentInfo& info);
    /// Whether the tournaments lobby holds a record of the tournament (a
    /// seating may come before its record).
    bool hasTournament(qint32 id) const;
    /// The model's record; throws std::runtime_error for an id not held.
    const TournamentInfo& tournamentInfo(qint32 id) const;

    void setPlayerId(int id) { playerId = id; }
    int ownPlayerId() const { return playerId; }
    /// The lobby's table list, which the windows' Tables tabs show a slice of.
    void setTableModel(TableModel* tables);
    /// Pictures and chat rooms; null (the default) gives windows without chat.
    void setSocialServices(SocialServices* services);

    /// Ranking requests sent so far.
    int rankingRequestsSent() const;
    /// The tournament's standings are on show while `viewer` lives (its
    /// window, a table of it; a viewer shows the tournament it was first
    /// given): asked for now and after every record or key update of the
    /// tournament. Standings nothing shows are never asked for.
    void showStandings(qint32 tournamentId, QObject* viewer);

Q_SIGNALS:
    /// Every key update of any tournament, as the server sent it.
    void updateTournamentInfo(qint32 tournamentId, const TournamentInfoUpdates& updates);
    /// A tournament window asked to watch one of its tables.
    void watchTable(qint32 tableId);
    /// A player's menu was asked for, in the standings or the chat.
    void userMenuRequested(const QString& name, const QPoint& pos);

public Q_SLOTS:
    /// Asks for the tournament's standings in a later turn of the event loop:
    /// at most one request per tournament while its answer is awaited or
    /// within a second of the last, none while a tournament list is coming
    /// in; asks meanwhile go out as one request when the rules allow.
    void getTournamentHighscores(const TournamentInfo& info);
    void getTournamentHighscores(qint32 tournamentId);
    /// Asks the server for the address of the account page.
    void onAccountNeeded();

private:
    ConnectionManager* connection;
    QPointer<QWidget> mainWindow;
    TournamentsLobbyModel* model;
    QPointer<TableModel> tableModel;
    QPointer<SocialServices> social;
    int playerId = -1;
    RankingRequestQueue* rankingRequests;
    TournamentRequests* pendingRequests;
    /// What shows standings, and of which tournament; how many show each.
    std::map<QObject*, qint32> standingsViewers;
    std::map<qint32, int> standingsShown;
};
