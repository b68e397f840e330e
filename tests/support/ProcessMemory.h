#pragma once
// Memory figures of the running test process, for tests that show a hostile
// input costs no more than its cap.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace processmemory {

/// A field of /proc/self/status in kB ("VmRSS", "VmHWM": the peak resident
/// size so far); -1 where the file or the field is missing.
inline qint64 statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key).endsWith(':') ? QByteArray(key) : QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

/// Starts the peak ("VmHWM") over from the present resident size, so that
/// one step's peak can be read on its own; false where the system does not
/// allow it.
inline bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace processmemory
