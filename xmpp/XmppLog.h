#pragma once

#include <QLoggingCategory>

/// The XMPP library's one logging category, "parlor.xmpp".
Q_DECLARE_LOGGING_CATEGORY(lcXmpp)
