#include "NewVersionDialog.h"

#include "DescriptionDocument.h"
#include "InstallerFetch.h"
#include "Logging.h"
#include "SingleInstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTextEdit>
#include <QTimer>

#include <cerrno>
#include <limits>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

void exitApplication(int code)
{
    QCoreApplication::exit(code);
}

/// A box whose text is never read as markup: parts of it come from the
/// server (an address, an HTTP reason phrase, a network error). It is opened
/// without an event loop of its own, so that nothing that happens while it
/// is up (the download's end, the program's) runs inside the dialog's slot.
QMessageBox* showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->open();
    return box;
}

void inform(QWidget* parent, const QString& title, const QString& text)
{
    showBox(parent, QMessageBox::Information, title, text);
}

/// Whether `path` still names the file that was written through `file`: the
/// program started is the one downloaded, whatever happened to the name.
bool namesFileWritten(const QFile& file, const QString& path)
{
#if defined(Q_OS_UNIX)
    struct stat written {};
    struct stat named {};
    return ::fstat(file.handle(), &written) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
        && S_ISREG(named.st_mode) && written.st_dev == named.st_dev && written.st_ino == named.st_ino;
#else
    return QFileInfo(path).isFile();
#endif
}

/// Whether the first bytes of a body are those of a web page (a server's
/// error or maintenance page answered with 200): no installer begins with
/// markup.
bool startsLikePage(const QByteArray& head)
{
    qsizetype i = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < head.size() && QChar::isSpace(uchar(head.at(i))))
        ++i;
    return i < head.size() && head.at(i) == '<';
}

}

void (*NewVersionDialog::exitProgram)(int) = &exitApplication;
int NewVersionDialog::stallTimeoutMs = 30000;

NewVersionDialog::NewVersionDialog(QWidget* parent, const QString& title, const QString& descriptionText,
    const QUrl& link_, bool required_)
    : QDialog(parent)
    , progress(nullptr)
    , stall(new QTimer(this))
    , link(link_)
    , required(required_)
{
    setObjectName(QStringLiteral("NewVersionDialog"));
    setFixedSize(600, 356);

    description = new QTextEdit(this);
    description->setObjectName(QStringLiteral("description"));
    description->setGeometry(20, 39, 560, 212);
    description->setReadOnly(true);

    downloadButton = new QPushButton(this);
    downloadButton->setObjectName(QStringLiteral("downloadButton"));
    downloadButton->setGeometry(140, 265, 300, 32);

    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(180, 310, 231, 29);
    auto* hboxLayout = new QHBoxLayout(widget);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(25);
    hboxLayout->setContentsMargins(0, 0, 0, 0);
    quitButton = new QPushButton(widget);
    quitButton->setObjectName(QStringLiteral("quitButton"));
    quitButton->setAutoDefault(false);
    hboxLayout->addWidget(quitButton);
    okButton = new QPushButton(widget);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAutoDefault(false);
    hboxLayout->addWidget(okButton);
    retranslateUi();

    // The server's text keeps the formatting a note needs, built anew
    // through the rich-text gate before any layout sees it.
    description->setDocument(new DescriptionDocument(descriptionText, description));
    setWindowTitle(title);
    if (required)
        okButton->setEnabled(false);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(downloadButton, &QPushButton::clicked, this, &NewVersionDialog::downloadClicked);

    progress = new QProgressDialog(this);
    progress->setObjectName(QStringLiteral("progressDialog"));
    progress->setFixedSize(280, 110);
    // Shown from the click on, so that its Cancel is there while the server
    // has not answered yet; never by a delay of its own.
    progress->setMinimumDuration(std::numeric_limits<int>::max());
    progress->setWindowModality(Qt::WindowModal);
    progress->reset();
    progress->hide();
    connect(progress, &QProgressDialog::canceled, this, &NewVersionDialog::cancel);

    stall->setSingleShot(true);
    connect(stall, &QTimer::timeout, this, &NewVersionDialog::stalled);
}

NewVersionDialog::~NewVersionDialog()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
    dropFile();
}

void NewVersionDialog::retranslateUi()
{
    setWindowTitle(tr("New version available"));
    downloadButton->setText(tr("Click here to download new version!"));
    quitButton->setText(tr("Quit"));
    okButton->setText(tr("Continue"));
}

void NewVersionDialog::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(e);
}

bool NewVersionDialog::isTrustedSource(const QUrl& link, const QUrl& versionListUrl)
{
    if (link.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0)
        return true;
    return !link.host().isEmpty() && versionListUrl.isValid()
        && link.host().compare(versionListUrl.host(), Qt::CaseInsensitive) == 0;
}

QString NewVersionDialog::fileNameTemplate(const QUrl& link)
{
    const QStringList segments = link.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    // An address without any file name still gets a recognisable one.
    const QString name = segments.isEmpty() ? QStringLiteral("client-setup") : segments.last();
    const QStringList parts = name.split(QLatin1Char('.'));
    return parts.first() + QStringLiteral("XXXXXX.") + parts.last();
}

