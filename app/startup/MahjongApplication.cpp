#include "MahjongApplication.h"

#include "Logging.h"
#include "PictureFile.h"
#include "ResourceFile.h"
#include "Utils.h"

#include <server_error.h>

#include <QAbstractButton>
#include <QBuffer>
#include <QComboBox>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLockFile>
#include <QPalette>
#include <QSaveFile>
#include <QMainWindow>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QWidget>

#include <exception>
#include <memory>

MahjongApplication::MahjongApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    installEventFilter(this);

    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(128, 128, 128, 0)));
    setPalette(pal);
}

MahjongApplication::~MahjongApplication() = default;

bool MahjongApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const server_error& e) {
        const QString text = tr("Invalid server data.\nRefused with message: %1").arg(QString::fromStdString(e.what()));
        Logging::fatal(text);
    } catch (const std::exception& e) {
        const QString text = tr("Unhandled Runtime Error.\nError text: %1").arg(QString::fromStdString(e.what()));
        Logging::fatal(text);
    } catch (...) {
        const QString text = tr("Unhandled Runtime Error.");
        Logging::fatal(text);
    }
    return false;
}

bool MahjongApplication::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show && !firstWindowShown && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->isWindow()) {
        // Marks the end of the start-up in the debug log (tools/measure-startup.sh).
        firstWindowShown = true;
        qDebug() << "first window shown:" << watched->metaObject()->className();
    }
    if (type == QEvent::Show && !mainWindowShown && qobject_cast<QMainWindow*>(watched) != nullptr) {
        // The window the user works in is up (tools/measure-startup.sh).
        mainWindowShown = true;
        qDebug() << "main window shown:" << watched->metaObject()->className();
    }
    if (type == QEvent::HoverEnter || type == QEvent::HoverLeave) {
        const bool hoverStyled = qobject_cast<QAbstractButton*>(watched) != nullptr
            || qobject_cast<QScrollBar*>(watched) != nullptr || qobject_cast<QTabBar*>(watched) != nullptr
            || qobject_cast<QComboBox*>(watched) != nullptr || qobject_cast<QHeaderView*>(watched) != nullptr;
        if (!hoverStyled)
            return true;
    }
    return QApplication::eventFilter(watched, event);
}

