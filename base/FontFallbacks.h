#pragma once

#include <QString>

class QFont;
class QWidget;

/// Finds the fonts that draw each script for a font before any text needs
/// them. The first text of a script asks the system's font configuration
/// which fonts cover it, once per font family and script, tens of
/// milliseconds each; a chat line with letters of many scripts the process
/// has not shown yet would stall the window for the sum. These look-ups run
/// on a worker thread instead, and their answers serve every thread.
namespace FontFallbacks {

/// Starts the look-ups for the font's families on a worker thread, once per
/// families and style in the process; returns at once. GUI thread only.
void prepare(const QFont& font);
/// Starts them for the widget's font once it has its style sheet's,
/// after the current turn of the event loop. GUI thread only.
void prepareFor(QWidget* widget);
/// Waits at most `msecs` for the look-ups started so far; whether they ended.
bool waitForPrepared(int msecs);
/// One letter of each script that has letters, in the order of the
/// characters, from the Basic and Supplementary Multilingual Planes.
QString scriptSample();

} // namespace FontFallbacks
