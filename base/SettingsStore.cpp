#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QThread>

#include <algorithm>

namespace {

/// A settings file larger than this is left to QSettings alone.
constexpr qint64 maxScannedBytes = 4 * 1024 * 1024;

bool isSection(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

QByteArray sectionName(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    return t.mid(1, t.size() - 2);
}

/// The key as written in its line; empty for a line without one.
QByteArray rawKey(const QByteArray& line)
{
    const qsizetype eq = line.indexOf('=');
    return eq > 0 ? line.left(eq).trimmed() : QByteArray();
}

/// Removes the file of `lock` when no live process holds it (an empty file,
/// one cut short, one written on another host), which QLockFile would wait
/// on forever or until it is old. Never the lock of a running process.
bool removeUnheldLockFile(QLockFile& lock)
{
    // removeStaleLockFile() first takes the file's own lock, which a live
    // holder keeps for as long as it holds it.
    if (lock.removeStaleLockFile())
        return true;
    // A file this user cannot open at all was never written by a process of
    // this user: there is no holder to ask.
    const QFileInfo info(lock.fileName());
    return info.exists() && !info.isReadable() && QFile::remove(lock.fileName());
}

} // namespace

SettingsStore& SettingsStore::instance()
{
    static SettingsStore store;
    return store;
}

SettingsStore::SettingsStore()
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(retryMs / 2);
    connect(&m_retry, &QTimer::timeout, this, &SettingsStore::flush);
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::prepare()
{
    QSettings settings;
    m_file = settings.fileName();
    if (QFileInfo::exists(lockPath()) && clearLock())
        qWarning().noquote() << "removed the settings lock" << lockPath() << "that no process held";
    if (!settings.isWritable())
        noteFailure();
    noteUnreadKeys();
}

bool SettingsStore::clearLock() const
{
    const QString path = lockPath();
    QDeadlineTimer deadline(lockWaitMs);
    QLockFile lock(path);
    while (QFileInfo::exists(path) && !removeUnheldLockFile(lock)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

void SettingsStore::setValue(const QString& key, const QVariant& value)
{
    m_pending[key] = value;
    flush();
}

void SettingsStore::flush()
{
    if (m_pending.empty())
        return;
    if (m_file.isEmpty())
        m_file = QSettings().fileName();
    // Another writer past the bound: the values wait here, and reads of
    // them see the old ones until they are written.
    if (!clearLock()) {
        if (!std::exchange(m_held, true))
            qWarning().noquote() << "settings not written yet:" << lockPath() << "is held by another process";
        // A holder that stays gets asked less and less often.
        m_retry.start(std::min(m_retry.interval() * 2, maxRetryMs));
        return;
    }
    m_held = false;
    m_retry.setInterval(retryMs / 2);
    QSettings settings;
    for (const auto& [key, value] : std::exchange(m_pending, {}))
        settings.setValue(key, value);
    settings.sync();
    // Without the program's names a settings object reports an access error
    // from the start, whatever its file.
    if (settings.status() == QSettings::AccessError && !QCoreApplication::organizationName().isEmpty()) {
        noteFailure();
        return;
    }
    restoreUnreadLines();
}

void SettingsStore::noteFailure()
{
    if (!m_problem.isEmpty())
        return;
    const QFileInfo info(m_file);
    const QFileInfo folder(info.absolutePath());
    if (info.isDir())
        m_problem = QStringLiteral("a folder is in its place");
    else if (info.exists() && !info.isWritable())
        m_problem = QStringLiteral("the file is read-only or another user's");
    else if (!info.exists() && folder.exists() && !folder.isWritable())
        m_problem = QStringLiteral("its folder cannot be written");
    else
        m_problem = QStringLiteral("writing it failed (the disk may be full)");
    qWarning().noquote() << "settings cannot be saved to" << m_file + QLatin1Char(':') << m_problem
                         << "- changes will not be kept";
    Q_EMIT writeFailed();
}

void SettingsStore::noteUnreadKeys()
{
    QFile file(m_file);
    if (file.size() > maxScannedBytes || !file.open(QIODevice::ReadOnly))
        return;
    const QSettings settings;
    QByteArray section = "General";
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (isSection(line)) {
            section = sectionName(line);
            continue;
        }
        const QByteArray key = rawKey(line);
        // Escaped names are left to QSettings: only the plain ones it writes
        // for the types it knows are looked at.
        if (key.isEmpty() || key.contains('%') || section.contains('%')
            || !line.mid(line.indexOf('=') + 1).trimmed().startsWith("@Variant("))
            continue;
        QString name = QString::fromLatin1(key).replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (section != "General")
            name = QString::fromLatin1(section) + QLatin1Char('/') + name;
        if (settings.contains(name) && !settings.value(name).isValid())
            m_unread.append({section, line});
    }
}

void SettingsStore::restoreUnreadLines()
{
    if (m_unread.isEmpty() || !clearLock())
        return;
    QLockFile lock(lockPath());
    if (!lock.tryLock(lockWaitMs))
        return;
    QFile in(m_file);
    if (in.size() > maxScannedBytes || !in.open(QIODevice::ReadOnly))
        return;
    QList<QByteArray> lines = in.readAll().split('\n');
    in.close();
    bool changed = false;
    for (auto it = m_unread.begin(); it != m_unread.end();) {
        const auto& [section, raw] = *it;
        const QByteArray key = rawKey(raw);
        QByteArray current = "General";
        bool kept = false;
        for (QByteArray& line : lines) {
            if (isSection(line)) {
                current = sectionName(line);
                continue;
            }
            if (current != section || rawKey(line) != key)
                continue;
            const QByteArray value = line.mid(line.indexOf('=') + 1).trimmed();
            // QSettings wrote back what it could not read; a value the
            // program set since is the program's.
            if (value == "@Invalid()") {
                line = raw;
                changed = true;
            }
            kept = line.trimmed() == raw.trimmed();
            break;
        }
        it = kept ? it + 1 : m_unread.erase(it);
    }
    if (!changed)
        return;
    QSaveFile out(m_file);
    if (!out.open(QIODevice::WriteOnly) || out.write(lines.join('\n')) < 0 || !out.commit())
        qWarning().noquote() << "settings: the keys this version cannot read could not be kept in" << m_file;
}
