#pragma once

#include <QStackedWidget>

/// A QStackedWidget with a class name of its own for style-sheet selectors,
/// whose pages out of sight take no updates: the page pane of UTabWidget and
/// the main window's stack of the lobby and the table pages.
class UStackedWidget : public QStackedWidget
{
    Q_OBJECT

public:
    explicit UStackedWidget(QWidget* parent = nullptr);
};
