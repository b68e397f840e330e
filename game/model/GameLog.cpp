#include "GameLog.h"

Q_LOGGING_CATEGORY(lcGame, "parlor.game")
