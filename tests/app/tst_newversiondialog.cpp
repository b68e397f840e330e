// The update dialog and the installer download against a real HTTP server on
// loopback: progress, errors, a required update, the trusted sources, no
// partial file left behind, and the installer started with "/DoDelete=Yes".

#include "HostilePictures.h"
#include "HttpTestServer.h"
#include "MessageBoxWatcher.h"
#include "NewVersionDialog.h"
#include "ProcessMemory.h"
#include "SingleInstanceLock.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int exitCode = -1;
void recordExit(int code)
{
    exitCode = code;
}

QStringList leftovers()
{
    return QDir::temp().entryList({QStringLiteral("parlor-setup*")}, QDir::Files);
}

/// Counts how often a widget is shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

}

class TestNewVersionDialog : public QObject
{
    Q_OBJECT

    HttpTestServer* server = nullptr;
    QUrl listUrl;

    QPushButton* button(NewVersionDialog& d, const char* name)
    {
        return d.findChild<QPushButton*>(QLatin1String(name));
    }

    NewVersionDialog* makeDialog(const QString& path, bool required)
    {
        auto* d = new NewVersionDialog(nullptr, QStringLiteral("Quellmark - 1.5.0"), QStringLiteral("<b>New!</b>"),
            QUrl(server->base() + path), required);
        d->setVersionListUrl(listUrl);
        d->show();
        return d;
    }

private Q_SLOTS:
    void initTestCase()
    {
        server = new HttpTestServer;
        QVERIFY(server->isRunning());
        listUrl = QUrl(server->base() + QStringLiteral("/client/parlor7/client_versions.xml"));
        NewVersionDialog::exitProgram = &recordExit;
    }
    void cleanupTestCase() { delete server; }
    void init() { exitCode = -1; }

    void fileNames()
    {
        QCOMPARE(NewVersionDialog::fileNameTemplate(QUrl(QStringLiteral("http://h/d/client-setup.exe"))),
            QStringLiteral("client-setupXXXXXX.exe"));
        QCOMPARE(NewVersionDialog::fileNameTemplate(QUrl(QStringLiteral("http://h/d/a.b.c.exe"))),
            QStringLiteral("aXXXXXX.exe"));
        QCOMPARE(NewVersionDialog::fileNameTemplate(QUrl(QStringLiteral("http://h/d/setup/"))),
            QStringLiteral("setupXXXXXX.setup"));
    }

    void trustedSources()
    {
        const QUrl list(QStringLiteral("http://www.parlor7.test/client/parlor7/client_versions.xml"));
        QVERIFY(NewVersionDialog::isTrustedSource(QUrl(QStringLiteral("HTTPS://cdn.elsewhere.test/s.exe")), list));
        QVERIFY(NewVersionDialog::isTrustedSource(QUrl(QStringLiteral("http://WWW.parlor7.test:8080/s.exe")), list));
        QVERIFY(!NewVersionDialog::isTrustedSource(QUrl(QStringLiteral("http://cdn.elsewhere.test/s.exe")), list));
        QVERIFY(!NewVersionDialog::isTrustedSource(QUrl(QStringLiteral("http://cdn.elsewhere.test/s.exe")), QUrl()));
    }

