// The advertisement image, fetched from a real HTTP server on loopback.

#include "ProcessMemory.h"
#include "AdFetcher.h"
#include "HostilePictures.h"
#include "HttpTestServer.h"
#include "LogCapture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QTcpServer>
#include <QThreadPool>
#include <QTest>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const QString adPath = QStringLiteral("client/parlor7/advertisement/1.png");

using processmemory::statusKb;

}

class TestAdFetcher : public QObject
{
    Q_OBJECT

    HttpTestServer* server = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        server = new HttpTestServer;
        QVERIFY(server->isRunning());
        server->setFile(adPath, hostilepictures::plainPicture(QSize(330, 200), Qt::red));
    }
    void cleanupTestCase() { delete server; }

    void showsTheImage()
    {
        AdFetcher ad(nullptr);
        QCOMPARE(ad.imageFormat(), QByteArray("JPG"));
        const QString url = server->base() + QLatin1Char('/') + adPath;
        ad.setUrl(url);
        server->clearRequests();
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000);
        QCOMPARE(ad.pixmap().size(), QSize(330, 200));
        QCOMPARE(ad.imageFormat(), QByteArray("PNG"));
        // The request target is the absolute address.
        QCOMPARE(server->requests(), QStringList{QStringLiteral("GET ") + url + QStringLiteral(" HTTP/1.1")});

        // A label that goes while its picture is decoded gives the decode up:
        // the end of the program, which waits for worker threads, does not
        // wait for it.
        server->setFile(QStringLiteral("large.png"), hostilepictures::plainPicture(QSize(4096, 4096)));
        auto* large = new AdFetcher(nullptr);
        large->setUrl(server->base() + QStringLiteral("/type/image/png/large.png"));
        LogCapture capture;
        large->start();
        QVERIFY(QTest::qWaitFor([] { return QThreadPool::globalInstance()->activeThreadCount() > 0; }, 10000));
        delete large;
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(capture.linesStartingWith(QtWarningMsg, QStringLiteral("advertisement picture left out")),
                 QStringList{QStringLiteral("advertisement picture left out: no longer wanted")});
    }

    void contentTypeWithoutSubtype()
    {
        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QStringLiteral("/type/image/-/") + adPath);
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000); // decoded without a hint
        QCOMPARE(ad.imageFormat(), QByteArray());
    }

    void contentTypeParametersAreNotPartOfTheFormat()
    {
        // "image/png;name=a~b" arrives as "image/png;name=a/b": the type is "image/png".
        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QStringLiteral("/type/image/png;name=a~b/") + adPath);
        LogCapture capture;
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000);
        QCOMPARE(ad.imageFormat(), QByteArray("PNG"));
        QCOMPARE(capture.linesStartingWith(QtDebugMsg, QStringLiteral("strange content type:")), QStringList());
    }

    void strangeContentTypeKeepsTheFormat()
    {
        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QStringLiteral("/type/image/png~x/") + adPath);
        LogCapture capture;
        QSignalSpy failed(&ad, &AdFetcher::downloadFailed);
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!capture.linesStartingWith(QtDebugMsg, QStringLiteral("strange content type:")).isEmpty(), 5000);
        QCOMPARE(capture.linesStartingWith(QtDebugMsg, QStringLiteral("strange content type:")),
            QStringList{QStringLiteral("strange content type: image/png/x")});
        QCOMPARE(ad.imageFormat(), QByteArray("JPG"));
        QTest::qWait(100);
        QCOMPARE(failed.size(), 0);
    }

    void errorPageClearsTheLabel()
    {
        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QLatin1Char('/') + adPath);
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000);

        QSignalSpy failed(&ad, &AdFetcher::downloadFailed);
        LogCapture capture;
        ad.setUrl(server->base() + QStringLiteral("/client/parlor7/advertisement/2.png"));
        ad.start(); // fetched anew: the server has no such image
        QTRY_VERIFY_WITH_TIMEOUT(ad.pixmap().isNull(), 5000);
        // Decoded all the same: not a picture of a known format.
        QCOMPARE(capture.lines(QtWarningMsg),
            (QStringList{QStringLiteral("not an image! (according to the content type): text/html"),
                         QStringLiteral("advertisement picture left out: not a picture of a known format")}));
        QTest::qWait(100);
        QCOMPARE(failed.size(), 0);
    }

    void transportErrorKeepsTheImage()
    {
        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QLatin1Char('/') + adPath);
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000);

        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString closed = QStringLiteral("http://127.0.0.1:%1/client/parlor7/advertisement/1.png").arg(probe.serverPort());
        probe.close();
        QSignalSpy failed(&ad, &AdFetcher::downloadFailed);
        LogCapture capture;
        ad.setUrl(closed);
        ad.start();
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.size(), 1);
        QVERIFY(!ad.pixmap().isNull());
        QCOMPARE(capture.lines(QtWarningMsg), QStringList{QStringLiteral("download of ") + closed + QStringLiteral(" failed")});
    }

    void hostileBodiesAreCut_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("failed");   // downloadFailed(), the label keeps its image
        QTest::addColumn<bool>("endless");  // the server reports how much it sent

        // Not an image, and no end to it: cut at the limit all the same.
        QTest::newRow("endless page") << QStringLiteral("/endless/1.png") << true << true;
        // An image that never ends: cut at the limit.
        QTest::newRow("endless image") << QStringLiteral("/endless/1.png?type=image/png") << true << true;
        // An announced length beyond the limit: refused before the body.
        QTest::newRow("announced 10 GB") << QStringLiteral("/huge/1.png?type=image/png") << true << false;
        // A whole file, properly announced, one byte too long.
        QTest::newRow("file over the limit") << QStringLiteral("/type/image/png/big.png") << true << false;
    }

    void hostileBodiesAreCut()
    {
        QFETCH(QString, path);
        QFETCH(bool, failed);
        QFETCH(bool, endless);
        server->setFile(QStringLiteral("big.png"), QByteArray(AdFetcher::maxImageSize + 1, 'x'));

        AdFetcher ad(nullptr);
        ad.setUrl(server->base() + QLatin1Char('/') + adPath);
        ad.start();
        QTRY_VERIFY_WITH_TIMEOUT(!ad.pixmap().isNull(), 5000);
        const QSize shown = ad.pixmap().size();

        server->clearRequests();
        QSignalSpy failures(&ad, &AdFetcher::downloadFailed);
        ad.setUrl(server->base() + path);
        const qint64 rssBefore = statusKb("VmRSS");
        qint64 peakGrowth = 0;
        QElapsedTimer timer;
        timer.start();
        ad.start();
        // Ends well within the time the huge answer keeps its connection open,
        // and without the client's memory growing on the way.
        const auto ended = [&] { return failed ? !failures.isEmpty() : ad.pixmap().isNull(); };
        while (!ended() && timer.elapsed() < 10000) {
            QTest::qWait(20);
            peakGrowth = std::max(peakGrowth, statusKb("VmRSS") - rssBefore);
            if (peakGrowth > 256 * 1024)
                QFAIL(qPrintable(QStringLiteral("memory grew by %1 MB").arg(peakGrowth / 1024)));
        }
        qInfo("%s: ended after %lld ms, memory grew by at most %lld kB (peak of the process %lld kB)",
              QTest::currentDataTag(), timer.elapsed(), peakGrowth, statusKb("VmHWM"));
        QVERIFY2(ended(), "the download did not end");
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(peakGrowth < 64 * 1024);
        if (failed) {
            QCOMPARE(failures.size(), 1);
            QCOMPARE(ad.pixmap().size(), shown);
        } else {
            QCOMPARE(failures.size(), 0);
        }
        if (endless) {
            // The client stopped reading: the server's writes failed soon.
            QTRY_VERIFY_WITH_TIMEOUT(!server->endlessBodiesSent().isEmpty(), 5000);
            QVERIFY2(server->endlessBodiesSent().constFirst() < 64 * 1024 * 1024,
                     qPrintable(QString::number(server->endlessBodiesSent().constFirst())));
        }
    }

    void picturesAreDecodedWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QSize>("shown");

        using namespace hostilepictures;
        QTest::newRow("picture called text") << plainPicture(QSize(330, 200)) << "text/plain" << QSize(330, 200);
        QTest::newRow("text chunk bomb") << pngWithChunks(plainPicture(QSize(96, 96)), 500) << "image/png" << QSize(96, 96);
        QTest::newRow("image data bomb") << pngWithDataBeyond(QSize(96, 96), 3000) << "image/png" << QSize(0, 0);
        // Scaled down to its place, the window as wide as before.
        QTest::newRow("2000 x 1600") << plainPicture(QSize(2000, 1600)) << "image/png" << QSize(250, 200);
    }

    void picturesAreDecodedWithinBounds()
    {
        QFETCH(QByteArray, picture);
        QFETCH(QString, type);
        QFETCH(QSize, shown);
        server->setFile(QStringLiteral("ad.png"), picture);
        QWidget window;
        auto* ad = new AdFetcher(&window);
        ad->setMinimumSize(330, 200);
        (new QVBoxLayout(&window))->addWidget(ad);
        window.show();
        const QSize windowHint = window.sizeHint();
        ad->setPixmap(QPixmap(10, 10));
        ad->setUrl(server->base() + QStringLiteral("/type/") + type + QStringLiteral("/ad.png"));
        const processmemory::PeakGrowth peak;
        ad->start();
        QTRY_VERIFY_WITH_TIMEOUT(ad->pixmap().size() != QSize(10, 10), 5000);
        const qint64 peakGrowth = peak.kb();
        qInfo("%s: %lld bytes, peak memory grew by %lld kB", QTest::currentDataTag(), qint64(picture.size()), peakGrowth);
        QCOMPARE(ad->pixmap().size(), shown);
        QCOMPARE(window.sizeHint(), windowHint);
        QVERIFY(peakGrowth < 64 * 1024);
    }

    void emptyAddressIsAProgrammingError()
    {
        AdFetcher ad(nullptr);
        try {
            ad.start();
            QFAIL("no exception");
        } catch (const std::logic_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("can't start with empty URL"));
        }
    }

    void invalidAddressIsLogged()
    {
        AdFetcher ad(nullptr);
        LogCapture capture;
        ad.setUrl(QStringLiteral("http://[::1"));
        QCOMPARE(capture.lines(QtWarningMsg), QStringList{QStringLiteral("invalid URL: http://[::1")});

        // Tried all the same: it gets no answer, which is a failed download
        // that leaves the label as it was.
        ad.setPixmap(QPixmap(10, 10));
        QSignalSpy failed(&ad, &AdFetcher::downloadFailed);
        ad.start();
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(ad.pixmap().size(), QSize(10, 10));
        QCOMPARE(capture.linesStartingWith(QtWarningMsg, QStringLiteral("download of ")).size(), 1);
    }
};

QTEST_MAIN(TestAdFetcher)
#include "tst_adfetcher.moc"