void NewVersionDialog::removeUnfinishedDownloads()
{
    const QString folder = Logging::logFolder();
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QLatin1String("*") + QLatin1String(unfinishedSuffix)}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        qDebug().noquote() << "removing the unfinished download" << name;
        QFile::remove(dir.filePath(name));
    }
}

void NewVersionDialog::dropFile()
{
    if (!file)
        return;
    file->close();
    if (incomplete)
        file->remove();
    file.reset();
}

void NewVersionDialog::downloadClicked()
{
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS) && !defined(Q_OS_LINUX)
    return;
#endif
    if (!isTrustedSource(link, versionListUrl)) {
        qWarning().noquote() << "refusing client download from untrusted address" << link.toString();
        inform(this, tr("Download error"),
            tr("The new version is offered at %1, which is neither a secure address nor the update server. "
               "It was not downloaded.")
                .arg(link.toString()));
        return;
    }

    installAfterDownload = true;
    dropFile();

    // The installer is run as the user: it is written where no one else
    // may write, the log's folder (the temporary folder only when it is the
    // user's alone, else the program's own folder of the user).
    QString why;
    const QString folder = Logging::logFolder(&why);
    if (folder.isEmpty()) {
        inform(this, tr("Download error"),
            tr("Unable to open file %1: %2.").arg(fileNameTemplate(link), why));
        return;
    }
    file = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(fileNameTemplate(link) + QLatin1String(unfinishedSuffix)));
    file->setAutoRemove(false);
    if (!file->open()) {
        // A file that could not be made has no name yet: name where it was to be.
        const QString path = file->fileName().isEmpty() ? file->fileTemplate() : file->fileName();
        inform(this, tr("Download error"),
            tr("Unable to open file %1: %2.").arg(path, file->errorString()));
        file.reset();
        return;
    }
    qDebug().noquote() << "client downloaded to" << file->fileName();

    QUrl target = link;
    const bool https = link.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    target.setScheme(https ? QStringLiteral("https") : QStringLiteral("http"));
    if (target.port() == -1)
        target.setPort(https ? 443 : 80);
    target.setQuery(QString());
    target.setFragment(QString());

    progress->setMaximum(0);
    progress->setValue(0);
    progress->setWindowTitle(tr("Client download"));
    progress->show();

    incomplete = true;
    aborted = false;
    failedToWrite = false;
    received = 0;
    okButton->setEnabled(false);
    downloadButton->setEnabled(false);
    quitButton->setEnabled(false);

    qDebug().noquote() << "downloading client from " << link.toString();
    // The installer as it is, read as the server framed it: only so does
    // its end show that it arrived whole.
    reply = new InstallerFetch(target, this);
    stall->start(stallTimeoutMs);
    connect(reply, &InstallerFetch::headersRead, this, &NewVersionDialog::headersComplete);
    connect(reply, &InstallerFetch::readyRead, this, &NewVersionDialog::writeData);
    connect(reply, &InstallerFetch::progress, this, &NewVersionDialog::dataRead);
    connect(reply, &InstallerFetch::finished, this, &NewVersionDialog::requestFinished);
    reply->start();
}

void NewVersionDialog::headersComplete()
{
    if (!reply || aborted)
        return;
    const int status = reply->status();
    if (status != 200) {
        const QString reason = reply->reasonPhrase();
        qDebug().noquote() << "client download failed:" << status << reason;
        refuse(tr("Download failed: %1 %2").arg(status).arg(reason));
        return;
    }
    // What cannot be checked is refused before its bytes are waited for: a
    // body shows that it arrived whole by its stated length or its last chunk.
    const QByteArray encoding = reply->header("content-encoding");
    QString reason;
    if (!encoding.isEmpty() && encoding.compare("identity", Qt::CaseInsensitive) != 0)
        reason = tr("the server sent the installer packed as %1").arg(QString::fromLatin1(encoding));
    else if (reply->statedLength() < 0 && !reply->isChunked())
        reason = tr("the server sent the installer without a stated length");
    if (!reason.isEmpty()) {
        qDebug().noquote() << "client download failed:" << reason;
        refuse(tr("Download failed: %1.").arg(reason));
    }
}

void NewVersionDialog::refuse(const QString& text)
{
    aborted = true;
    stall->stop();
    // On return: the refusal may come from inside the fetch's own signals.
    QMetaObject::invokeMethod(reply, &InstallerFetch::abort, Qt::QueuedConnection);
    inform(this, tr("Download error"), text);
}

void NewVersionDialog::stalled()
{
    if (!reply || aborted)
        return;
    qDebug().noquote() << "client download failed: nothing arrived for" << stallTimeoutMs << "ms";
    refuse(tr("Download failed: the server stopped answering."));
}

