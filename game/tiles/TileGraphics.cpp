#include "TileGraphics.h"

#include "ResizeWorker.h"
#include "TileCache.h"
#include "TileImages.h"
#include "TilePainter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>

#include <cmath>
#include <memory>

namespace {

struct Choice
{
    const char* name;
    const char* path;
};

const Choice blanks[] = {
    {QT_TRANSLATE_NOOP("TileGraphics", "Bamboo"), "resources:/tiles-blank-default.png"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Green 1"), "resources:/tiles-blank-green.png"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Red"), "resources:/tiles-blank-red.png"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Green 2"), "resources:/tiles-blank-green.svg"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Dark wood"), "resources:/tiles-blank-darkwood.svg"},
};

const Choice faces[] = {
    {QT_TRANSLATE_NOOP("TileGraphics", "Numbered"), "resources:/tiles-fg.svg"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Mixed numbered"), "resources:/tiles-fg-half-marked.svg"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Without numbers"), "resources:/tiles-fg-no-marks.svg"},
    {QT_TRANSLATE_NOOP("TileGraphics", "Rustic numbered"), "resources:/tiles-fg.png"},
};

constexpr int blankRows = int(std::size(blanks));
constexpr int faceRows = int(std::size(faces));

} // namespace

struct TileGraphics::Private
{
    QString blankPath;
    QString facePath;
    double gameScale = 1.0;
    bool changingScale = false;
    TilePainter basePainter;
    TilePainter gamePainter;
    ResizeWorker* worker = nullptr;
    /// The base set of the chosen back and face is being rendered: the
    /// worker renders it before the game set.
    bool baseWanted = false;
};

TileGraphics& TileGraphics::instance()
{
    static TileGraphics graphics;
    return graphics;
}

TileGraphics::TileGraphics()
    : d(std::make_unique<Private>())
{
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &TileGraphics::onAboutToQuit);
    // An application that never ran its loop (or never quit it) emits no
    // aboutToQuit: a worker still writing its cache file must not outlive the
    // application's image writers either.
    qAddPostRoutine([] { TileGraphics::instance().onAboutToQuit(); });
}

TileGraphics::~TileGraphics()
{
    onAboutToQuit();
}

QString TileGraphics::blankPath(int index)
{
    return index >= 0 && index < blankRows ? QLatin1String(blanks[index].path) : QString();
}

QString TileGraphics::facePath(int index)
{
    return index >= 0 && index < faceRows ? QLatin1String(faces[index].path) : QString();
}

int TileGraphics::blankCount()
{
    return blankRows;
}

int TileGraphics::faceCount()
{
    return faceRows;
}

QString TileGraphics::highlightPath()
{
    return QStringLiteral("resources:/tile-highlights-red.png");
}

QStringList TileGraphics::blankNames() const
{
    QStringList names;
    for (const Choice& c : blanks)
        names << tr(c.name);
    return names;
}

QStringList TileGraphics::faceNames() const
{
    QStringList names;
    for (const Choice& c : faces)
        names << tr(c.name);
    return names;
}

QString TileGraphics::tileFace() const
{
    return d->facePath;
}

QString TileGraphics::tileBlank() const
{
    return d->blankPath;
}

TilePainter* TileGraphics::basePainter() const
{
    return &d->basePainter;
}

TilePainter* TileGraphics::gamePainter() const
{
    return &d->gamePainter;
}

double TileGraphics::gameScale() const
{
    return d->gameScale;
}

bool TileGraphics::isRendering() const
{
    return d->worker != nullptr;
}

void TileGraphics::setTiles(int blankIndex, int faceIndex)
{
    const QString blank = blankPath(blankIndex);
    const QString face = facePath(faceIndex);
    if (blank.isEmpty() || face.isEmpty()) {
        qWarning() << "no tile set" << blankIndex << faceIndex;
        return;
    }
    if (blank == d->blankPath && face == d->facePath)
        return;
    d->blankPath = blank;
    d->facePath = face;
    // The worker reads the set's cache file, or draws a set not drawn before
    // (a large one takes a good part of a second), like every other render:
    // the window never waits for the disk, and what is shown stays until
    // the set is in.
    d->baseWanted = true;
    startWorker();
}

void TileGraphics::installBase(TileImages* base)
{
    d->baseWanted = false;
    d->basePainter.setTileImages(base);
    d->gamePainter.setTileImages(new TileImages(*base, d->gameScale));
    startWorker();
    Q_EMIT tileGraphicsChanged();
}

