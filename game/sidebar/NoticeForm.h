#pragma once

#include <initializer_list>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

/// The form the short table notices share: their message between two
/// expanding vertical spacers, then a row of buttons centred between two
/// expanding spacers of 40 x 20.
class NoticeForm
{
public:
    /// Lays the form out on `content` ("verticalLayout" holding "mainText"
    /// and "horizontalLayout"), with one button per object name, in order.
    NoticeForm(QWidget* content, int spacerHeight, std::initializer_list<const char*> buttonNames);

    /// The message label, word-wrapped.
    QLabel* mainText() const { return m_mainText; }
    /// The buttons in the order of their names.
    QPushButton* button(std::size_t index) const { return m_buttons.at(index); }

private:
    QLabel* m_mainText = nullptr;
    std::vector<QPushButton*> m_buttons;
};
