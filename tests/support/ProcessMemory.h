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

/// How far the peak resident size has grown since this was made, in kB: the
/// making starts the peak ("VmHWM") over from the present resident size.
class PeakGrowth
{
    const qint64 before = [] {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        return statusKb("VmRSS");
    }();

public:
    qint64 kb() const { return statusKb("VmHWM") - before; }
};

} // namespace processmemory
