#pragma once

#include <QSize>

#include <initializer_list>
#include <vector>

class QHBoxLayout;
class QPushButton;
class QWidget;

/// A row of push buttons centred between two expanding spacers, as the
/// table's dialogs and notices end: one button per object name, in order,
/// made as children of `owner`. The caller adds `layout` to its own layout.
struct CentredButtonRow
{
    /// `spacer` is the size hint of each spacer (none for a plain stretch).
    CentredButtonRow(QWidget* owner, const char* layoutName, std::initializer_list<const char*> buttonNames,
                     QSize spacer = QSize(0, 0));

    QHBoxLayout* layout = nullptr;
    std::vector<QPushButton*> buttons;
};
