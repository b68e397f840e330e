#include "reason_texts.h"

#include <QCoreApplication>

#include <cstddef>

namespace reason_texts {

namespace {

// The sources only are kept: a reason is translated each time it is asked
// for, in the language of that moment.
template <std::size_t N>
QString lookup(const char* const (&sources)[N], int code)
{
    if (code >= 0 && static_cast<std::size_t>(code) < N)
        return QCoreApplication::translate("ConnectionManager", sources[code]);
    return QCoreApplication::translate("Utils", "<undefined>");
}

} // namespace

QString leaveStatus(int code)
{
    static const char* const table[] = {
        QT_TRANSLATE_NOOP("ConnectionManager", "OK"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Failed"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Denied"),
    };
    return lookup(table, code);
}

QString watchStatus(int code)
{
    static const char* const table[] = {
        QT_TRANSLATE_NOOP("ConnectionManager", "OK"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Failed"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Denied"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Already Seated"),
    };
    return lookup(table, code);
}

QString accountFailure(int code)
{
    static const char* const table[] = {
        QT_TRANSLATE_NOOP("ConnectionManager", "Plain string"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Forbidden"),
        QT_TRANSLATE_NOOP("ConnectionManager", "User name already in use"),
        QT_TRANSLATE_NOOP("ConnectionManager", "User name invalid"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Password invalid"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Email already in use"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Email invalid"),
    };
    return lookup(table, code);
}

QString tournamentLeaveStatus(int code)
{
    static const char* const table[] = {
        QT_TRANSLATE_NOOP("ConnectionManager", "Ok"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Not registered"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Tournament finished"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Registration not closed"),
        QT_TRANSLATE_NOOP("ConnectionManager", "Invalid state"),
    };
    return lookup(table, code);
}

} // namespace reason_texts
