#pragma once

#include "TitleBarDrag.h"

#include <MonetaryRoundScores.h>
#include <TableInfo.h>
#include <TournamentInfo.h>
#include <TournamentRankings.h>
#include <TournamentRoundScores.h>

#include <QFrame>
#include <QHash>
#include <QList>
#include <QPointer>

#include <map>
#include <optional>

class QLabel;
class QPushButton;
class RoundScoreWidget;
class SocialServices;

/// The panel a table window shows over the table when a round ends: the
/// players from best to worst with their round's values. Dragged by its title
/// within the table window; one Close button. Names are the ones it was told
/// through onPlayerNameUpdate (the table window passes the seated players'
/// names and later name changes) or read from a ranking list; pictures come
/// from the social services, when there are any.
class RoundScoreBoard : public QFrame
{
    Q_OBJECT

public:
    /// `services` gives the players' pictures; null shows none.
    RoundScoreBoard(SocialServices* services, QWidget* parent);
    ~RoundScoreBoard() override;

    /// Title: the tournament's name; "Round n/m" below it.
    void setTournamentInfo(const TournamentInfo& info);
    /// Title: the table's name; "Round results" below it.
    void setTableInfo(const TableInfo& info);
    /// Refills with tournament panels, best round result first.
    void showRoundScores(const TournamentRoundScores& scores);
    /// Refills with money panels, best balance first.
    void showMonetaryRoundScores(const MonetaryRoundScores& scores);
    /// Every shown player gets the table points of the list (0 when missing).
    void updateTournamentPoints(const TournamentRankings& rankings);
    /// True after a tournament round was shown, false after a money round.
    bool isTournamentRound() const { return tournamentFlag; }

    /// The panels from top to bottom.
    QList<RoundScoreWidget*> panels() const { return panelList; }
    QLabel* titleLabel() const { return title; }
    QLabel* roundLabel() const { return round; }
    QPushButton* closeButton() const { return close; }

Q_SIGNALS:
    /// Close was pressed (the board is hidden already).
    void closeClick();

public Q_SLOTS:
    void onCloseClick();
    /// A player's name became known or changed: that panel shows it, without reordering.
    void onPlayerNameUpdate(qint32 pid, QString name);
    void onPlayerPictureUpdate(qint32 pid);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Entry
    {
        qint32 pid;
        int mahjongPoints;
        qint64 result;
    };
    void refill(bool tournament, const std::vector<Entry>& entries);
    void layoutScores();
    void retranslateForm();
    void showHeader();
    QPixmap pictureOf(qint32 pid) const;

    QLabel* title = nullptr;
    QPushButton* close = nullptr;
    QLabel* round = nullptr;
    QPointer<SocialServices> services;
    QList<RoundScoreWidget*> panelList;
    std::map<qint32, RoundScoreWidget*> panelMap;
    QHash<qint32, QString> names;
    bool tournamentFlag = false;
    TitleBarDrag drag;
    std::optional<TournamentInfo> tournament;
    std::optional<TableInfo> table;
};
