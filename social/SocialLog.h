#pragma once

#include <QLoggingCategory>

/// The log category of the social features ("parlor.social").
Q_DECLARE_LOGGING_CATEGORY(lcSocial)
