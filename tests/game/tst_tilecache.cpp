// The disk cache of tile sets: file names, which file is consulted, refusal
// and rewriting of truncated, foreign, older or mismatched files, hostile
// things at the cache's path (a FIFO, a link, another user's file, pictures
// far larger than the set's scale), the cache folder's rights, and readers
// that never see a half-written file.
#include "HostilePictures.h"
#include "ProcessMemory.h"
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
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

using processmemory::statusKb;

/// A stream that starts like a set of `scale` and whose first pictures are
/// `count` copies of a valid, transparent `side` x `side` PNG, each with
/// `textChunks` compressed text chunks of nearly 8 MB once inflated.
QByteArray oversizedSet(double scale, int side, int count, int textChunks = 0)
{
    const QByteArray png =
        hostilepictures::pngWithChunks(hostilepictures::plainPicture(QSize(side, side), Qt::transparent), textChunks);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << TileImages::streamVersion << TileImages::baseProportion << TileImages::handProportion << scale;
    for (int i = 0; i < count; ++i) {
        out << qint32(1);
        out.writeRawData(png.constData(), int(png.size()));
        out << qint32(28) << qint32(35) << qint32(10) << QRectF(0, 0, side, side);
    }
    return bytes;
}

bool isRegularFileOfMine(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

/// Another user than the one running the test (the tests run as root).
constexpr uid_t otherUser = 65534;

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
        QCOMPARE(TileCache::installedFile(svgBack, svgFace, 1.0),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/tilesets/") + a);
        QCOMPARE(TileCache::temporaryFile(svgBack, svgFace, 1.0),
                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/tilesets/") + a);
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

        // Old files (one a killed writer's) far over the bound, then 100 window sizes with the set of
        // scale 1 read in between as at every start: the least recently used go first.
        for (const char* name : {"tileset_0x0000000a.dat", "tileset_0x0000000b.dat", "tileset_0x0000000c.dat.XyZ123"}) {
            QFile old(TileCache::cacheDirectory() + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.resize(TileCache::maxCacheBytes / 2)
                    && old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        }
        for (int step = 0; step < 100; ++step) {
            std::unique_ptr<TileImages>(TileGraphics::loadTileImages(svgBack, svgFace, 0.25 + step / 32.0));
            std::unique_ptr<TileImages>(TileGraphics::loadTileImages(svgBack, svgFace, 1.0));
            qint64 bytes = 0;
            const QFileInfoList kept = QDir(TileCache::cacheDirectory()).entryInfoList(QDir::Files | QDir::Hidden);
            for (const QFileInfo& info : kept)
                bytes += info.size();
            QVERIFY(kept.size() <= TileCache::maxCachedFiles && bytes <= TileCache::maxCacheBytes);
        }
        // The set read at every start was never removed and rendered again.
        const std::unique_ptr<TileImages> base(TileCache::readFile(file, 1.0));
        QVERIFY(base && base->size3D(0, TileImages::Declared) == TileSize3D(28, 39, -1));
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

    void filesInTheCurrentFolderAreNeverRead()
    {
        // What the install switch leaves under the current folder, or anyone
        // who chose the folder the client starts in, is not taken.
        const double scale = 1.5;
        QVERIFY(QDir::current().mkpath(QStringLiteral("tilesets")));
        const QString installed = QStringLiteral("tilesets/") + TileCache::fileName(pngBack, svgFace, scale);
        const TileImages planted(svgBack, svgFace, TileGraphics::highlightPath(), scale);
        writeBytes(installed, serialised(planted));
        const QByteArray before = fileBytes(installed);
        std::unique_ptr<TileImages> set(TileGraphics::loadTileImages(pngBack, svgFace, scale));
        QCOMPARE(set->size3D(0, TileImages::Declared), TileSize3D(42, 58, -1));
        QVERIFY(QFileInfo::exists(TileCache::temporaryFile(pngBack, svgFace, scale)));
        QCOMPARE(fileBytes(installed), before);
    }

    void hostileThingsAtTheCachePath_data()
    {
        QTest::addColumn<QString>("thing");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("another user's set") << QStringLiteral("foreign");
        QTest::newRow("link to a file of the user") << QStringLiteral("link");
        QTest::newRow("link to a fifo") << QStringLiteral("link to fifo");
        QTest::newRow("dangling link") << QStringLiteral("dangling link");
        QTest::newRow("oversized pictures") << QStringLiteral("oversized");
        QTest::newRow("pictures with text chunks") << QStringLiteral("text chunks");
    }

    void hostileThingsAtTheCachePath()
    {
        QFETCH(QString, thing);
        const double scale = 0.75;
        QVERIFY(TileCache::prepareCacheDirectory());
        const QString file = TileCache::temporaryFile(svgBack, svgFace, scale);
        QFile::remove(file);
        const QByteArray native = QFile::encodeName(file);
        const QString precious = dir.filePath(QStringLiteral("precious.txt"));
        writeBytes(precious, "the user's own words");
        const QString fifo = dir.filePath(QStringLiteral("cache.fifo"));
        QFile::remove(fifo);
        // A set of other sheets: taking it would show in the sizes.
        const TileImages other(pngBack, pngFace, TileGraphics::highlightPath(), scale);

        if (thing == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (thing == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("only root can give a file to another user");
            writeBytes(file, serialised(other));
            QCOMPARE(::chown(native.constData(), otherUser, otherUser), 0);
        } else if (thing == QLatin1String("link")) {
            writeBytes(precious, serialised(other));
            QVERIFY(QFile::link(precious, file));
        } else if (thing == QLatin1String("link to fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            QVERIFY(QFile::link(fifo, file));
        } else if (thing == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nothing-here")), file));
        } else if (thing == QLatin1String("oversized")) {
            // Forty transparent pictures of 3000 x 3000 pixels: a few hundred
            // kilobytes on disk, 1.4 GB once decoded.
            writeBytes(file, oversizedSet(scale, 3000, 40));
        } else {
            // Pictures of the set's size with 30 text chunks each, 460 kB in
            // all: 2.3 GB once inflated and kept as the pictures' text.
            const QByteArray bytes = oversizedSet(scale, TileImages::maxPictureSide(scale), 2, 30);
            QVERIFY(bytes.size() < TileCache::maxFileSize(scale));
            writeBytes(file, bytes);
        }
        const QByteArray preciousBefore = fileBytes(precious);

        // Loaded on a thread of its own, so that a reader stuck in open()
        // fails the test instead of hanging it.
        const qint64 peakBefore = statusKb("VmHWM");
        std::unique_ptr<TileImages> set;
        std::unique_ptr<QThread> loader(
            QThread::create([&] { set.reset(TileGraphics::loadTileImages(svgBack, svgFace, scale)); }));
        QElapsedTimer clock;
        clock.start();
        loader->start();
        const bool finished = loader->wait(15000);
        if (!finished) {
            // Lets a reader blocked on a FIFO go before failing.
            for (const QString& f : {file, fifo}) {
                const int fd = ::open(QFile::encodeName(f).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
            loader->wait();
        }
        const qint64 peakGrowth = statusKb("VmHWM") - peakBefore;
        qInfo("%s: loaded in %lld ms, peak memory grew by %lld kB", QTest::currentDataTag(), clock.elapsed(),
              peakGrowth);
        QVERIFY2(finished, "the cache reader was stuck");
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY2(peakGrowth < 200 * 1024, qPrintable(QString::number(peakGrowth)));

        // The set is the genuine one, and the cache now holds it in a regular
        // file of the user; nothing a link pointed to was touched.
        QVERIFY(set);
        QCOMPARE(set->size3D(0, TileImages::Declared), TileSize3D(21, 26, 7));
        QVERIFY(isRegularFileOfMine(file));
        std::unique_ptr<TileImages> again(TileCache::readFile(file, scale));
        QVERIFY2(again, "the cache was not rewritten");
        QCOMPARE(fileBytes(precious), preciousBefore);
        if (thing == QLatin1String("link to fifo")) {
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
            QVERIFY(S_ISFIFO(st.st_mode));
        }
    }

    void oversizedPictureIsRefusedBeforeDecoding()
    {
        // Refused at the first picture that does not fit, with the picture
        // itself not read: the stream stands right after its marker.
        const double scale = 1.0;
        QByteArray bytes = oversizedSet(scale, TileImages::maxPictureSide(scale) + 1, 2);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QDataStream in(&buffer);
        try {
            TileImages set(in, scale);
            QFAIL("an oversized picture was accepted");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Picture larger than its set"));
        }
        QCOMPARE(buffer.pos(), qint64(4 + 3 * 8 + 4));

        // A stored scale other than the one asked for is refused before any picture.
        QVERIFY(buffer.seek(0));
        try {
            TileImages set(in, 0.5);
            QFAIL("another scale was accepted");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("Other scale"));
        }
        QCOMPARE(buffer.pos(), qint64(4 + 3 * 8));
    }

    void realSetsAreTakenBackAtEveryScale_data()
    {
        QTest::addColumn<int>("blank");
        QTest::addColumn<int>("face");
        QTest::addColumn<double>("scale");
        QTest::newRow("bamboo numbered small") << 0 << 0 << 0.25;
        QTest::newRow("dark wood rustic") << 4 << 3 << 1.0;
        QTest::newRow("green svg mixed large") << 3 << 1 << 2.5;
        QTest::newRow("red without numbers largest") << 2 << 2 << TileImages::maxStoredScale;
    }

    void realSetsAreTakenBackAtEveryScale()
    {
        // The limits on sizes never refuse a set this program wrote itself.
        QFETCH(int, blank);
        QFETCH(int, face);
        QFETCH(double, scale);
        const TileImages set(TileGraphics::blankPath(blank), TileGraphics::facePath(face),
                             TileGraphics::highlightPath(), scale);
        QByteArray bytes = serialised(set);
        QVERIFY(bytes.size() <= TileCache::maxFileSize(scale));
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        std::unique_ptr<TileImages> back(TileCache::read(buffer, scale));
        QVERIFY(back);
        QCOMPARE(back->element(TileImages::Left, TileImages::WallTriple), set.element(TileImages::Left, TileImages::WallTriple));
    }

    void cacheFolderIsTheUsersOwn_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("used");
        QTest::newRow("missing") << QStringLiteral("missing") << true;
        QTest::newRow("open to everyone") << QStringLiteral("0777") << true;
        QTest::newRow("another user's") << QStringLiteral("foreign") << false;
        QTest::newRow("a link to a folder") << QStringLiteral("link") << false;
        QTest::newRow("a file") << QStringLiteral("file") << false;
        // Whoever makes the shared temporary folder's "tilesets" first has no
        // say over anyone else's cache.
        QTest::newRow("another user's folder in the temporary folder") << QStringLiteral("shared") << true;
    }

    void cacheFolderIsTheUsersOwn()
    {
        QFETCH(QString, state);
        QFETCH(bool, used);
        const QString folder = TileCache::cacheDirectory();
        const QByteArray native = QFile::encodeName(folder);
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QDir(elsewhere).removeRecursively();
        QVERIFY(QDir().mkpath(elsewhere));
        if (state == QLatin1String("0777")) {
            QCOMPARE(::mkdir(native.constData(), 0777), 0);
            QCOMPARE(::chmod(native.constData(), 0777), 0);
        } else if (state == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QCOMPARE(::mkdir(native.constData(), 0777), 0);
            QCOMPARE(::chmod(native.constData(), 0777), 0);
            QCOMPARE(::chown(native.constData(), otherUser, otherUser), 0);
        } else if (state == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, folder));
        } else if (state == QLatin1String("file")) {
            writeBytes(folder, "x");
        } else if (state == QLatin1String("shared")) {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            const QByteArray shared = QFile::encodeName(QDir::tempPath() + QStringLiteral("/tilesets"));
            QVERIFY(::mkdir(shared.constData(), 0755) == 0 || errno == EEXIST);
            QCOMPARE(::chown(shared.constData(), otherUser, otherUser), 0);
        }

        const double scale = 0.5;
        std::unique_ptr<TileImages> set(TileGraphics::loadTileImages(pngBack, svgFace, scale));
        QVERIFY(set);
        QCOMPARE(QFileInfo::exists(TileCache::temporaryFile(pngBack, svgFace, scale)), used);
        QCOMPARE(QDir(elsewhere).isEmpty(), true);
        if (used) {
            struct stat st;
            QCOMPARE(::lstat(native.constData(), &st), 0);
            QVERIFY(S_ISDIR(st.st_mode));
            QCOMPARE(int(st.st_mode & 0777), 0700);
        }
        QFile::remove(folder);
        QDir(folder).removeRecursively();
    }

    void installedSetsBesideTheProgram_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("used");
        QTest::newRow("the user's") << QStringLiteral("plain") << true;
        QTest::newRow("a file others may change") << QStringLiteral("file 0666") << false;
        QTest::newRow("a folder others may change") << QStringLiteral("folder 0777") << false;
        QTest::newRow("another user's file") << QStringLiteral("foreign") << false;
        QTest::newRow("a link") << QStringLiteral("link") << false;
    }

    void installedSetsBesideTheProgram()
    {
        // What the install switch writes beside the program is read, with
        // the checks of the cache and those of a folder every user reads.
        QFETCH(QString, state);
        QFETCH(bool, used);
        const QString folder = TileCache::installedDirectory();
        const QString file = TileCache::installedFile(svgBack, svgFace, 1.0);
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), state == QLatin1String("folder 0777") ? 0777 : 0755), 0);
        const QString target = state == QLatin1String("link") ? dir.filePath(QStringLiteral("linked.dat")) : file;
        writeBytes(target, serialised(TileImages(pngBack, pngFace, TileGraphics::highlightPath(), 1.0)));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), state == QLatin1String("file 0666") ? 0666 : 0644), 0);
        if (state == QLatin1String("link")) {
            QVERIFY(QFile::link(target, file));
        } else if (state == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("only root can give a file to another user");
            QCOMPARE(::chown(QFile::encodeName(file).constData(), otherUser, otherUser), 0);
        }
        QFile::remove(TileCache::temporaryFile(svgBack, svgFace, 1.0));

        std::unique_ptr<TileImages> set(TileGraphics::loadTileImages(svgBack, svgFace, 1.0));
        QDir(folder).removeRecursively();
        QCOMPARE(set->size3D(0, TileImages::Declared) == TileSize3D(28, 39, -1), used);
        // A set taken from the installed file is not rendered and cached again.
        QCOMPARE(QFileInfo::exists(TileCache::temporaryFile(svgBack, svgFace, 1.0)), !used);
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
