#include "ClientVersion.h"

QString versionString(const version_t& v)
{
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch);
}

QString clientVersionString()
{
    return versionString(clientVersion);
}
