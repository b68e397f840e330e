#include "BuildInfo.h"

#ifndef PARLOR_REVISION
#define PARLOR_REVISION "unknown"
#endif

QString buildIdentification()
{
    return QStringLiteral("revision %1 built %2 %3")
        .arg(QLatin1String(PARLOR_REVISION), QLatin1String(__DATE__), QLatin1String(__TIME__));
}
