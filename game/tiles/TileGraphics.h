#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class TileImages;
class TilePainter;

/// The process-wide owner of the tile pictures: the chosen back ("blank")
/// and face, the base set at scale 1.0 (for previews) and the game set at the
/// game scale (for every tile on the table). A change of scale shows a quick
/// rescale of the base set at once while a worker thread renders the exact
/// set; rendered sets are cached on disk. GUI thread only, except
/// loadTileImages(), which any thread may call.
class TileGraphics : public QObject
{
    Q_OBJECT

public:
    /// The smallest game scale: a table view of no width or height (a window
    /// narrower than the side bar, a window not shown yet) must still give
    /// tiles of a few pixels, never a scale of 0 or below.
    static constexpr double minimumGameScale = 0.25;

    /// The single instance, made on the first call.
    static TileGraphics& instance();
    ~TileGraphics() override;

    /// Chooses back and face by list index; nothing happens when both are
    /// already chosen. The worker reads the base set from the cache or
    /// renders it (the sets shown so far stay); when it is in, a quick game
    /// set is installed, tileGraphicsChanged() emitted and the exact render
    /// started. Indexes outside the lists are ignored with a warning.
    void setTiles(int blankIndex, int faceIndex);
    /// The table view was resized: the scale is cut down to a multiple of
    /// 1/32 (and kept at or above minimumGameScale); a new value installs a
    /// quick set at once, starts the exact render and emits gameScaleChanged().
    void setGameScale(double scale);
    /// The current game scale (a multiple of 1/32).
    double gameScale() const;

    /// Display names of the backs and faces, in list order (translated).
    QStringList blankNames() const;
    QStringList faceNames() const;
    /// The chosen face sheet's resource path; empty before setTiles().
    QString tileFace() const;
    /// The chosen back sheet's resource path; empty before setTiles().
    QString tileBlank() const;

    /// The set at scale 1.0 (preferences previews).
    TilePainter* basePainter() const;
    /// The set at the game scale; tile items register here.
    TilePainter* gamePainter() const;

    /// Whether a render (of the base set or the exact game set) is still running.
    bool isRendering() const;

    /// Writes the cache file of every back and face at scale 1.0 into
    /// "tilesets/" beside the program (the installer's step), readable by
    /// every user. Failures are logged, never thrown.
    static void installTilesets();
    /// A set for (back, face, scale): from a valid cache file when there is
    /// one, else rendered and written to the cache. Owned by the caller. Any thread.
    static TileImages* loadTileImages(const QString& blankPath, const QString& facePath, double scale);
    /// The set from a valid installed file, else from a valid cache file,
    /// or null. Any thread.
    static TileImages* readCachedSet(const QString& blankPath, const QString& facePath, double scale);
    /// A newly rendered set, written to the cache unless one of its sheets
    /// gave way to the program's own. Any thread.
    static TileImages* renderAndStore(const QString& blankPath, const QString& facePath, double scale);

    /// Resource paths of the lists; empty for an index outside them.
    static QString blankPath(int index);
    static QString facePath(int index);
    static int blankCount();
    static int faceCount();
    /// The highlight sheet every set uses.
    static QString highlightPath();

public Q_SLOTS:
    /// The worker finished: its set is installed, or thrown away and one new
    /// worker started when the choice or the scale changed meanwhile.
    void onThreadFinished();
    /// Waits for a running worker and frees its result.
    void onAboutToQuit();

Q_SIGNALS:
    /// The sets of a newly chosen back or face are installed.
    void tileGraphicsChanged();
    /// The game set was replaced (quick rescale or exact render).
    void gameScaleChanged();
    /// A worker started rendering the exact set for a scale.
    void renderStarted(double scale);

private:
    TileGraphics();
    /// Installs the base set of the chosen back and face with a quick game
    /// set from it, and starts the exact render.
    void installBase(TileImages* base);
    /// Starts the worker, when none runs, on the base set when it is wanted,
    /// else on the game set.
    void startWorker();

    struct Private;
    const std::unique_ptr<Private> d;
};
