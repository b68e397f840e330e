// The update dialog and the installer download against a real HTTP server on
// loopback: progress, errors, a required update, the trusted sources, no
// partial file left behind, and the installer started with "/DoDelete=Yes".

#include "DescriptionDocument.h"
#include "HostilePictures.h"
#include "HttpTestServer.h"
#include "MessageBoxWatcher.h"
#include "NewVersionDialog.h"
#include "PrivateFolder.h"
#include "ProcessMemory.h"
#include "SingleInstanceLock.h"
#include "TestCertificates.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
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
    return QDir::temp().entryList({QStringLiteral("*.run"), QStringLiteral("*.run*-download")}, QDir::Files);
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
    HttpTestServer* secure = nullptr; // HTTPS, its test CA trusted
    QTemporaryDir certificates;
    QUrl listUrl;

    QPushButton* button(NewVersionDialog& d, const char* name)
    {
        return d.findChild<QPushButton*>(QLatin1String(name));
    }

    NewVersionDialog* makeDialog(const QString& path, bool required)
    {
        const QString address = path.startsWith(QLatin1String("https:")) ? secure->base() + path.mid(6) : server->base() + path;
        auto* d = new NewVersionDialog(nullptr, QStringLiteral("Quellmark - 1.5.0"), QStringLiteral("<b>New!</b>"),
            QUrl(QString(address).replace(QLatin1String("{port}"), QString::number(server->serverPort()))), required);
        d->setVersionListUrl(listUrl);
        d->show();
        return d;
    }

