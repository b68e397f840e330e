#pragma once

#include "ProtocolEnums.h"
#include "TournamentInfo.h"
#include "TournamentInfoUpdates.h"

#include <QModelIndex>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class LobbyModel;
namespace ModelessMsgBox {
class MsgBox;
}
class SocialServices;
class TableModel;
class TournamentRankingModel;
class TournamentRequests;
class TournamentView;
class QSortFilterProxyModel;

/// One tournament in a tab of the tournaments lobby: its state in the title,
/// the details, the status with the Register, Unregister or Leave button, the
/// information page, the standings, its tables while it is played and its
/// chat room. Clicks become request signals; the server's answers arrive
/// through the slots and show in modeless boxes. While the tournament is
/// paused a countdown to the next round runs once a second.
class TournamentWindow : public QWidget
{
    Q_OBJECT

public:
    /// Tournament statuses as the server numbers them.
    enum Status { Open = 0, Closed = 1, Seating = 2, Playing = 3, Paused = 4, Finished = 5, Failed = 6 };

    /// `social` gives the chat room; null leaves the Chat tab empty.
    TournamentWindow(const TournamentInfo& info, SocialServices* social, QWidget* parent = nullptr);
    ~TournamentWindow() override;

    qint32 tournamentId() const { return info.tournamentId; }
    /// The window's own copy of the record, registration mark included.
    const TournamentInfo& tournamentInfo() const { return info; }

    /// Takes the standings (the window becomes their parent), sorted by rank.
    void setRankingModel(TournamentRankingModel* model);
    /// Shows the tournament's tables of the lobby's table list (null: none).
    void setTablesModel(TableModel* tables);
    /// The player's requests on their way, which the buttons follow (not
    /// owned). Without them the window only asks.
    void setRequests(TournamentRequests* requests);

    /// The widgets, for the tests and the lead's wiring.
    TournamentView* view() const { return ui.get(); }
    bool isCountdownRunning() const { return timer.isActive(); }

Q_SIGNALS:
    /// The user clicked Register.
    void registerTournament(int tournamentId);
    /// The user confirmed unregistering from an open tournament.
    void unregisterTournament(int tournamentId);
    /// The user confirmed leaving a tournament past registration.
    void leaveTournament(int tournamentId);
    /// The user closed the window, or the server removed the tournament.
    void closeWindow(int tournamentId);
    /// A table of the Tables tab was double-clicked.
    void watchTable(qint32 tableId);
    /// The user agreed to make a deposit.
    void accountNeeded();
    /// A player's menu was asked for in the standings or the chat, at a global position.
    void userMenuRequested(const QString& name, const QPoint& pos);

public Q_SLOTS:
    /// Asks to register; the button stays disabled while the request is on its way.
    void on_joinButton_clicked();
    /// Asks whether to unregister or leave; the answer may come after the window closed.
    void on_leaveButton_clicked();
    void on_closeButton_clicked();
    void on_tableList_doubleClicked(const QModelIndex& index);
    // The server's answers. Every window hears every tournament's; each acts
    // only on its own id.
    void onTournamentRegisterSuccess(qint32 tournamentInt);
    /// Reason 2 (no funds) offers a deposit; other reasons show their text.
    void onTournamentRegisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason);
    void onTournamentUnregisterSuccess(qint32 tournamentInt);
    void onTournamentUnregisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason);
    void onTournamentLeaveSuccess(qint32 tournamentInt);
    /// The reason is the server's text, shown as written.
    void onTournamentLeaveFailed(qint32 tournamentInt, const QString& reason);
    /// The paused countdown's second passed.
    void onTimerTimeout();
    /// Tells the user when the window is on screen, then asks to be closed.
    void tournamentRemoved(qint32 tournamentId);
    /// A full record: replaces the copy, keeping the registration mark.
    void tournamentInfoUpdate(const TournamentInfo& info);
    void tournamentInfoUpdate(qint32 tournamentId, const TournamentInfoUpdates& updates);

    /// False: a tab among many, the window would otherwise be laid out for
    /// the tab widget's height at each new tab or current one (the tab widget
    /// asks every page), its wrapped texts included, so that each window
    /// opened made opening the next slower. It lays out its own children for
    /// the size it gets.
    bool hasHeightForWidth() const override { return false; }

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void onRankingListContextMenu(const QPoint& pos);
    void onLoadFinished(bool ok);

private:
    void updateView();
    /// Register, Unregister and Leave by the record, the registration and
    /// what is asked or on its way.
    void updateButtons();
    /// Whether the player may unregister or leave now.
    bool isLeaveOffered() const;
    /// Whether a request of the tournament is on its way, from any window.
    bool isRequestPending() const;
    /// Asks whether to unregister (open) or leave (past registration).
    void askLeave();
    /// Withdraws the open unregister or leave question whose subject changed.
    void reviewLeaveQuestion();
    void updatePausedTexts();
    void updateDetails();
    void updateCountdown();
    void updateInfoPage();

    TournamentInfo info;
    LobbyModel* tablesModel;
    QSortFilterProxyModel* rankingProxy;
    std::unique_ptr<TournamentView> ui;
    QTimer timer;
    QPointer<TournamentRankingModel> rankingModel;
    /// The chat room was asked for and not left since.
    bool chatWanted = false;
    /// Where what the player asked of the tournament is kept while on its way.
    QPointer<TournamentRequests> requests;
    /// The open unregister or leave question, and whether it asked to
    /// unregister from an open tournament.
    QPointer<ModelessMsgBox::MsgBox> leaveQuestion;
    bool leaveQuestionOpen = false;
};
