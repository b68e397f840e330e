#pragma once

#include <QLoggingCategory>

/// The log category of the game table.
Q_DECLARE_LOGGING_CATEGORY(lcGame)
