#pragma once

#include "MahjongDialog.h"
#include "TableInfo.h"

class QLabel;
class QPushButton;
class TimerView;

/// The notice after a hand that ended without a winner: the reason, a
/// countdown to the next hand and the buttons to go on or leave, which depend
/// on the game type; a watcher gets only "Ok". Each button hides the notice
/// after its signal has gone out.
class WashoutWindow : public MahjongDialog
{
    Q_OBJECT

public:
    explicit WashoutWindow(QWidget* parent);
    ~WashoutWindow() override;

    /// The server's reason (6 to 9 have a text; others show no reason line).
    void setWashoutType(int type);
    void setEndOfGame(bool endOfGame);
    void setWatching(bool watching);
    void setTableInfo(const TableInfo& info);
    /// Hides the countdown.
    void resetTimer();
    /// Counts down to the ready deadline (server time) while it lies ahead;
    /// hides the countdown when it has passed.
    void setReadyDeadline(const QDateTime& deadline);
    /// Whether Ready answers anything: only while the server's ready question is open.
    void setReadyEnabled(bool enabled);

    /// The reason text of a type; empty for types without one.
    static QString reasonText(int type);

Q_SIGNALS:
    void readyButtonClicked();
    void leaveButtonClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi(QWidget* content);
    void retranslateUi();
    void updateButtons();

    QLabel* textImage = nullptr;
    QLabel* washoutReason = nullptr;
    QLabel* nextRoundLabel = nullptr;
    TimerView* nextRoundTimer = nullptr;
    QPushButton* readyButton = nullptr;
    QPushButton* leaveButton = nullptr;
    QPushButton* okButton = nullptr;

    bool watching = false;
    int washoutType = 4;
    TableInfo tableInfo;
    bool endOfGame = false;
};