namespace {

/// The most picture files of folders on the search path that the style
/// sheets may name; those past it are left out.
constexpr int maxCopiedPictures = 128;

/// The lock each run holds in its folder of copies for as long as it runs.
const QString copiesOwnerLock = QStringLiteral("owner.lock");

/// Removes the folders of copies of runs that ended without removing them
/// (a killed client leaves its "parlor-style-" folder): those whose owner's
/// lock can be taken, its process gone. A folder without a lock belongs to
/// a run that is just making it, unless it is older than a minute.
void removeLeftoverCopies(const QString& place)
{
    const QFileInfoList folders = QDir(place).entryInfoList({QStringLiteral("parlor-style-*")},
                                                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    const QDateTime aMinuteAgo = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& folder : folders) {
        const QString lockPath = QDir(folder.filePath()).filePath(copiesOwnerLock);
        if (QFileInfo::exists(lockPath)) {
            QLockFile lock(lockPath);
            // Only a gone owner makes a lock stale: a run holds its own for hours.
            lock.setStaleLockTime(0);
            if (!lock.tryLock(0))
                continue;
            lock.unlock();
        } else if (folder.lastModified().toUTC() > aMinuteAgo) {
            continue;
        }
        QDir(folder.filePath()).removeRecursively();
    }
}

/// The folder of this run's copies with the lock its run holds in it to
/// its end, a killed run leaving both behind.
struct CopiesFolder
{
    std::unique_ptr<QTemporaryDir> dir;
    /// Given up at exit before the folder goes with its files.
    std::unique_ptr<QLockFile> owner;
};

/// This run's folder of copies, made at its first use; null without one.
QTemporaryDir* copiesFolder()
{
    static const CopiesFolder folder = [] {
        CopiesFolder made;
        const QString place = Logging::logFolder();
        if (place.isEmpty())
            return made;
        made.dir = std::make_unique<QTemporaryDir>(place + QStringLiteral("/parlor-style-XXXXXX"));
        if (!made.dir->isValid())
            return made;
        made.owner = std::make_unique<QLockFile>(made.dir->filePath(copiesOwnerLock));
        made.owner->setStaleLockTime(0);
        if (!made.owner->tryLock(0))
            made.owner.reset();
        return made;
    }();
    return folder.owner ? folder.dir.get() : nullptr;
}

/// Writes the picture as a PNG file whole, or not at all: a file cut short
/// (a full disk) would reach the style engine as no picture.
bool savedWhole(const QImage& image, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return false;
    // Unbuffered: a write cut short by a full disk is seen in its count,
    // which a buffered file's flush passes over. Not committed, the partial
    // file goes.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size()
        && file.commit();
}

/// What the style engine is to read for a picture file. It reads a file by
/// its path with Qt's image plugins, which choose by the file's content, so
/// a picture of a folder on the search path goes to it as a PNG copy of
/// what the picture decoder made of it, in a folder of this process inside
/// the log's folder, where no one else may write or rename anything; empty
/// when the decoder refuses it or its copy cannot be written whole. The
/// compiled trees are the program's own bytes and are named as they are.
QString pictureForStyle(const QString& file)
{
    if (file.isEmpty() || file.startsWith(QLatin1Char(':')))
        return file;
    QTemporaryDir* const folder = copiesFolder();
    static QHash<QString, QString> copies;
    const QFileInfo info(file);
    const QString key =
        QStringLiteral("%1:%2:%3").arg(file).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    if (const auto copy = copies.constFind(key); copy != copies.constEnd())
        return *copy;
    const bool hasFolder = folder != nullptr;
    if (copies.size() >= maxCopiedPictures || !hasFolder) {
        qWarning().noquote() << "style picture" << file << "left out:"
                             << (hasFolder ? "more pictures than the style sheets may name" : "no folder for its copy");
        return QString();
    }
    // A refusal is kept too: each file costs one decode at most.
    const QImage image = PictureFile::image(file);
    QString copy = folder->filePath(QString::number(copies.size()) + QStringLiteral(".png"));
    if (image.isNull() || !savedWhole(image, copy)) {
        if (!image.isNull())
            qWarning().noquote() << "style picture" << file << "left out: its copy could not be written";
        copy.clear();
    }
    copies.insert(key, copy);
    return copy;
}

/// The style sheet with the name in every "url(...)" replaced by the picture
/// it stands for (pictureForStyle() of its regular file), or by nothing: the
/// style engine would open whatever stands at the name itself, a FIFO too.
/// A picture left out (refused, or its copy not written on a full disk)
/// gives way to the program's own: a check box without its picture would
/// show neither box nor mark. One pass over the text, however it is written.
QString withPictureFiles(const QString& sheet)
{
    static const QString opening = QStringLiteral("url(");
    QString out;
    qsizetype done = 0;
    for (qsizetype at = sheet.indexOf(opening, 0, Qt::CaseInsensitive); at >= 0;
         at = sheet.indexOf(opening, done, Qt::CaseInsensitive)) {
        qsizetype from = at + opening.size();
        while (from < sheet.size() && sheet.at(from).isSpace())
            ++from;
        const QChar quote = from < sheet.size() ? sheet.at(from) : QChar();
        const bool quoted = quote == QLatin1Char('"') || quote == QLatin1Char('\'');
        const qsizetype end = quoted ? sheet.indexOf(quote, from + 1) : sheet.indexOf(QLatin1Char(')'), from);
        const qsizetype close = end < 0 ? -1 : sheet.indexOf(QLatin1Char(')'), end);
        if (close < 0)
            break;
        const QString name = quoted ? sheet.mid(from + 1, end - from - 1) : sheet.mid(from, end - from).trimmed();
        QString file = pictureForStyle(ResourceFile::path(name));
        if (file.isEmpty())
            file = ResourceFile::ownPath(name);
        file.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        out += QStringView(sheet).mid(done, at - done);
        out += QLatin1String("url(\"") + file + QLatin1String("\")");
        done = close + 1;
    }
    out += QStringView(sheet).mid(done);
    return out;
}

} // namespace

void MahjongApplication::removeLeftoverStyleCopies()
{
    if (const QString place = Logging::logFolder(); !place.isEmpty())
        removeLeftoverCopies(place);
}

QString MahjongApplication::styleSheetText()
{
    return withPictureFiles(readTextFile(QStringLiteral("resources:/defaultui.css"))
                            + readTextFile(QStringLiteral("resources:/customui.css")));
}

void MahjongApplication::loadStyleSheet()
{
    setStyleSheet(QString());
    setStyleSheet(styleSheetText());
}
