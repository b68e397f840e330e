#pragma once

#include <QLoggingCategory>

/// The log category of the game-server connection.
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
