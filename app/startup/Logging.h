#pragma once

#include <QDebug>
#include <QtGlobal>

#include <memory>
#include <string>

class QMessageBox;
class QRegularExpression;

namespace Logging {

/// Messages below this level are dropped: 0 debug, 1 warning, 2 critical, 3 fatal.
extern int minLogLevel;
/// When set, only messages with a match of it pass. Owned for the rest of the process.
extern QRegularExpression* logFilter;
/// The most bytes the log file of one run takes. Ordinary lines stop at seven
/// eighths of it, with one line saying so; critical and fatal lines and the
/// exception guard's text may use the rest.
inline constexpr qint64 maxLogSize = 32 * 1024 * 1024;

/// The nine-character tag of a message level, or an empty text for an
/// informational warning (one whose text begins with " [INFO ] ").
QByteArray levelTag(QtMsgType type, const QString& text);

/// One log line as written to the file: time, tag, text, line feed.
QByteArray formatLine(QtMsgType type, const QString& text, const QTime& time);

/// The temporary folder when it exists; empty when it does not. Files meant
/// for it are then not written at all, never into the current folder.
QString temporaryFolder();

/// The log's folder: the temporary folder when no one but the user may
/// write it, else the program's own folder of the user
/// (PrivateFolder::own()); empty, with the reason in `why`, when there is
/// neither.
QString logFolder(QString* why = nullptr);

/// The absolute path of the log file ("mahjong.log" in logFolder()); empty
/// when there is no folder for it.
QString logFilePath();

/// Renames an existing "mahjong.log" to "mahjong.log.old" and opens a fresh,
/// empty "mahjong.log" readable by its user only. Runs in the process that
/// holds the single-instance lock; the log's own lock ("mahjong.log.lock")
/// keeps any other running client's log from being rotated. A log that is
/// locked by a running client, no folder for it or an unopenable file leave
/// the program without a log, said in one line on standard error.
void openLogFile();

/// Closes the log file (if any). Used at shutdown and by the tests.
void closeLogFile();

/// Writes the text exactly as given to the log file and flushes it, within
/// the file's size bound.
void writeLog(const std::string& text);

/// The process-wide message handler, installed with qInstallMessageHandler().
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg);

/// A critical box with one OK button, its text shown as written (never as
/// markup).
std::unique_ptr<QMessageBox> criticalBox(const QString& title, const QString& text);

/// Shows a blocking critical box with one OK button on the GUI thread. On a
/// platform without a visible screen (offscreen, minimal) the box could never
/// be answered, so the title and text go to standard error instead.
void showBlockingCritical(const QString& title, const QString& text);

/// Why the program cannot start: always on standard error, and in a box as
/// well where there is a display (a start from a desktop launcher has no
/// terminal to read).
void reportStartFailure(const QString& title, const QString& text);

}

/// The warning stream fed with " [INFO ] ": an informational log line.
QDebug logInfo();

/// Writes the text to the log file as given (no time, tag or line end).
void writeLog(const std::string& text);
