#pragma once

#include <QStackedWidget>

/// A QStackedWidget with a class name of its own for style-sheet selectors;
/// the page pane of UTabWidget.
class UStackedWidget : public QStackedWidget
{
    Q_OBJECT

public:
    explicit UStackedWidget(QWidget* parent = nullptr);
};
