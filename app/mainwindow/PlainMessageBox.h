#pragma once

#include "ModelessMsgBox.h"

#include <QLabel>

/// Makes a modeless box show its text as plain text: the texts of the main
/// window's boxes carry server data (table names, reasons), never markup.
inline ModelessMsgBox::MsgBox* plainText(ModelessMsgBox::MsgBox* box)
{
    if (box != nullptr) {
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("msgBoxText")))
            label->setTextFormat(Qt::PlainText);
    }
    return box;
}
