#pragma once

#include <QString>

#include <variant>

/// Platform codes of the version list.
namespace platform_t {
enum enum_t { unknown = 0, windows = 1, mac = 2, linux_desktop = 3 };
}

/// Windows versions the version list knows.
enum windows_version_t { win_vista = 0, win_xp = 1, win_nt = 2, win_2000 = 3, win_2003 = 4, win_98 = 5 };
/// Mac operating systems the version list knows.
enum mac_os_t { mac_os_x = 0 };
/// Mac OS X versions the version list knows.
enum mac_os_x_version_t { mac_10_3 = 0, mac_10_4 = 1, mac_10_5 = 2 };

/// A Linux distribution, by the name the system reports (e.g. "debian").
struct linux_os_t
{
    QString name;
};
/// A Linux distribution's version, as the system reports it (e.g. "12").
struct linux_version_t
{
    QString version;
};

/// The running system as the version list describes it.
struct system_info_t
{
    int platform = platform_t::unknown;
    std::variant<std::monostate, windows_version_t, mac_os_t, linux_os_t> os;
    std::variant<std::monostate, mac_os_x_version_t, linux_version_t> os_version;

    /// "windows", "mac", "linux" or "unknown".
    QString platformText() const;
    /// The operating system's name in the list, empty when it has none.
    QString osText() const;
    /// The operating system's version in the list, empty when it has none.
    QString osVersionText() const;
};

/// The record of the system this program runs on. On Linux the platform is
/// "linux", the operating system the distribution's product type and the
/// version its product version.
system_info_t currentSystemInfo();
