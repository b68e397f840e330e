#pragma once

#include "MahjongDialog.h"

class QLabel;
class QPushButton;

/// "Watching": shown to a player who was unseated and now watches the table,
/// with Join (enabled while a seat can be taken) and Leave; it says whether
/// a game is still to come or the table has closed.
class WatchingWindow : public MahjongDialog
{
    Q_OBJECT

public:
    explicit WatchingWindow(QWidget* parent);
    ~WatchingWindow() override;

    /// Hides the "you've been unseated" line (the user came to watch from the lobby).
    void setUnseatedInfoHidden(bool hidden);
    /// The table's game is over and the table has closed (true), or a game
    /// is to start there.
    void setTableClosed(bool closed);
    QLabel* infoLabel() const { return watchingInfo; }

    QPushButton* joinButton() const { return join; }
    QPushButton* leaveButton() const { return leave; }
    QLabel* pickedUpInfo() const { return pickedUp; }

Q_SIGNALS:
    void leaveButtonClicked();
    void joinButtonClicked();

public Q_SLOTS:
    /// Join is enabled exactly while a seat can be taken.
    void onJoinableChanged(bool joinable);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateForm();

    QWidget* form = nullptr;
    QLabel* pickedUp = nullptr;
    QLabel* watchingInfo = nullptr;
    QPushButton* join = nullptr;
    QPushButton* leave = nullptr;
    bool closed = false;
};
