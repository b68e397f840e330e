#pragma once

#include <QModelIndex>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>

class ChosenRow;
class TmntSortFilterProxyModel;
class TournamentWindow;
class TournamentsController;
class TournamentsLobbyModel;
class TournamentsLobbyView;
class UTabWidget;
class QTreeView;
class QWebEngineView;

/// The page of the main window's tournaments tab: a "Lobby" tab with every
/// tournament and the selected one's short information page, and one further
/// tab per open tournament window.
class TournamentsLobbyWindow : public QWidget
{
    Q_OBJECT

public:
    TournamentsLobbyWindow(TournamentsController* controller, QWidget* parent = nullptr);
    ~TournamentsLobbyWindow() override;

    void setModel(TournamentsLobbyModel* model);
    /// Shows the tournament's window: selects its tab when open, else opens
    /// one; an id the model does not hold is logged and ignored.
    void displayTournament(qint32 tmntId);
    /// The open tournament window of the id, or null.
    TournamentWindow* tournamentWindow(qint32 tmntId) const;

    UTabWidget* tabs() const;
    QTreeView* treeView() const;
    QWebEngineView* infoView() const;
    TmntSortFilterProxyModel* proxyModel() const { return proxy; }

public Q_SLOTS:
    void on_showInfoButton_clicked();
    void on_tournamentsLobbyTreeView_doubleClicked(const QModelIndex& index);
    /// The player chose another tournament (-1: none, or it went): its short
    /// information page, or none.
    void onChosenChanged(qint32 id);
    /// Removes the tab of the tournament's window and deletes the window later.
    void onCloseTournamentWindow(int tmntId);
    void onLoadFinished(bool ok);

protected:
    void changeEvent(QEvent* event) override;

private:
    /// Widens the Players column until its texts fit.
    void fitPlayersColumn();
    /// Widens the Buy-in column until every buy-in the list holds fits whole.
    void fitBuyInColumn();
    /// Both, measured anew (a new model, language, style or font).
    void fitColumns();
    int tournamentIdAt(const QModelIndex& index) const;

    TmntSortFilterProxyModel* proxy = nullptr;
    /// The tournament the player selected; Show info acts on it alone.
    ChosenRow* chosen = nullptr;
    TournamentsLobbyModel* model = nullptr;
    TournamentsController* controller;
    std::unique_ptr<TournamentsLobbyView> ui;
    /// The buy-in range the Buy-in column was last fitted for.
    std::optional<std::pair<int, int>> fittedBuyIns;
    /// The short information page asked for last; empty when none.
    QUrl shownPage;
};
