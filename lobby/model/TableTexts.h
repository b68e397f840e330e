#pragma once

#include <QString>

struct TableInfo;

/// "Classic", "International", "Riichi", else "<undefined>" (context "TableInfo").
QString rulesetText(int ruleset);
/// "Single hand", "Tournament", "Full game", else "<undefined>".
QString gameTypeText(int gameType);
/// " single hand", " tournament", " full game", else "<undefined>".
QString gameTypeSuffix(int gameType);
/// "%Ln second(s)" with the whole seconds of the milliseconds; "<unknown>"
/// when they are below zero.
QString timeLimitText(int milliseconds);

/// The money text of an amount in cents: "$%L1" with whole units, else with
/// two decimals (the program's one rule, formatMoney).
QString moneyText(qint64 cents);
/// The money text, or "-" for 0 (context "TableValue").
QString moneyOrDash(qint64 cents);
/// The money text, or "free" for 0 (context "TableValue").
QString moneyOrFree(qint64 cents);
