#pragma once

#include <QWidget>

/// A plain widget that paints its style-sheet background and border.
class BugfixWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BugfixWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
