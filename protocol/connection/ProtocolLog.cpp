#include "ProtocolLog.h"

Q_LOGGING_CATEGORY(lcProtocol, "parlor.protocol")