void TileGraphics::setGameScale(double scale)
{
    if (!std::isfinite(scale))
        return;
    // Whole 1/32 steps: small resizes neither restart the render nor
    // multiply cache files. The floor keeps a squeezed window drawable.
    const double q = std::max(std::trunc(scale * 32) / 32, minimumGameScale);
    if (q == d->gameScale || d->changingScale)
        return;
    d->changingScale = true;
    d->gameScale = q;
    if (const TileImages* base = d->basePainter.tileImages()) {
        d->gamePainter.setTileImages(new TileImages(*base, q));
        startWorker();
        Q_EMIT gameScaleChanged();
    }
    d->changingScale = false;
}

void TileGraphics::startWorker()
{
    if (d->worker || d->blankPath.isEmpty())
        return;
    const double scale = d->baseWanted ? 1.0 : d->gameScale;
    d->worker = new ResizeWorker(d->blankPath, d->facePath, scale, this);
    connect(d->worker, &QThread::finished, this, &TileGraphics::onThreadFinished, Qt::QueuedConnection);
    Q_EMIT renderStarted(scale);
    d->worker->start(QThread::InheritPriority);
}

void TileGraphics::onThreadFinished()
{
    ResizeWorker* worker = d->worker;
    if (!worker || sender() != worker)
        return;
    worker->wait();
    TileImages* result = worker->takeResult();
    d->worker = nullptr;
    const bool stale = worker->blankPath != d->blankPath || worker->facePath != d->facePath
        || worker->scale != (d->baseWanted ? 1.0 : d->gameScale);
    worker->deleteLater();
    if (stale) {
        delete result;
        startWorker();
    } else if (d->baseWanted) {
        d->baseWanted = false;
        if (result)
            installBase(result);
        else
            qWarning() << "tile set" << d->blankPath << d->facePath << "not rendered; the shown set stays";
    } else if (result) {
        d->gamePainter.setTileImages(result);
    }
    Q_EMIT gameScaleChanged();
}

void TileGraphics::onAboutToQuit()
{
    ResizeWorker* worker = d->worker;
    if (!worker)
        return;
    d->worker = nullptr;
    worker->wait();
    delete worker; // frees a result nobody took
}

namespace {
/// No cache for a scale that cannot name a real set.
bool cacheable(double scale)
{
    return scale > 0 && scale <= TileImages::maxStoredScale && std::isfinite(scale);
}
}

TileImages* TileGraphics::readCachedSet(const QString& blankPath, const QString& facePath, double scale)
{
    if (!cacheable(scale))
        return nullptr;
    const QStringList sources{blankPath, facePath, highlightPath()};
    if (TileImages* installed = TileCache::readInstalled(blankPath, facePath, scale, sources))
        return installed;
    if (!TileCache::prepareCacheDirectory())
        return nullptr;
    return TileCache::readFile(TileCache::temporaryFile(blankPath, facePath, scale), scale, sources);
}

TileImages* TileGraphics::renderAndStore(const QString& blankPath, const QString& facePath, double scale)
{
    auto* images = new TileImages(blankPath, facePath, highlightPath(), scale);
    // A set that stands in for a refused sheet is drawn anew each time, so
    // that the refusal is told wherever the set is chosen.
    const bool refused = !images->refusedBack().isEmpty() || !images->refusedFace().isEmpty();
    if (!refused && cacheable(scale) && TileCache::prepareCacheDirectory()
        && TileCache::writeFile(TileCache::temporaryFile(blankPath, facePath, scale), *images))
        TileCache::trimCacheDirectory();
    return images;
}

TileImages* TileGraphics::loadTileImages(const QString& blankPath, const QString& facePath, double scale)
{
    if (TileImages* cached = readCachedSet(blankPath, facePath, scale))
        return cached;
    return renderAndStore(blankPath, facePath, scale);
}

void TileGraphics::installTilesets()
{
    // Beside the program, where the installer runs; readable by every user
    // of the machine, changeable only by the installer's.
    const QString folder = TileCache::installedDirectory();
    const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions enterable = readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFile::setPermissions(folder, enterable)) {
        qWarning() << "cannot make" << folder;
        return;
    }
    for (const Choice& blank : blanks) {
        for (const Choice& face : faces) {
            const QString b = QLatin1String(blank.path);
            const QString f = QLatin1String(face.path);
            std::unique_ptr<TileImages> set(loadTileImages(b, f, 1.0));
            const QString file = TileCache::installedFile(b, f, 1.0);
            if (!TileCache::writeFile(file, *set) || !QFile::setPermissions(file, readable))
                qWarning() << "cannot write" << file;
        }
    }
}
