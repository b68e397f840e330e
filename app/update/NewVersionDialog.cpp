#include "NewVersionDialog.h"

#include "DescriptionDocument.h"
#include "Logging.h"
#include "SingleInstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTextEdit>

#include <limits>

namespace {

void exitApplication(int code)
{
    QCoreApplication::exit(code);
}

/// An information box whose text is never read as markup: parts of it come
/// from the server (an address, an HTTP reason phrase, a network error).
void inform(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}

void (*NewVersionDialog::exitProgram)(int) = &exitApplication;

NewVersionDialog::NewVersionDialog(QWidget* parent, const QString& title, const QString& descriptionText,
    const QUrl& link_, bool required_)
    : QDialog(parent)
    , http(new QNetworkAccessManager(this))
    , progress(nullptr)
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
    // Shown when the server has answered 200, not after a delay of its own.
    progress->setMinimumDuration(std::numeric_limits<int>::max());
    progress->reset();
    progress->hide();
    connect(progress, &QProgressDialog::canceled, this, &NewVersionDialog::cancel);
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

    const QString folder = Logging::temporaryFolder();
    if (folder.isEmpty()) {
        // QDir::temp() would be the current folder: name the missing one, and
        // let the file system say what is wrong with it.
        const QString missing = QDir::cleanPath(QDir(qEnvironmentVariable("TMPDIR")).absolutePath());
        QFile probe(QDir(missing).filePath(fileNameTemplate(link)));
        probe.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        inform(this, tr("Download error"),
            tr("Unable to open file %1: %2.").arg(probe.fileName(), probe.errorString()));
        probe.remove();
        return;
    }
    file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(fileNameTemplate(link)));
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

    incomplete = true;
    aborted = false;
    writeFailed = false;
    received = 0;
    okButton->setEnabled(false);
    downloadButton->setEnabled(false);
    quitButton->setEnabled(false);

    qDebug().noquote() << "downloading client from " << link.toString();
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    reply = http->get(request);
    connect(reply, &QNetworkReply::metaDataChanged, this, &NewVersionDialog::headersComplete);
    connect(reply, &QNetworkReply::readyRead, this, &NewVersionDialog::writeData);
    connect(reply, &QNetworkReply::downloadProgress, this, &NewVersionDialog::dataRead);
    connect(reply, &QNetworkReply::finished, this, &NewVersionDialog::requestFinished);
}

void NewVersionDialog::headersComplete()
{
    if (!reply || aborted)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    if (status.toInt() != 200) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        qDebug().noquote() << "client download failed:" << status.toInt() << reason;
        aborted = true;
        // Aborting from inside the reply's own header signal upsets it: on return.
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
        inform(this, tr("Download error"),
            tr("Download failed: %1 %2").arg(status.toInt()).arg(reason));
        return;
    }
    progress->show();
}

void NewVersionDialog::writeData()
{
    if (!reply || aborted || !file)
        return;
    const QByteArray data = reply->readAll();
    received += data.size();
    if (file->write(data) != data.size()) {
        writeFailed = true;
        writeError = file->errorString();
        aborted = true;
        reply->abort();
    }
}

void NewVersionDialog::dataRead(qint64 done, qint64 total)
{
    if (!reply || reply->error() != QNetworkReply::NoError || aborted)
        return;
    // The progress dialog counts in int; large downloads are shown in KiB.
    const bool scale = total > std::numeric_limits<int>::max();
    progress->setMaximum(int(total < 0 ? 0 : (scale ? total / 1024 : total)));
    progress->setValue(int(scale ? done / 1024 : done));
}

void NewVersionDialog::cancel()
{
    if (reply) {
        aborted = true;
        reply->abort();
    }
    progress->hide();
}

void NewVersionDialog::requestFinished()
{
    QNetworkReply* done = qobject_cast<QNetworkReply*>(sender());
    if (!done || done != reply)
        return;
    reply = nullptr;
    done->deleteLater();

    progress->hide();
    okButton->setEnabled(!required);
    downloadButton->setEnabled(true);
    quitButton->setEnabled(true);

    const bool failed = aborted || done->error() != QNetworkReply::NoError
        || done->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200;
    if (!failed && file)
        writeData(); // whatever arrived with the end of the reply
    const QString cutOff = failed || writeFailed || !file ? QString() : incompleteReason(*done);
    if (!cutOff.isEmpty()) {
        qDebug().noquote() << "client download failed:" << cutOff;
        incomplete = true;
        dropFile();
        inform(this, tr("Download error"), tr("Download failed: %1.").arg(cutOff));
        return;
    }
    if (failed || writeFailed || !file || !file->flush()) {
        // A failed download never leaves a partial installer on the disk.
        incomplete = true;
        const QString path = file ? file->fileName() : QString();
        const QString fileError = file ? file->errorString() : QString();
        dropFile();
        if (writeFailed || (!failed && !path.isEmpty())) {
            inform(this, tr("Download error"),
                tr("Unable to write file %1: %2.").arg(path, writeFailed ? writeError : fileError));
        } else if (!aborted) {
            inform(this, tr("Download error"),
                tr("Download failed: %1.").arg(done->errorString()));
        }
        return;
    }

    incomplete = false;
    const QString path = QFileInfo(file->fileName()).absoluteFilePath();
    file->close();
    file.reset();

    if (installAfterDownload)
        startInstaller(path);
}

QString NewVersionDialog::incompleteReason(QNetworkReply& done) const
{
    if (received == 0)
        return tr("the file is empty");
    // Only a stated length shows that everything arrived. A body whose end is
    // the closed connection may have been cut off anywhere, and so may a
    // chunked one: when the connection closes between two chunks, the network
    // layer may report the body as complete without its last chunk.
    const QVariant length = done.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid())
        return length.toLongLong() == received ? QString() : tr("the file is shorter than announced");
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
    if (!QProcess::startDetached(program, arguments)) {
        QMessageBox::critical(this, tr("Install error"), tr("Couldn't start the installer!"), QMessageBox::Ok);
    }
    exitProgram(0);
}
