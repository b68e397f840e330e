#include "XmppLog.h"

Q_LOGGING_CATEGORY(lcXmpp, "parlor.xmpp")
