#pragma once

#include "ConnectionPrompts.h"

/// The connection manager's questions as message boxes. On a platform
/// without a visible screen (offscreen, minimal) no box could ever be
/// answered: the text is logged and the answer is Abort.
class MessageBoxPrompts : public ConnectionPrompts
{
public:
    bool askRetry(const QString& text) override;
    void showCritical(const QString& text) override;
    void exit(int code) override;

    /// True when boxes can be seen and answered on this platform.
    static bool canShowBoxes();
};
