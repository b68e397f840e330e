#include "SystemInfo.h"

#include <QSysInfo>

namespace {

QString windowsText(windows_version_t v)
{
    switch (v) {
    case win_vista: return QStringLiteral("vista");
    case win_xp: return QStringLiteral("xp");
    case win_nt: return QStringLiteral("nt");
    case win_2000: return QStringLiteral("2000");
    case win_2003: return QStringLiteral("2003");
    case win_98: return QStringLiteral("98");
    }
    return QString();
}

QString macVersionText(mac_os_x_version_t v)
{
    switch (v) {
    case mac_10_3: return QStringLiteral("10.3");
    case mac_10_4: return QStringLiteral("10.4");
    case mac_10_5: return QStringLiteral("10.5");
    }
    return QString();
}

}

QString system_info_t::platformText() const
{
    switch (platform) {
    case platform_t::windows: return QStringLiteral("windows");
    case platform_t::mac: return QStringLiteral("mac");
    case platform_t::linux_desktop: return QStringLiteral("linux");
    default: return QStringLiteral("unknown");
    }
}

QString system_info_t::osText() const
{
    if (const auto* w = std::get_if<windows_version_t>(&os))
        return windowsText(*w);
    if (const auto* m = std::get_if<mac_os_t>(&os))
        return *m == mac_os_x ? QStringLiteral("os x") : QString();
    if (const auto* l = std::get_if<linux_os_t>(&os))
        return l->name;
    return QString();
}

QString system_info_t::osVersionText() const
{
    if (const auto* m = std::get_if<mac_os_x_version_t>(&os_version))
        return macVersionText(*m);
    if (const auto* l = std::get_if<linux_version_t>(&os_version))
        return l->version;
    return QString();
}

system_info_t currentSystemInfo()
{
    system_info_t info;
#if defined(Q_OS_WIN)
    // Only the Windows versions that the list names have a code; later ones
    // stay without an operating system and so match nothing.
    info.platform = platform_t::windows;
#elif defined(Q_OS_MACOS)
    info.platform = platform_t::mac;
    info.os = mac_os_x;
#elif defined(Q_OS_LINUX)
    info.platform = platform_t::linux_desktop;
    info.os = linux_os_t{QSysInfo::productType()};
    info.os_version = linux_version_t{QSysInfo::productVersion()};
#endif
    return info;
}
