#pragma once

#include <QKeySequence>
#include <QPushButton>

/// A push button whose tooltip is its tooltip (or its text) followed by its shortcut.
class UPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit UPushButton(QWidget* parent = nullptr);

    /// The tooltip shown at the next hover.
    QString composedToolTip();

protected:
    bool event(QEvent* event) override;

private:
    QString cachedText;
    QString cachedToolTip;
    QKeySequence cachedShortcut;
    QString composed;
};
