#pragma once

#include "MahjongDialog.h"

class QLabel;
class QPushButton;

/// The notice while a table waits for players to fill its seats: how many are
/// missing, and a Leave button (the notice stays up when it is pressed).
class WaitingForPlayersWindow : public MahjongDialog
{
    Q_OBJECT

public:
    explicit WaitingForPlayersWindow(QWidget* parent);
    ~WaitingForPlayersWindow() override;

    void setLeaveEnabled(bool enabled);

public Q_SLOTS:
    /// Shows the number of missing players; fewer than one hides the notice
    /// and leaves the text as it was. Never shows the notice.
    void onSeatsRemaining(int seats);

Q_SIGNALS:
    void leaveButtonClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    QWidget* content;
    QLabel* mainText = nullptr;
    QPushButton* leaveButton = nullptr;
    int seats = 0;
};
