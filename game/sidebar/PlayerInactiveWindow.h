#pragma once

#include "MahjongDialog.h"

class QLabel;
class QPushButton;

/// The notice shown while the own seated player is inactive: the player will
/// stand down automatically unless Reactivate is pressed. One showing sends at
/// most one reactivation.
class PlayerInactiveWindow : public MahjongDialog
{
    Q_OBJECT

public:
    explicit PlayerInactiveWindow(QWidget* parent);
    ~PlayerInactiveWindow() override;

    /// Showing the notice arms Reactivate again.
    void setVisible(bool visible) override;

public Q_SLOTS:
    void onReactivateButtonClicked();

Q_SIGNALS:
    void reactivateButtonClicked();
    void leaveButtonClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    QWidget* content;
    QLabel* mainText = nullptr;
    QPushButton* reactivateButton = nullptr;
    QPushButton* leaveButton = nullptr;
};
