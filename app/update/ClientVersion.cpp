#include "ClientVersion.h"

// The build passes the project's version; there is no second copy of it.
#if !defined(PARLOR_VERSION_MAJOR) || !defined(PARLOR_VERSION_MINOR) || !defined(PARLOR_VERSION_PATCH)
#error "the build must define PARLOR_VERSION_MAJOR, PARLOR_VERSION_MINOR and PARLOR_VERSION_PATCH"
#endif

const version_t clientVersion{PARLOR_VERSION_MAJOR, PARLOR_VERSION_MINOR, PARLOR_VERSION_PATCH};

QString versionString(const version_t& v)
{
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch);
}

QString clientVersionString()
{
    return versionString(clientVersion);
}
