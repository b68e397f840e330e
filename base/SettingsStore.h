#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <map>
#include <utility>

/// The program's settings (the default QSettings), written through this one
/// gate. QSettings waits with no limit for "<settings file>.lock" and gives
/// up a lock whose holder it cannot name only when it is 30 s old; here a
/// lock no live process holds is cleared, and a write waits for another
/// writer at most lockWaitMs on the GUI thread (what it could not write then
/// is written later). Settings that cannot be written are said, once. Keys
/// this version cannot read (a value of a type it does not know) keep their
/// lines: QSettings would write them back as "@Invalid()".
class SettingsStore : public QObject
{
    Q_OBJECT

public:
    static SettingsStore& instance();

    /// Before the first use: clears a lock no live process holds, notes
    /// whether the file can be written and the lines of keys this version
    /// cannot read.
    void prepare();
    /// Writes `key`, at once unless another writer holds the file.
    void setValue(const QString& key, const QVariant& value);
    /// Writes what is still waiting, with the same bound on the wait.
    void flush();
    /// False once the settings were found not to be writable.
    bool isWritable() const { return m_problem.isEmpty(); }
    /// Why the settings cannot be written; empty while they can.
    QString problem() const { return m_problem; }

    static constexpr int lockWaitMs = 100;
    /// The first and the longest pause before a value kept back is written.
    static constexpr int retryMs = 1000;
    static constexpr int maxRetryMs = 30000;

Q_SIGNALS:
    /// The settings were found not to be writable (emitted once).
    void writeFailed();

private:
    SettingsStore();
    ~SettingsStore() override;

    QString lockPath() const { return m_file + QLatin1String(".lock"); }
    /// Whether no lock is left on the file within lockWaitMs.
    bool clearLock() const;
    void noteFailure();
    void noteUnreadKeys();
    void restoreUnreadLines();

    QString m_file;
    std::map<QString, QVariant> m_pending;
    /// Each unreadable key's section and line, as found.
    QList<std::pair<QByteArray, QByteArray>> m_unread;
    QString m_problem;
    /// The wait for another writer was said.
    bool m_held = false;
    QTimer m_retry;
};
