#pragma once

class ChatOutputWidget;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;
class UPushButton;

/// The widget tree of a chat room: the chat pane over an input line with a
/// Send button.
class ConferenceView
{
public:
    /// Longest line the input accepts, in characters.
    static constexpr int MaxInputLength = 120;

    void setupUi(QWidget* widget);
    /// Sets every text of the tree in the current language.
    void retranslateUi(QWidget* widget);

    QVBoxLayout* vboxLayout = nullptr;
    QVBoxLayout* vboxLayout1 = nullptr;
    ChatOutputWidget* chatOutput = nullptr;
    QFrame* chatBottom = nullptr;
    QHBoxLayout* hboxLayout = nullptr;
    /// Why the room cannot be written to (refused, chat offline), over the
    /// input line; hidden while there is nothing to say.
    QLabel* chatState = nullptr;
    QLineEdit* chatInput = nullptr;
    UPushButton* send = nullptr;
};
