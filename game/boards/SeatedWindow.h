#pragma once

#include "MahjongDialog.h"

#include <TableInfo.h>

class QFrame;
class QLabel;
class QPushButton;
class TimeSpan;
class UTimer;

/// "You have been seated": the table's rules and money terms, Play and Leave,
/// and the countdown after which the seat is given up. The countdown's end
/// leaves the notice and its Play up: the server ends the seat by its own
/// word (it unseats the player), never the client's estimate of its clock.
class SeatedWindow : public MahjongDialog
{
    Q_OBJECT

public:
    explicit SeatedWindow(QWidget* parent);
    ~SeatedWindow() override;

    /// Counts down to the span's end, read against the server clock.
    void startCountdown(const TimeSpan& span);
    /// Stops the countdown and clears its text; no timeout() follows.
    void stopCountdown();

    /// The label of a form field by object name (for tests and the style sheet).
    QLabel* label(const char* name) const;
    QPushButton* playButton() const { return play; }
    QPushButton* leaveButton() const { return leave; }

Q_SIGNALS:
    /// The player pressed Leave (the countdown is stopped).
    void leaveButtonClicked();
    /// The player pressed Play (the countdown is stopped).
    void playButtonClicked();
    /// The countdown reached the deadline.
    void timeout();

public Q_SLOTS:
    /// Fills the rules and money rows from the table and keeps it for re-translation.
    void onTableInfo(TableInfo ti);
    void onLeaveButtonClicked();
    void onPlayButtonClicked();
    /// Shows the seconds left, rounded; clears the line below half a second.
    void onTimerUpdate(int left_ms);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildForm();
    void retranslateForm();

    QWidget* form = nullptr;
    QPushButton* play = nullptr;
    QPushButton* leave = nullptr;
    UTimer* timer = nullptr;
    TableInfo info;
    bool hasInfo = false;
    int lastSeconds = -1;
};
