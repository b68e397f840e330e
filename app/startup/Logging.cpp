#include "Logging.h"

#include "MahjongApplication.h"
#include "PrivateFolder.h"
#include "ProtocolValues.h"
#include "RunLockFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>
#include <QTime>

#include <cstdio>
#include <cstdlib>
#include <memory>

Q_LOGGING_CATEGORY(lcApp, "parlor.app")

namespace {

QFile* logFile = nullptr;
/// Held while logFile is open: this process is the log's writer.
std::unique_ptr<RunLockFile> logLock;
QMutex logMutex;
/// The bound of ordinary lines was met in this log file.
bool logFull = false;

const char infoPrefix[] = " [INFO ] ";
const char supportAddress[] = "support@parlor7.example";

bool onGuiThread()
{
    return QCoreApplication::instance() != nullptr
        && QThread::currentThread() == QCoreApplication::instance()->thread()
        && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

/// Appends to the open log within its bound; logMutex must be held. Urgent
/// text (critical, fatal, the exception guard's) may use the last eighth.
void appendLocked(const QByteArray& bytes, bool urgent)
{
    // Once an ordinary line was left out, later ones are too, however short:
    // the log says where its ordinary lines end. A line is at most a few
    // times maxLineText bytes, so that one that does not fit finds the log
    // full.
    if (logFile == nullptr || !logFile->isOpen() || (!urgent && logFull))
        return;
    const qint64 bound = urgent ? Logging::maxLogSize : Logging::maxLogSize - Logging::maxLogSize / 8;
    if (logFile->pos() + bytes.size() > bound) {
        // Said once, from the urgent room, so that a reader knows why the log ends.
        if (!urgent) {
            logFull = true;
            appendLocked(Logging::formatLine(QtWarningMsg,
                             QStringLiteral("the log reached its size limit of %1 bytes: later lines are left out")
                                 .arg(Logging::maxLogSize),
                             QTime::currentTime()),
                true);
        }
        return;
    }
    logFile->write(bytes);
    logFile->flush();
}

bool headlessPlatform()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void printCritical(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool isProgramMessage(const QMessageLogContext& context)
{
    return context.category != nullptr
        && qstrncmp(context.category, Logging::programCategoryPrefix, qstrlen(Logging::programCategoryPrefix)) == 0;
}

/// The message's text as its log line holds it: cut at maxLineText
/// characters; a library's text (which may quote a page or a peer) on one
/// line, so that it cannot start a line that looks like the program's.
QString lineText(const QString& msg, bool own)
{
    QString text = msg;
    if (text.size() > Logging::maxLineText) {
        const qsizetype kept = Logging::maxLineText - (msg.at(Logging::maxLineText - 1).isHighSurrogate() ? 1 : 0);
        text = msg.left(kept) + QStringLiteral(" [%1 more characters left out]").arg(msg.size() - kept);
    }
    return own ? text : singleLine(std::move(text));
}

/// The program's critical messages waiting for their box, and the one shown.
QMutex boxMutex;
QStringList waitingBoxes;
QString shownBox;
/// A call of showWaitingBoxes() is on its way to the GUI thread.
bool boxesScheduled = false;

void queueBox(const QString& text)
{
    {
        QMutexLocker locker(&boxMutex);
        if (waitingBoxes.size() >= Logging::maxWaitingBoxes || waitingBoxes.contains(text) || text == shownBox)
            return;
        waitingBoxes.append(text);
        if (boxesScheduled || QCoreApplication::instance() == nullptr)
            return;
        boxesScheduled = true;
    }
    // Widgets belong to the GUI thread, and a box opened inside the handler
    // would keep every message said while it is open out of the log.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &Logging::showWaitingBoxes, Qt::QueuedConnection);
}

}

namespace Logging {

int minLogLevel = 1;
QRegularExpression* logFilter = nullptr;

QByteArray levelTag(QtMsgType type, const QString& text)
{
    switch (type) {
    case QtDebugMsg:
        return " [DEBUG] ";
    case QtInfoMsg:
    case QtWarningMsg:
        return text.startsWith(QLatin1String(infoPrefix)) ? QByteArray() : QByteArray(" [WARN ] ");
    case QtCriticalMsg:
        return " [CRIT ] ";
    case QtFatalMsg:
        return " [FATAL] ";
    }
    return QByteArray();
}

QByteArray formatLine(QtMsgType type, const QString& text, const QTime& time)
{
    QByteArray line = time.toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1();
    line += levelTag(type, text);
    line += text.toUtf8();
    line += '\n';
    return line;
}

QString temporaryFolder()
{
    // QDir::tempPath() is empty for a folder that does not exist, and an
    // empty QDir is the current folder.
    const QString path = QDir::tempPath();
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QString();
    return QDir(path).absolutePath();
}

QString logFolder(QString* why)
{
    // The temporary folder only when it is the user's alone: in a shared
    // one (/tmp) whoever comes first would own "mahjong.log" and its lock.
    const QString temporary = temporaryFolder();
    if (PrivateFolder::isPrivate(temporary))
        return temporary;
    return PrivateFolder::own(why);
}

QString logFilePath()
{
    const QString folder = logFolder();
    return folder.isEmpty() ? QString() : QDir(folder).absoluteFilePath(QStringLiteral("mahjong.log"));
}

void openLogFile()
{
    QMutexLocker locker(&logMutex);
    delete logFile;
    logFile = nullptr;
    logLock.reset();
    // Every failure below leaves the program without a log, said once on
    // standard error.
    const auto noLog = [](const QString& why) {
        std::fprintf(stderr, "No log file: %s\n", why.toLocal8Bit().constData());
        std::fflush(stderr);
    };
    QString why;
    const QString folder = logFolder(&why);
    if (folder.isEmpty())
        return noLog(QStringLiteral("no folder of this user's own (%1)").arg(why));
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("mahjong.log"));
    // Clients with other runtime folders do not see each other's instance
    // lock but may share this folder: the log has a lock of its own, and a
    // client that cannot take it leaves the running client's log alone.
    auto lock = std::make_unique<RunLockFile>(path + QStringLiteral(".lock"));
    switch (lock->tryLock()) {
    case RunLockFile::Taken:
        break;
    case RunLockFile::HeldElsewhere:
        return noLog(QStringLiteral("%1 is written by another running client").arg(path));
    case RunLockFile::Failed:
        return noLog(QStringLiteral("%1 cannot be locked (%2)").arg(path, lock->errorString()));
    }
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        const QString old = path + QStringLiteral(".old");
        QFile::remove(old);
        // A log that cannot be kept goes: the new one must start.
        if (!QFile::rename(path, old))
            QFile::remove(path);
    }
    // A fresh file, readable by its user only; whatever still stands at the
    // path (a folder, a link) is never written through.
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return noLog(QStringLiteral("%1: %2").arg(path, file->errorString()));
    logFile = file.release();
    logLock = std::move(lock);
    logFull = false;
}

void closeLogFile()
{
    QMutexLocker locker(&logMutex);
    delete logFile;
    logFile = nullptr;
    logLock.reset();
}

void writeLog(const std::string& text)
{
    QMutexLocker locker(&logMutex);
    appendLocked(QByteArray::fromRawData(text.data(), qsizetype(text.size())), true);
}

std::unique_ptr<QMessageBox> criticalBox(const QString& title, const QString& text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, title, text, QMessageBox::Ok);
    // What went wrong often quotes the server or a file: shown as written.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void showBlockingCritical(const QString& title, const QString& text)
{
    if (!onGuiThread() || headlessPlatform()) {
        printCritical(title, text);
        return;
    }
    criticalBox(title, text)->exec();
}

void showWaitingBoxes()
{
    // One box at a time: a box's own event loop may bring this call again.
    static bool showing = false;
    if (showing || !onGuiThread())
        return;
    showing = true;
    for (;;) {
        {
            QMutexLocker locker(&boxMutex);
            if (waitingBoxes.isEmpty()) {
                shownBox.clear();
                boxesScheduled = false;
                break;
            }
            shownBox = waitingBoxes.takeFirst();
        }
        showBlockingCritical(MahjongApplication::tr("Error"), shownBox);
    }
    showing = false;
}

void fatal(const QString& text)
{
    QMessageLogger(QT_MESSAGELOG_FILE, QT_MESSAGELOG_LINE, QT_MESSAGELOG_FUNC, lcApp().categoryName())
        .fatal("%s", text.toUtf8().constData());
    std::abort(); // not reached: the handler aborts
}

void reportStartFailure(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (onGuiThread() && !headlessPlatform())
        criticalBox(title, text)->exec();
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    int level = 0;
    switch (type) {
    case QtDebugMsg:
        level = 0;
        break;
    case QtInfoMsg:
    case QtWarningMsg:
        level = 1;
        break;
    case QtCriticalMsg:
        level = 2;
        break;
    case QtFatalMsg:
        level = 3;
        break;
    }
    if (level < minLogLevel)
        return;
    if (logFilter != nullptr && !logFilter->match(msg).hasMatch())
        return;

    const bool own = isProgramMessage(context);
    const QString text = lineText(msg, own);
    const QByteArray line = formatLine(type, text, QTime::currentTime());

    if (type != QtFatalMsg) {
        {
            QMutexLocker locker(&logMutex);
            appendLocked(line, type == QtCriticalMsg);
        }
        if (type == QtCriticalMsg && own)
            queueBox(text);
        return;
    }

    QString boxText = text;
    {
        QMutexLocker locker(&logMutex);
        if (logFile != nullptr) {
            appendLocked(line, true);
            boxText = MahjongApplication::tr("%1\nPlease send the log file '%2' to ")
                          .arg(text, QFileInfo(*logFile).absoluteFilePath())
                + QLatin1String(supportAddress)
                + MahjongApplication::tr(" with a description of what happened.");
            logFile->close();
            delete logFile;
            logFile = nullptr;
        }
    }
    // A fatal message from another thread cannot show a box; the text still
    // reaches standard error before the process ends. A library's fatal
    // message ends the program too, but opens no box.
    if (own)
        showBlockingCritical(MahjongApplication::tr("Error"), boxText);
    else
        printCritical(MahjongApplication::tr("Error"), boxText);
    std::abort();
}

}

QDebug logInfo()
{
    return qWarning() << infoPrefix;
}

void writeLog(const std::string& text)
{
    Logging::writeLog(text);
}
