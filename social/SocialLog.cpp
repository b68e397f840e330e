#include "SocialLog.h"

Q_LOGGING_CATEGORY(lcSocial, "parlor.social")
