#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>

/// A client version: major, minor and patch, each an unsigned 16-bit number.
/// Versions are ordered lexicographically, major first.
struct version_t
{
    quint16 major = 0;
    quint16 minor = 0;
    quint16 patch = 0;

    friend constexpr auto operator<=>(const version_t&, const version_t&) = default;
    friend constexpr bool operator==(const version_t&, const version_t&) = default;
};

/// This client's own version: the project's version, set by the build.
extern const version_t clientVersion;

/// A version as "major.minor.patch" in decimal.
QString versionString(const version_t& v);

/// This client's own version as text, "major.minor.patch".
QString clientVersionString();
