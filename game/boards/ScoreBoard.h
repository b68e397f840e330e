#pragma once

#include "MahjongDialog.h"

#include <ScoreRecords.h>
#include <TableInfo.h>

#include <QDateTime>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class HandScene;
class QFrame;
class QGraphicsView;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextEdit;
class TimerView;

/// The end-of-hand score board: for up to four players the picture, name,
/// how the hand was won (or tenpai), the itemised score and the settlement;
/// below them a tab per player with the scoring tiles, the countdown to the
/// next hand and the buttons Ready, Close and Leave. Everything it shows is
/// handed to it; its buttons only report.
class ScoreBoard : public MahjongDialog
{
    Q_OBJECT

public:
    explicit ScoreBoard(QWidget* parent);
    ~ScoreBoard() override;

    /// Fills the board from the records in display order (at most four used),
    /// preselecting the tab of `selectedPid` (-1: the first tab).
    /// `mahjongType` 1, 2, 3 pick the winner's claim picture.
    void showScores(const std::vector<player_score>& scores, qint32 selectedPid, int mahjongType,
                    const TableInfo& table, bool endOfGame);
    /// The table's record changed: the buttons name its stake and fee as
    /// they are now.
    void setTableInfo(const TableInfo& table);
    /// The picture of player index 0..3 (others are ignored).
    void setAvatar(int index, const QPixmap& picture);
    /// Ready shown and Close hidden, or the reverse.
    void setReadyVisible(bool visible);
    /// The waiting mode: the board waits for the user to be ready for the
    /// next hand (Ready shown, Close hidden). Out of it the board only
    /// informs (Close shown, Ready hidden).
    void setWaitingMode(bool waiting) { setReadyVisible(waiting); }
    bool isWaitingMode() const;
    /// Takes 0.8 of a window `room` pixels high until it shows; shown, the
    /// height its longest score list needs to show whole, up to the room.
    void fitHeight(int room);
    /// Shows the countdown to `end` when it lies ahead.
    void startCountdown(const QDateTime& end);
    void stopCountdown();

    /// The itemised score of one record as HTML (names translated and escaped).
    static QString handScoreTable(const player_score& score, int ruleset);
    /// The settlement rows of one record as HTML.
    static QString settlementTable(const player_score& score, bool withPayment);

    /// Form widgets by object name, for tests.
    template <typename T>
    T* part(const char* name) const
    {
        return content()->findChild<T*>(QString::fromLatin1(name));
    }
    QTabWidget* tabs() const { return scoreMelds; }
    HandScene* handScene(int index) const { return scenes[std::size_t(index)].get(); }
    TimerView* countdown() const { return nextRoundTimer; }

Q_SIGNALS:
    void closeClicked();
    void readyClicked();
    void leaveClicked();

public Q_SLOTS:
    void onCloseClick();
    void onReadyClick();
    void onLeaveClick();
    /// A shown player's name arrived or changed: that column shows it.
    void onPlayerNameUpdate(qint32 pid, const QString& name);
    /// The tile set changed: the hands are laid out and fitted again.
    void onTileGraphicsChanged();

protected:
    void changeEvent(QEvent* event) override;
    /// A hand's view that changed its size fits its hand again.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Shown
    {
        std::vector<player_score> scores;
        qint32 selectedPid;
        int mahjongType;
        TableInfo table;
        bool endOfGame;
    };
    void buildForm();
    void retranslateForm();
    void fill(const Shown& shown, bool selectTab);
    void spreadLists(const Shown& shown);
    void fitHands();
    void fitHand(std::size_t index);
    void fitLists();
    QWidget* content() const { return form; }

    QFrame* form = nullptr;
    QTabWidget* scoreMelds = nullptr;
    TimerView* nextRoundTimer = nullptr;
    QLabel* nextRoundLabel = nullptr;
    QPushButton* readyButton = nullptr;
    QPushButton* closeButton = nullptr;
    QPushButton* leaveButton = nullptr;
    std::array<QLabel*, 4> avatars{};
    std::array<QLabel*, 4> names{};
    std::array<QLabel*, 4> claims{};
    std::array<QTextEdit*, 4> scoreEdits{};
    std::array<QLabel*, 4> totals{};
    std::array<QGraphicsView*, 4> views{};
    std::array<std::unique_ptr<HandScene>, 4> scenes;
    std::optional<Shown> shown;
    /// The height of the window the board stands in, as last given.
    int windowHeight = 0;
};
