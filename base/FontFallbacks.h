#pragma once

#include <QString>

class QFont;
class QWidget;

/// Finds the fonts that draw each writing system for a font before any
/// text needs them. The first text of a script in a font looks for the
/// fonts that cover it (tens of milliseconds a script, kept per thread), so
/// a chat line with letters of many scripts the process has not shown yet
/// would stall the window for the sum. The look-ups run beforehand on the
/// GUI thread, one writing system a turn of the event loop, once per font
/// in the process; Qt's notes on fonts that lack a script's tables, which
/// the look-ups provoke by the dozen, are left out of the log meanwhile.
namespace FontFallbacks {

/// Starts the look-ups for the font, unless they were started for it
/// before; returns at once. GUI thread only.
void prepare(const QFont& font);
/// Starts them for the widget's font as its style sheet sets it, after the
/// turn of the event loop in which the widget first shows. GUI thread only.
void prepareFor(QWidget* widget);
/// Runs the event loop until the look-ups started so far have ended, at
/// most `msecs`; whether they ended. GUI thread only.
bool waitForPrepared(int msecs);
/// One sample of text per writing system the look-ups cover.
QStringList samples();

} // namespace FontFallbacks