    void formAndLanguageChange()
    {
        // The description keeps its formatting and the pictures it holds, at
        // a peak beside a plain one's; of the files it names (a FIFO, which a
        // reader opens once a writer comes, and an endless device) none is opened.
        const processmemory::PeakGrowth plainPeak;
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/x.run"), false));
        QTest::qWait(300);
        const qint64 plainKb = plainPeak.kb();
        QTemporaryDir dir;
        const QByteArray fifo = dir.filePath(QStringLiteral("fifo")).toUtf8();
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> opened = false, done = false;
        std::thread writer([&] {
            for (int fd; !done; std::this_thread::sleep_for(std::chrono::milliseconds(1)))
                if ((fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK)) >= 0 && ::close(fd) == 0)
                    opened = true;
        });
        const auto stopWriter = qScopeGuard([&] { done = true; writer.join(); });
        const QString picture = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(
            hostilepictures::pngWithChunks(hostilepictures::plainPicture(QSize(96, 96)), 100).toBase64());
        const QString text = QStringLiteral("<b>New!</b><img src=\"%1\"><img src=\"%2\"><img src=\"/dev/zero\">"
                                            "<table background=\"%2\"><tr><td>x</td></tr></table>"
                                            "<link rel=\"stylesheet\" href=\"/dev/zero\">").arg(picture, QString::fromUtf8(fifo));
        const processmemory::PeakGrowth peak;
        NewVersionDialog shown(nullptr, QString(), text, QUrl(), false);
        shown.show();
        QTextDocument* document = shown.findChild<QTextEdit*>()->document();
        QTRY_COMPARE(document->resource(QTextDocument::ImageResource, QUrl(picture)).value<QPixmap>().size(),
                     QSize(96, 96));
        QTest::qWait(300);
        qInfo("description of %lld characters: peak +%lld kB, beside +%lld kB of a plain one", qint64(text.size()),
              peak.kb(), plainKb);
        QVERIFY(!opened);
        QVERIFY(peak.kb() < 150 * 1024);
        QVERIFY(document->toHtml().contains(QLatin1String("font-weight:700;\">New!")));
        QCOMPARE(d->windowTitle(), QStringLiteral("Quellmark - 1.5.0"));
        QCOMPARE(d->size(), QSize(600, 356));
        QCOMPARE(button(*d, "downloadButton")->text(), QStringLiteral("Click here to download new version!"));
        QVERIFY(button(*d, "okButton")->isEnabled());
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(d.get(), &change);
        QCOMPARE(d->windowTitle(), QStringLiteral("New version available"));
        // Continue accepts, Quit rejects.
        QTest::mouseClick(button(*d, "okButton"), Qt::LeftButton);
        QCOMPARE(d->result(), int(QDialog::Accepted));
    }

    void notFoundShowsOneBoxAndLeavesNoFile()
    {
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/client/parlor7/parlor-setup.run"), true));
        QVERIFY(!button(*d, "okButton")->isEnabled());
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QVERIFY(!button(*d, "quitButton")->isEnabled());
        QVERIFY(!button(*d, "okButton")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(button(*d, "quitButton")->isEnabled(), 5000);
        QTest::qWait(200);
        QCOMPARE(boxes.seen, QStringList{QStringLiteral("Download error|Download failed: 404 Not Found")});
        QVERIFY(!button(*d, "okButton")->isEnabled()); // required: still no way on with this version
        QVERIFY(button(*d, "downloadButton")->isEnabled());
        QCOMPARE(leftovers(), QStringList());
        QCOMPARE(exitCode, -1);
    }

    void brokenTransferLeavesNoFile()
    {
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/drop/parlor-setup.run"), false));
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!boxes.seen.isEmpty(), 5000);
        QTest::qWait(100);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen[0].startsWith(QLatin1String("Download error|Download failed: ")), qPrintable(boxes.seen[0]));
        QVERIFY(boxes.seen[0].endsWith(QLatin1Char('.')));
        QVERIFY(button(*d, "okButton")->isEnabled()); // not required: Continue is back
        QCOMPARE(leftovers(), QStringList());
    }

    void incompleteInstallersAreNotRun_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("box");
        QTest::newRow("reason phrase of markup") << QStringLiteral("/status/503/why:<img src=zero>/parlor-setup.run")
                                                 << QStringLiteral("Download error|Download failed: 503 <img src=zero>");
        QTest::newRow("empty body") << QStringLiteral("/empty/parlor-setup.run")
                                    << QStringLiteral("Download error|Download failed: the file is empty.");
        const QString noLength = QStringLiteral(
            "Download error|Download failed: the server sent the installer without a stated length.");
        QTest::newRow("no length, body ends with the connection")
            << QStringLiteral("/nolength/client/parlor7/parlor-setup.run") << noLength;
        // The network layer mostly fails a chunked body cut between two chunks,
        // but now and then reports it complete; so neither kind of chunked body
        // shows that the installer arrived whole.
        QTest::newRow("chunked body without its last chunk")
            << QStringLiteral("/chunkcut/client/parlor7/parlor-setup.run") << QStringLiteral("Download error|Download failed: ");
        QTest::newRow("complete chunked body") << QStringLiteral("/chunked/client/parlor7/parlor-setup.run") << noLength;
    }
    void incompleteInstallersAreNotRun()
    {
        QFETCH(QString, path);
        QFETCH(QString, box);
        server->setFile(QStringLiteral("client/parlor7/parlor-setup.run"), "#!/bin/sh\n" + QByteArray(5000, '#') + "\n");
        std::unique_ptr<NewVersionDialog> d(makeDialog(path, false));
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 5000);
        QVERIFY2(boxes.seen[0].startsWith(box), qPrintable(boxes.seen[0]));
        QCOMPARE(boxes.markup, QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(button(*d, "okButton")->isEnabled(), 5000);
        QCOMPARE(leftovers(), QStringList());
        QCOMPARE(exitCode, -1);
    }

    void unusableTemporaryFolder_data()
    {
        QTest::addColumn<bool>("plainFile");
        // QDir::temp() of a folder that does not exist is the current folder:
        // nothing may be downloaded there.
        QTest::newRow("missing folder") << false;
        // A temporary "directory" that is a plain file: nothing can be made in
        // it (not even by root).
        QTest::newRow("plain file") << true;
    }
    void unusableTemporaryFolder()
    {
        QFETCH(bool, plainFile);
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/client/parlor7/parlor-setup.run"), false));
        QTemporaryDir work;
        const QString savedCwd = QDir::currentPath();
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QString bad = work.filePath(plainFile ? QStringLiteral("plain-file") : QStringLiteral("gone"));
        if (plainFile) {
            QFile plain(bad);
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        QDir::setCurrent(work.path());
        qputenv("TMPDIR", bad.toUtf8());
        server->clearRequests();
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        qputenv("TMPDIR", oldTmp);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 5000);
        QDir::setCurrent(savedCwd);
        QVERIFY2(boxes.seen[0].startsWith(QStringLiteral("Download error|Unable to open file ") + bad + QLatin1Char('/')),
            qPrintable(boxes.seen[0]));
        QVERIFY(boxes.seen[0].endsWith(QLatin1Char('.')));
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            plainFile ? QStringList{QStringLiteral("plain-file")} : QStringList());
        // Nothing started; every button as it was.
        QVERIFY(button(*d, "downloadButton")->isEnabled());
        QVERIFY(button(*d, "quitButton")->isEnabled());
        QVERIFY(button(*d, "okButton")->isEnabled());
        QTest::qWait(100);
        QCOMPARE(server->requests(), QStringList());
        QCOMPARE(exitCode, -1);
    }

    void cancelShowsNothingAndLeavesNoFile()
    {
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/hang/parlor-setup.run"), false));
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(leftovers().size(), 1); // the download is running
        auto* progress = d->findChild<QProgressDialog*>();
        QVERIFY(progress);
        Q_EMIT progress->canceled(); // its Cancel button
        QTRY_VERIFY_WITH_TIMEOUT(button(*d, "okButton")->isEnabled(), 5000);
        QTest::qWait(100);
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(leftovers(), QStringList());
    }

    void untrustedAddressIsNotDownloaded()
    {
        auto* d = new NewVersionDialog(nullptr, QStringLiteral("Quellmark - 1.5.0"), QString(),
            QUrl(QStringLiteral("http://localhost:%1/parlor-setup.run").arg(server->serverPort())), false);
        d->setVersionListUrl(listUrl);
        std::unique_ptr<NewVersionDialog> owner(d);
        server->clearRequests();
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 5000);
        QVERIFY(boxes.seen[0].startsWith(QLatin1String("Download error|")));
        QTest::qWait(100);
        QCOMPARE(server->requests(), QStringList());
        QCOMPARE(leftovers(), QStringList());
        QCOMPARE(exitCode, -1);
    }

    void downloadStartsTheInstaller()
    {
        QTemporaryDir markerDir;
        const QString marker = markerDir.filePath(QStringLiteral("installer-ran"));
        server->setFile(QStringLiteral("client/parlor7/parlor-setup.run"),
            "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + marker.toUtf8() + "'\n");
        QVERIFY(SingleInstanceLock::instance().tryLock());

        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/client/parlor7/parlor-setup.run"), true));
        auto* progress = d->findChild<QProgressDialog*>();
        QVERIFY(progress);
        ShowCounter progressShows;
        progress->installEventFilter(&progressShows);
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(exitCode, 0, 5000);
        // The progress dialog was up once the server answered 200, counted the
        // bytes of the installer, and is gone again.
        QCOMPARE(progressShows.shows, 1);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Client download"));
        QCOMPARE(progress->size(), QSize(280, 110));
        QCOMPARE(qint64(progress->maximum()), QFileInfo(server->rootPath() + QStringLiteral("/client/parlor7/parlor-setup.run")).size());
        QVERIFY(!progress->isVisible());
        QVERIFY(!button(*d, "okButton")->isEnabled()); // required, also after a download
        QVERIFY(!SingleInstanceLock::instance().isLocked()); // released for the installer
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
        const auto markerText = [&] {
            QFile f(marker);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(markerText(), QStringLiteral("1\n/DoDelete=Yes\n"), 5000);
        QCOMPARE(boxes.seen, QStringList());
        // The installer's file stays where it was downloaded to.
        const QStringList files = leftovers();
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^parlor-setup......\\.run$")).match(files[0]).hasMatch());
        d.reset();
        QCOMPARE(leftovers().size(), 1);
        QFile::remove(QDir::temp().filePath(files[0]));
    }
};

QTEST_MAIN(TestNewVersionDialog)
#include "tst_newversiondialog.moc"
