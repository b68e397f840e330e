#pragma once

#include <QFrame>

class QLabel;

/// The panel of a seat nobody holds: "Waiting for player".
class EmptySeatWidget : public QFrame
{
    Q_OBJECT

public:
    explicit EmptySeatWidget(QWidget* parent = nullptr);
    ~EmptySeatWidget() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    QLabel* label;
};
