// The disk cache of tile sets: file names, which file is consulted, refusal
// and rewriting of truncated, foreign, older or mismatched files, and
// readers that never see a half-written file.
#include "TileCache.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TileTestSupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

using namespace TileTestSupport;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray serialised(const TileImages& set)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << set;
    return bytes;
}

} // namespace

class TestTileCache : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString svgBack, svgFace, pngBack, pngFace;

private Q_SLOTS:
    void initTestCase()
    {
        installSearchPaths();
        svgBack = writeSvgSheet(dir.filePath(QStringLiteral("back.svg")), backIds());
        svgFace = writeSvgSheet(dir.filePath(QStringLiteral("face.svg")), faceIds());
        pngBack = writePngSheet(dir.filePath(QStringLiteral("back.png")), 306, 204);
        pngFace = writePngSheet(dir.filePath(QStringLiteral("face.png")), 42 * 28, 42);
        QVERIFY(QDir::setCurrent(dir.path()));
    }

    void names()
    {
        const QString a = TileCache::fileName(svgBack, svgFace, 1.0);
        QVERIFY(QRegularExpression(QStringLiteral("^tileset_0x[0-9a-f]{8}\\.dat$")).match(a).hasMatch());
        QCOMPARE(TileCache::fileName(svgBack, svgFace, 1.0), a);
        const QSet<QString> names{a, TileCache::fileName(svgFace, svgBack, 1.0), TileCache::fileName(svgBack, svgFace, 1.03125),
                                  TileCache::fileName(pngBack, svgFace, 1.0)};
        QCOMPARE(names.size(), 4);
        QCOMPARE(TileCache::installedFile(svgBack, svgFace, 1.0), QStringLiteral("tilesets/") + a);
        QCOMPARE(TileCache::temporaryFile(svgBack, svgFace, 1.0), QDir::tempPath() + QLatin1Char('/') + a);
        // The name hashes the paths and the scale as little-endian stream bytes.
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << QStringLiteral("b") << QStringLiteral("f") << 2.0;
        QCOMPARE(TileCache::fileName(QStringLiteral("b"), QStringLiteral("f"), 2.0),
                 QStringLiteral("tileset_0x%1.dat").arg(quint32(qHash(bytes)), 8, 16, QLatin1Char('0')));
    }

    void temporaryCacheIsWrittenAndUsed()
    {
        const QString file = TileCache::temporaryFile(svgBack, svgFace, 1.0);
        std::unique_ptr<TileImages> first(TileGraphics::loadTileImages(svgBack, svgFace, 1.0));
        QVERIFY(QFileInfo::exists(file));
        // A valid file is used as it is: plant another set of the same scale.
        const TileImages other(pngBack, pngFace, TileGraphics::highlightPath(), 1.0);
        writeBytes(file, serialised(other));
        std::unique_ptr<TileImages> second(TileGraphics::loadTileImages(svgBack, svgFace, 1.0));
        QCOMPARE(second->size3D(0, TileImages::Declared), TileSize3D(28, 39, -1));
    }

    void badFilesAreRewritten_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("truncated") << 0;
        QTest::newRow("empty") << 1;
        QTest::newRow("foreign bytes") << 2;
        QTest::newRow("older version") << 3;
        QTest::newRow("trailing bytes") << 4;
        QTest::newRow("other scale inside") << 5;
    }

    void badFilesAreRewritten()
    {
        QFETCH(int, damage);
        const double scale = 1.25;
        const QString file = TileCache::temporaryFile(svgBack, svgFace, scale);
        std::unique_ptr<TileImages>(TileGraphics::loadTileImages(svgBack, svgFace, scale));
        const QByteArray good = fileBytes(file);
        QVERIFY(good.size() > 1000);
        QByteArray bad;
        switch (damage) {
        case 0: bad = good.left(good.size() / 2); break;
        case 1: break;
        case 2: bad = QByteArray(5000, '\x7f'); break;
        case 3: bad = good; bad[3] = 5; break;
        case 4: bad = good + QByteArray("x"); break;
        case 5: bad = serialised(TileImages(svgBack, svgFace, TileGraphics::highlightPath(), 2.0)); break;
        }
        writeBytes(file, bad);
        QBuffer buffer(&bad);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(!TileCache::read(buffer, scale));

        std::unique_ptr<TileImages> set(TileGraphics::loadTileImages(svgBack, svgFace, scale));
        QCOMPARE(set->scale(), scale);
        QCOMPARE(set->size3D(0, TileImages::Declared), TileSize3D(35, 43, 12));
        std::unique_ptr<TileImages> again(TileCache::readFile(file, scale));
        QVERIFY2(again, "the refused file was not rewritten");
    }

    void installedFileComesFirst()
    {
        const double scale = 1.5;
        QVERIFY(QDir::current().mkpath(QStringLiteral("tilesets")));
        const QString installed = TileCache::installedFile(pngBack, svgFace, scale);
        const QString temporary = TileCache::temporaryFile(pngBack, svgFace, scale);
        const TileImages planted(svgBack, svgFace, TileGraphics::highlightPath(), scale);
        writeBytes(installed, serialised(planted));
        std::unique_ptr<TileImages> set(TileGraphics::loadTileImages(pngBack, svgFace, scale));
        QCOMPARE(set->size3D(0, TileImages::Declared), planted.size3D(0, TileImages::Declared));
        QVERIFY(!QFileInfo::exists(temporary));

        // Older than a source: ignored and left alone; the temporary cache serves.
        const QByteArray before = fileBytes(installed);
        QFile old(installed);
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addYears(-5), QFileDevice::FileModificationTime));
        old.close();
        set.reset(TileGraphics::loadTileImages(pngBack, svgFace, scale));
        QCOMPARE(set->size3D(0, TileImages::Declared), TileSize3D(42, 58, -1));
        QVERIFY(QFileInfo::exists(temporary));
        QCOMPARE(fileBytes(installed), before);
    }

    void readersNeverSeeHalfWrittenFiles()
    {
        const QString file = dir.filePath(QStringLiteral("shared.dat"));
        const TileImages set(pngBack, pngFace, TileGraphics::highlightPath(), 0.5);
        std::atomic<bool> stop{false};
        std::atomic<int> written{0};
        auto writer = [&] {
            while (!stop)
                written += TileCache::writeFile(file, set) ? 1 : 0;
        };
        std::unique_ptr<QThread> a(QThread::create(writer)), b(QThread::create(writer));
        a->start();
        b->start();
        int reads = 0;
        QElapsedTimer clock;
        clock.start();
        while (reads < 30 && clock.elapsed() < 5000) {
            if (!QFileInfo::exists(file))
                continue;
            std::unique_ptr<TileImages> back(TileCache::readFile(file, 0.5));
            QVERIFY2(back, "a reader met a partly written file");
            ++reads;
        }
        stop = true;
        a->wait();
        b->wait();
        QVERIFY(written > 0);
        QVERIFY(reads > 0);
    }
};

QTEST_MAIN(TestTileCache)
#include "tst_tilecache.moc"
