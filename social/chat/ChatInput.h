#pragma once

#include <QLineEdit>

/// The input line of a chat room. A key pressed with Alt is a shortcut,
/// never text: when it no longer names one (a claim's key pressed just
/// after its offer ran out) it types nothing that the next Return would
/// send to the room. Ctrl+Alt (AltGr on some keyboards) still types, and
/// so does the Option key of a Mac, which is how text is typed there.
class ChatInput : public QLineEdit
{
    Q_OBJECT

public:
    explicit ChatInput(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
