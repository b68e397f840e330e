#pragma once

#include <QMetaType>

/// The outcome of one client version check.
enum VersionCheckerResult {
    /// The version list could not be fetched or read.
    VersionCheckFailed = 0,
    /// Nothing applies to this system, or the applicable client is not newer.
    NoNewVersion = 1,
    /// The applicable entry names a client newer than this one.
    NewVersionAvailable = 2,
};

Q_DECLARE_METATYPE(VersionCheckerResult)