void NewVersionDialog::writeData()
{
    if (!reply || aborted || !file)
        return;
    const QByteArray data = reply->readAll();
    if (data.isEmpty())
        return;
    stall->start(stallTimeoutMs);
    if (received == 0 && startsLikePage(data)) {
        qDebug().noquote() << "client download failed: a web page";
        refuse(tr("Download failed: %1.").arg(tr("the server sent a web page, not the installer")));
        return;
    }
    received += data.size();
    errno = 0;
    if (file->write(data) != data.size() || !file->flush())
        writeFailed(errno);
}

void NewVersionDialog::writeFailed(int code)
{
    // Past a file-size limit or on a full disk a write is cut short without
    // an error of its own to say so.
    writeError = code == 0 || code == ENOSPC || code == EFBIG
#if defined(EDQUOT)
            || code == EDQUOT
#endif
        ? tr("the disk is full or the file is too large")
        : file->errorString();
    failedToWrite = true;
    aborted = true;
    stall->stop();
    if (reply)
        reply->abort();
}

void NewVersionDialog::dataRead(qint64 done, qint64 total)
{
    if (!reply || aborted)
        return;
    // The progress dialog counts in int; large downloads are shown in KiB.
    const bool scale = total > std::numeric_limits<int>::max();
    progress->setMaximum(int(total < 0 ? 0 : (scale ? total / 1024 : total)));
    progress->setValue(int(scale ? done / 1024 : done));
}

void NewVersionDialog::cancel()
{
    stall->stop();
    if (reply) {
        aborted = true;
        reply->abort();
    }
    progress->hide();
}

void NewVersionDialog::requestFinished()
{
    auto* done = qobject_cast<InstallerFetch*>(sender());
    if (!done || done != reply)
        return;
    reply = nullptr;
    done->deleteLater();
    stall->stop();

    progress->hide();
    okButton->setEnabled(!required);
    downloadButton->setEnabled(true);
    quitButton->setEnabled(true);

    const bool failed = aborted || !done->errorString().isEmpty() || done->status() != 200;
    if (!failed && file)
        writeData(); // whatever arrived with the end of the reply
    const QString cutOff = failed || failedToWrite || !file ? QString() : incompleteReason(*done);
    if (!cutOff.isEmpty()) {
        qDebug().noquote() << "client download failed:" << cutOff;
        incomplete = true;
        dropFile();
        inform(this, tr("Download error"), tr("Download failed: %1.").arg(cutOff));
        return;
    }
    errno = 0;
    if (!failed && !failedToWrite && file && !file->flush())
        writeFailed(errno);
    if (failed || failedToWrite || !file) {
        // A failed download never leaves a partial installer on the disk.
        incomplete = true;
        const QString path = file ? file->fileName() : QString();
        dropFile();
        if (failedToWrite) {
            inform(this, tr("Download error"), tr("Unable to write file %1: %2.").arg(path, writeError));
        } else if (!aborted) {
            inform(this, tr("Download error"),
                tr("Download failed: %1.")
                    .arg(done->cutShort() ? tr("the file is shorter than announced") : done->errorString()));
        }
        return;
    }

    // The whole installer takes its own name (the file stays the same one).
    const QString unfinished = QFileInfo(file->fileName()).absoluteFilePath();
    const QString path = unfinished.chopped(qsizetype(sizeof unfinishedSuffix) - 1);
    if (!QFile::rename(unfinished, path) || !namesFileWritten(*file, path)) {
        qWarning().noquote() << "the downloaded installer" << path << "was replaced; not started";
        incomplete = true;
        file->close();
        file.reset();
        inform(this, tr("Download error"), tr("Download failed: %1.").arg(tr("the file was changed on the disk")));
        return;
    }
    incomplete = false;
    file->close();
    file.reset();

    if (installAfterDownload)
        startInstaller(path);
}

QString NewVersionDialog::incompleteReason(InstallerFetch& done) const
{
    if (received == 0)
        return tr("the file is empty");
    // Only a stated length or a last chunk shows that everything arrived; a
    // body whose end is the closed connection may have been cut off anywhere.
    if (done.isChunked())
        return QString();
    if (done.statedLength() >= 0)
        return done.statedLength() == received ? QString() : tr("the file is shorter than announced");
    return tr("the server sent the installer without a stated length");
}

void NewVersionDialog::startInstaller(const QString& path)
{
    QString program;
    QStringList arguments;
#if defined(Q_OS_MACOS)
    program = QStringLiteral("hdiutil");
    arguments << QStringLiteral("attach") << QStringLiteral("-autoopen") << path;
#else
    // The installer is a program of its own; on Linux it must be made executable.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    program = path;
    arguments << QStringLiteral("/DoDelete=Yes");
#endif

    SingleInstanceLock::instance().unlock();
    if (QProcess::startDetached(program, arguments)) {
        exitProgram(0);
        return;
    }
    // A file that did not start is of no use to anyone: it goes.
    QFile::remove(path);
    QMessageBox* box = showBox(this, QMessageBox::Critical, tr("Install error"), tr("Couldn't start the installer!"));
    connect(box, &QDialog::finished, this, [] { exitProgram(0); });
}