private Q_SLOTS:
    void initTestCase()
    {
        server = new HttpTestServer;
        QVERIFY(server->isRunning());
        const QString tls = certificates.path();
        QVERIFY(TestCertificates::generate(tls));
        secure = new HttpTestServer(TestCertificates::serverCertificatePath(tls), TestCertificates::serverKeyPath(tls));
        QSslConfiguration trust = QSslConfiguration::defaultConfiguration();
        trust.addCaCertificates(QSslCertificate::fromPath(TestCertificates::caCertificatePath(tls)));
        QSslConfiguration::setDefaultConfiguration(trust);
        listUrl = QUrl(server->base() + QStringLiteral("/client/parlor7/client_versions.xml"));
        NewVersionDialog::exitProgram = &recordExit;
        NewVersionDialog::stallTimeoutMs = 1000;
        server->setFile(QStringLiteral("client/parlor7/maintenance.run"), "\n <!DOCTYPE html><p>Back soon</p>");
        server->setFile(QStringLiteral("client/parlor7/broken.run"), "\x7f" "ELF broken");
    }
    void cleanupTestCase() { delete server, delete secure; }
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

    void formAndLanguageChange_data()
    {
        QTest::addColumn<QString>("description"); // FIFO and PICTURE stand for their addresses
        QTest::addColumn<QString>("shown");       // the text, a picture as U+FFFC
        const auto repeated = [](const char* html, int n) { return QString::fromUtf8(html).repeated(n); };
        QTest::newRow("formatting, pictures and what it names")
            << QStringLiteral("<b>New!</b><img src=\"PICTURE\"><img src=\"PICTURE\"><img src=\"/dev/zero\">"
                              "<table background=\"FIFO\"><tr><td>x</td></tr></table><img src=FIFO>"
                              "<link rel=\"stylesheet\" href=\"/dev/zero\">")
            << QStringLiteral("New!\uFFFC\uFFFC\nx");
        QTest::newRow("a note") << QStringLiteral("<h1>Parlor&nbsp;7</h1><p>Fixes &amp; <i>more</i>:<br>one&#x1F004;"
                                                  "</p><ol><li>two<li>three</ol><script>x</script><a href=/>four</a>")
                                << QStringLiteral("Parlor 7\nFixes & more:\none\U0001F004\ntwo\nthree\nfour");
        QTest::newRow("tables nested") << repeated("<table><tr><td>", 3) + QStringLiteral("x") << QStringLiteral("x");
        QTest::newRow("line heights") << repeated("<p style=\"line-height:100000px\">x</p>", 3)
                                      << QStringLiteral("x\nx\nx");
        QTest::newRow("lists nested") << repeated("<ul><li>x", 6) << QStringLiteral("x\nx\nx\nx\nx\nx");
        QTest::newRow("formats at every letter") << repeated("<b>x</b>y", 100) << QStringLiteral("xy").repeated(100);
        QTest::newRow("formats at every letter, a break between") << QStringLiteral("<p>") + repeated("<b>x</b>y<br>", 40)
                                                                   << QStringLiteral("xy\n").repeated(40);
        QTest::newRow("head left open, empty svg") << QStringLiteral("<head><title>t</title><p>a <svg/>b <object/>c")
                                                   << QStringLiteral("a b c");
        QTest::newRow("marks stacked") << QStringLiteral("a") + QString(20, QChar(0x301))
                                       << QStringLiteral("a") + QString(8, QChar(0x301));
        QTest::newRow("long text") << QString(6000, QLatin1Char('x')) << QString(5000, QLatin1Char('x')) + QChar(0x2026);
    }
    void formAndLanguageChange()
    {
        // The description keeps a note's formatting and the pictures it holds,
        // rebuilt without tables, styles or deep lists, at a peak beside a
        // plain one's; of the files it names (a FIFO, which a reader opens
        // once a writer comes, and an endless device) none is opened.
        QFETCH(QString, description);
        QFETCH(QString, shown);
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
        const QString text = QString(description).replace(QLatin1String("PICTURE"), picture)
                                 .replace(QLatin1String("FIFO"), QString::fromUtf8(fifo));
        const processmemory::PeakGrowth peak;
        NewVersionDialog dialog(nullptr, QString(), text, QUrl(), false);
        dialog.show();
        auto* document = dynamic_cast<DescriptionDocument*>(dialog.findChild<QTextEdit*>()->document());
        QSignalSpy layouts(document->documentLayout(), &QAbstractTextDocumentLayout::update);
        QTRY_COMPARE(document->picturesDone(), int(shown.count(QChar::ObjectReplacementCharacter)));
        QTest::qWait(300);
        qInfo("description of %lld characters: peak +%lld kB, beside +%lld kB of a plain one", qint64(text.size()),
              peak.kb(), plainKb);
        QVERIFY(!opened);
        QVERIFY(peak.kb() < 150 * 1024);
        QCOMPARE(document->toPlainText(), shown);
        QCOMPARE(document->rootFrame()->childFrames().size(), 0);
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            QCOMPARE(block.blockFormat().lineHeight(), 0.0);
            QVERIFY(!block.textList() || block.textList()->format().indent() <= DescriptionDocument::maxListDepth);
            int fragments = 0;
            for (auto it = block.begin(); !it.atEnd(); ++it)
                ++fragments;
            QVERIFY(fragments <= 64);
        }
        if (shown.startsWith(QLatin1String("New!"))) {
            QVERIFY(document->toHtml().contains(QLatin1String("font-weight:700;\">New!")));
            QVERIFY(document->size().height() > 96); // laid out with its pictures, once when all are in
            QCOMPARE(layouts.size(), 1);
        }
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
        QTest::addColumn<QString>("box"); // its start, and after a "*" its end
        QTest::newRow("reason phrase of markup") << QStringLiteral("/status/503/why:<img src=zero>/parlor-setup.run")
                                                 << QStringLiteral("Download error|Download failed: 503 <img src=zero>");
        QTest::newRow("empty body") << QStringLiteral("/empty/parlor-setup.run")
                                    << QStringLiteral("Download error|Download failed: the file is empty.");
        const QString noLength = QStringLiteral(
            "Download error|Download failed: the server sent the installer without a stated length.");
        QTest::newRow("no length, body ends with the connection")
            << QStringLiteral("/nolength/client/parlor7/parlor-setup.run") << noLength;
        QTest::newRow("chunked body without its last chunk") << QStringLiteral("/chunkcut/client/parlor7/parlor-setup.run")
                                                             << QStringLiteral("Download error|Download failed: the file is shorter than announced.");
        QTest::newRow("no length, body never ends: refused at its headers") << QStringLiteral("/endless/x.run") << noLength;
        const QString failed = QStringLiteral("Download error|Download failed: the server ");
        QTest::newRow("web page answered 200") << QStringLiteral("/client/parlor7/maintenance.run") << failed + "sent a web page, not the installer.";
        QTest::newRow("server that never answers") << QStringLiteral("/hang/x.run") << failed + "stopped answering.";
        QTest::newRow("redirected in a loop") << QStringLiteral("/redirect/302/loop/x.run") << failed + "redirected the download more than 5 times.";
        QTest::newRow("redirected from https to http") << QStringLiteral("https:/redirect/301/http:{port}/client/parlor7/parlor-setup.run")
                                                       << failed + "redirected the download from a secure address to an insecure one.";
        QTest::newRow("past a file-size limit") << QStringLiteral("/client/parlor7/parlor-setup.run")
                                                << QStringLiteral("Download error|Unable to write file *: the disk is full or the file is too large.");
        QTest::newRow("installer that cannot start") << QStringLiteral("/client/parlor7/broken.run") << QStringLiteral("Install error|Couldn't start the installer!");
    }
    void incompleteInstallersAreNotRun()
    {
        QFETCH(QString, path);
        QFETCH(QString, box);
        server->setFile(QStringLiteral("client/parlor7/parlor-setup.run"), "#!/bin/sh\n" + QByteArray(5000, '#') + "\n");
        std::unique_ptr<NewVersionDialog> d(makeDialog(path, false));
        MessageBoxWatcher boxes;
        // The full disk the client meets past a file-size limit (it ignores SIGXFSZ).
        const rlimit bound{box.contains(QLatin1String("disk is full")) ? 4096 : RLIM_INFINITY, RLIM_INFINITY};
        const auto restore = qScopeGuard([] { const rlimit none{RLIM_INFINITY, RLIM_INFINITY}; ::setrlimit(RLIMIT_FSIZE, &none); });
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &bound);
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 1, 5000);
        QVERIFY2(boxes.seen[0].startsWith(box.section(QLatin1Char('*'), 0, 0))
                     && boxes.seen[0].endsWith(box.section(QLatin1Char('*'), 1)), qPrintable(boxes.seen[0]));
        QCOMPARE(boxes.markup, QStringList());
        QTRY_VERIFY_WITH_TIMEOUT(button(*d, "okButton")->isEnabled(), 5000);
        QCOMPARE(leftovers(), QStringList());
        QTRY_COMPARE(exitCode, box.startsWith(QLatin1String("Install error")) ? 0 : -1);
    }

    void unusableTemporaryFolder_data()
    {
        QTest::addColumn<bool>("plainFile");
        QTest::addColumn<int>("mode");
        // QDir::temp() of a folder that does not exist is the current folder,
        // and in one others may write the file may be swapped before it runs:
        // the installer goes to the user's own folder of the program. It comes
        // from a server that would pack it, had the request not asked for it as it is.
        QTest::newRow("missing folder") << false << 0;
        // A temporary "directory" that is a plain file: nothing can be made in
        // it (not even by root).
        QTest::newRow("plain file") << true << 0;
        QTest::newRow("folder others may write") << false << 0777;
    }
    void unusableTemporaryFolder()
    {
        QFETCH(bool, plainFile);
        QFETCH(int, mode);
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/gzip/client/parlor7/parlor-setup.run"), false));
        QTemporaryDir work;
        const QString savedCwd = QDir::currentPath();
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QString bad = work.filePath(plainFile ? QStringLiteral("plain-file") : QStringLiteral("gone"));
        if (plainFile) {
            QFile plain(bad);
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        QVERIFY(!mode || (QDir().mkdir(bad) && ::chmod(QFile::encodeName(bad).constData(), mode_t(mode)) == 0));
        QDir::setCurrent(work.path());
        qputenv("TMPDIR", bad.toUtf8());
        server->clearRequests();
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        qputenv("TMPDIR", oldTmp);
        QTRY_COMPARE_WITH_TIMEOUT(exitCode, 0, 5000);
        QDir::setCurrent(savedCwd);
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QFileInfo(bad).fileName()}.mid(0, plainFile || mode ? 1 : 0));
        QDir own(PrivateFolder::own()); // where it landed
        QVERIFY(own.remove(own.entryList({QStringLiteral("parlor-setup*.run")}).value(0)));
    }

    void cancelShowsNothingAndLeavesNoFile()
    {
        std::unique_ptr<NewVersionDialog> d(makeDialog(QStringLiteral("/hang/parlor-setup.run"), false));
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(leftovers().size(), 1); // the download is running
        auto* progress = d->findChild<QProgressDialog*>();
        QVERIFY(progress && progress->isVisible()); // before the server has answered
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
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

    void downloadStartsTheInstaller_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("its length stated") << QStringLiteral("/client/parlor7/parlor-setup.run");
        QTest::newRow("in chunks") << QStringLiteral("/chunked/client/parlor7/parlor-setup.run");
        QTest::newRow("after five redirects") << QStringLiteral("/redirect/307/4/client/parlor7/parlor-setup.run");
    }
    void downloadStartsTheInstaller()
    {
        QFETCH(QString, path);
        QTemporaryDir markerDir;
        const QString marker = markerDir.filePath(QStringLiteral("installer-ran"));
        server->setFile(QStringLiteral("client/parlor7/parlor-setup.run"),
            "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + marker.toUtf8() + "'\n");
        QVERIFY(SingleInstanceLock::instance().tryLock());

        std::unique_ptr<NewVersionDialog> d(makeDialog(path, true));
        auto* progress = d->findChild<QProgressDialog*>();
        QVERIFY(progress);
        ShowCounter progressShows;
        progress->installEventFilter(&progressShows);
        MessageBoxWatcher boxes;
        QTest::mouseClick(button(*d, "downloadButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(exitCode, 0, 5000);
        // The progress dialog was up from the click on, counted the
        // bytes of the installer, and is gone again.
        QCOMPARE(progressShows.shows, 1);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Client download"));
        QCOMPARE(progress->size(), QSize(280, 110));
        const qint64 size = QFileInfo(server->rootPath() + QStringLiteral("/client/parlor7/parlor-setup.run")).size();
        QCOMPARE(qint64(progress->maximum()), path.startsWith(QLatin1String("/chunked/")) ? 0 : size);
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
