#pragma once

#include "TableInfo.h"
#include "TournamentInfo.h"

#include <QDateTime>
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>

class ConferenceArea;
class EmptySeatWidget;
class GameModel;
class PlayerData;
class PlayerWidget;
class QLabel;
class QVBoxLayout;
class SocialServices;
class TimeSpan;
class ULabel;
class UPushButton;

/// The 229-pixel bar along a table window's right edge: the table's (or
/// tournament's) texts and the leave button, one panel per seat in wind order
/// from the reference player, "Waiting for player" panels for the empty
/// seats, and the table's chat room. It counts the current tournament round
/// down while the tournament plays, and reports a right-click on a player as
/// a request for that player's menu.
///
/// Operations on a player without a panel throw std::runtime_error
/// "no such player, pid: <id>" (the avatar setter ignores them).
class SideBar : public QFrame
{
    Q_OBJECT

public:
    /// With `services` the bar shows the table's chat room and the players'
    /// pictures; without, the chat area stays empty and no picture is shown.
    explicit SideBar(SocialServices* services, QWidget* parent = nullptr);
    ~SideBar() override;

    void setModel(GameModel* model);
    void setTableInfo(const TableInfo& info);
    void setTournamentInfo(const TournamentInfo& info);
    /// The tournament's round line says `why` there is no round any more,
    /// whatever records follow, until the bar is reset.
    void endTournament(const QString& why);
    /// The current hand; a negative id hides the hand line.
    void setHandId(qint64 handId);
    /// Forgets every player, the records and the hand; keeps the model.
    void reset();

    /// Adds the player's panel or updates it.
    void setPlayer(qint32 id, const QString& name, int wind, int score, int wins, bool ready);
    void setPlayer(const PlayerData& player);
    void removePlayer(qint32 id);
    PlayerWidget* playerWidget(qint32 id) const;
    bool hasPlayer(qint32 id) const;
    /// The player panels from top to bottom.
    QList<PlayerWidget*> orderedPlayers() const;
    int emptySeatCount() const { return int(emptySeats.size()); }

    /// Highlights the player's panel, and only it.
    void setActivePlayer(qint32 id);
    void clearActivePlayer();
    qint32 activePlayer() const { return activePlayerId; }
    void setPlayerWind(qint32 id, int wind);
    void setPlayerScore(qint32 id, int score);
    void setPlayerReady(qint32 id);
    void showPlayerClaim(qint32 id, int meldType, int mahjongType);
    void setPlayerTimeSpan(qint32 id, const TimeSpan& span);
    void setPlayerAvatar(qint32 id, const QPixmap& picture);
    void clearReady();
    void hideClaims();
    void stopTimers();
    void setScoresVisible(bool visible);
    void setWindsVisible(bool visible);
    /// Shows the model's riichi and counter stick counts ("x0" without a model).
    void updateSticks();

    /// Joins the table's chat room (unless joined, or asked already for the
    /// same seated state since the last call with false) or leaves it (when
    /// joined or asked for, so that an entry still on its way ends outside).
    void setChatActive(bool active);
    /// An information line in the table chat.
    void appendInfo(const QString& text);
    /// The chat room area; null without social services.
    ConferenceArea* conference() const { return tableConference; }

    /// Connects the leave button to the receiver's slot onLeaveButtonClick(),
    /// once per receiver however often it is called.
    void connectLeaveButton(QObject* receiver);
    void setLeaveVisible(bool visible);
    void setLeaveEnabled(bool enabled);

    /// The clock of the round countdown: `ServerTime::currentTime` unless set.
    void setClock(std::function<QDateTime()> clock);
    /// The round countdown's timer (running while a tournament plays).
    const QTimer& roundTimer() const { return timer; }

Q_SIGNALS:
    /// The user asked for the menu of a player or chat participant, at a
    /// global screen position.
    void userMenuRequested(const QString& name, const QPoint& pos);

private Q_SLOTS:
    void on_leaveButton_clicked();
    void onTimerTimeout();
    void onPlayerWidgetContextMenu(const QPoint& p);
    void onPlayerPictureUpdate(qint32 playerId);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void updateTableTexts();
    void updateRoundCountdown();
    void updateEmptySeats();
    void reorderPlayers();
    QDateTime now() const;

    // The form.
    QFrame* topContainer = nullptr;
    UPushButton* leaveButton = nullptr;
    ULabel* tableName = nullptr;
    QLabel* tableDescription = nullptr;
    QLabel* tableRound = nullptr;
    QLabel* tableCost = nullptr;
    QLabel* tableLimit = nullptr;
    QLabel* roundLimit = nullptr;
    QWidget* riichiInfo = nullptr;
    QLabel* riichiStickText = nullptr;
    QLabel* counterStickText = nullptr;
    QLabel* handIdLabel = nullptr;
    QFrame* playersFrame = nullptr;
    QVBoxLayout* playersContainer = nullptr;
    QFrame* chatContainer = nullptr;
    QLabel* chatTitle = nullptr;
    ConferenceArea* tableConference = nullptr;
    /// The room was asked for since the chat was last made inactive.
    bool chatWanted = false;

    SocialServices* services;
    QPointer<GameModel> model;
    std::map<qint32, PlayerWidget*> playersById;
    QList<PlayerWidget*> players;
    QList<EmptySeatWidget*> emptySeats;
    qint32 activePlayerId = -1;
    int gameType = -1;
    TournamentInfo tournamentInfo;
    QString tournamentEnded;
    TableInfo tableInfo;
    QTimer timer;
    qint64 handId = -1;
    std::function<QDateTime()> clock;
};
