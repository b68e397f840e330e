#pragma once

#include <QString>
#include <QStringList>

struct TableInfo;

/// The rules text of a table, e.g. "Riichi full game".
QString tableRulesText(const TableInfo& info);
/// The empty (null) text for a table without money; otherwise "buy-in: %1",
/// followed by " max win: %1" when the table has a maximum win.
QString tableValueText(const TableInfo& info);
/// The parts of tableValueText(): the buy-in, and the maximum win when there
/// is one; empty for a table without money.
QStringList tableValueParts(const TableInfo& info);
/// The lobby row's tooltip: name, seats, rules, time limit, buy-in, and the
/// maximum win, place bonuses and feeding penalty when the table has them.
QString tableToolTip(const TableInfo& info);
