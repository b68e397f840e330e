#pragma once

#include <QDebug>
#include <QLoggingCategory>
#include <QtGlobal>

#include <memory>
#include <string>

class QMessageBox;
class QRegularExpression;

/// The shell's own messages.
Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace Logging {

/// Messages below this level are dropped: 0 debug, 1 warning, 2 critical, 3 fatal.
extern int minLogLevel;
/// When set, only messages with a match of it pass. Owned for the rest of the process.
extern QRegularExpression* logFilter;
/// The most bytes the log file of one run takes. Ordinary lines stop at seven
/// eighths of it, with one line saying so; critical and fatal lines and the
/// exception guard's text may use the rest.
inline constexpr qint64 maxLogSize = 32 * 1024 * 1024;
/// The most characters of a message's text that one log line holds; the
/// rest is left out, and the line says how much.
inline constexpr qsizetype maxLineText = 8192;
/// The logging categories of the program's own messages begin with this
/// ("parlor.app", "parlor.xmpp", ...). Only their critical and fatal
/// messages are shown in a box; those of the libraries below (the web
/// engine, multimedia, Qt itself) are logged only, and without line breaks.
inline constexpr char programCategoryPrefix[] = "parlor.";
/// The most critical messages waiting for their box while one is shown;
/// beyond them, and for a text already waiting, the log alone has it.
inline constexpr int maxWaitingBoxes = 4;

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

/// Closes the log file (if any) and gives up its lock. Used at
/// shutdown and by the tests.
void closeLogFile();

/// Writes the text exactly as given to the log file and flushes it, within
/// the file's size bound.
void writeLog(const std::string& text);

/// The process-wide message handler, installed with qInstallMessageHandler().
/// A critical message of the program's own is shown in a box on the GUI
/// thread once the handler has returned (so that what is said while the box
/// is open reaches the log too), one box at a time.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg);

/// Shows the boxes of critical messages still waiting, one after another;
/// for the end of the event loop, which leaves them unshown.
void showWaitingBoxes();

/// A fatal message of the program's own: logged, shown in a box that names
/// the log file, and the process ends.
[[noreturn]] void fatal(const QString& text);

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
