#pragma once

#include "ShadowGeometry.h"
#include "TileSize3D.h"
#include "tile.h"

#include <QImage>
#include <QRectF>

#include <memory>

class QDataStream;

/// One complete, pre-rendered tile set at one scale: every picture the table
/// needs to draw any tile, in any of the four seat orientations, with the
/// sizes, drawing rectangles and shadow outlines that go with them. Built from
/// a back sheet and a face sheet (each SVG or PNG, chosen by file suffix) and
/// the highlight sheet, or rescaled from another set, or read back from the
/// disk cache. Immutable once built, except for the dimming overlay of the own
/// standing tile, which is made on its first use (on the GUI thread).
///
/// Building touches no shared state, so a set may be made on a worker thread
/// and handed over once finished. A sheet named on the search path that
/// cannot be read or is refused (a file of the user's in front of the
/// program's own) gives a logged warning and gives way to the program's own
/// sheet of its name; with none, or for pictures a sheet lacks, visible
/// placeholder pictures are drawn.
class TileImages
{
public:
    /// Seat orientations; also the suffixes of the SVG element names.
    enum Orientation { Bottom = 0, Right = 1, Top = 2, Left = 3 };

    /// Picture kinds; TileView uses the same numbers as its type.
    enum Kind {
        Declared = 0,   ///< face up, lying on the table
        Back = 1,       ///< face down, lying on the table
        Turned = 2,     ///< face up, laid crosswise in a meld
        Hand = 3,       ///< the own standing tile (pictures in handImage())
        Hidden = 4,     ///< another player's concealed standing tile
        WallSingle = 5, ///< a wall position of one tile
        WallDouble = 6, ///< a wall stack of two
        WallTriple = 7, ///< a wall stack of three
        NoPicture = 8,  ///< never rendered, draws nothing, casts no shadow
        WallDora = 9,   ///< the dora indicator lying on a stack of two
    };

    static constexpr int orientationCount = 4;
    static constexpr int kindCount = 10;
    static constexpr int faceCount = 42;
    static constexpr qint32 streamVersion = 6;
    static constexpr double baseProportion = 1.0;
    static constexpr double handProportion = 1.25;

    /// Renders a set from the back ("blank") sheet, the face sheet and the
    /// highlight sheet at the given scale (1.0 is the design size).
    TileImages(const QString& blankPath, const QString& facePath, const QString& highlightPath, double scale);
    /// A smooth rescale of another set to the given scale: fast, for showing
    /// a new size at once while the exact set is rendered elsewhere.
    TileImages(const TileImages& source, double scale);
    /// Reads a set written by operator<<. Throws std::runtime_error "Wrong
    /// serialized version" or "Other proportions used" for a foreign header,
    /// "Scale out of range" for a stored scale not above 0 and up to
    /// maxStoredScale, and "Picture larger than its set" at the first picture
    /// whose stored size is beyond maxPictureSide() of the scale (checked
    /// before the picture is decoded), or whose bytes are more than twice
    /// those of such a picture without compression; a picture's optional
    /// PNG chunks (text, colour profiles) are dropped unread. A short or
    /// corrupt stream leaves the stream's status not Ok (the caller must
    /// check it).
    explicit TileImages(QDataStream& in);
    /// The same for a set that must have the given scale: any other stored
    /// scale throws "Other scale" before any picture is read.
    TileImages(QDataStream& in, double expectedScale);

    /// The largest scale a stream may hold.
    static constexpr double maxStoredScale = 8.0;
    /// No picture of a set at this scale is wider or higher than this.
    static int maxPictureSide(double scale);
    virtual ~TileImages();

    TileImages(const TileImages&) = delete;
    TileImages& operator=(const TileImages&) = delete;

    double scale() const;
    /// The file of the back or face sheet that could not be drawn and gave way
    /// to the program's own; empty when the sheet was drawn. Not kept in the
    /// stream form: a set with one is not written to the cache.
    QString refusedBack() const;
    QString refusedFace() const;

    /// The picture of (orientation, kind); a null image for kind 8, for the
    /// hand kind (see handImage) and for indexes out of range.
    const QImage& element(int orientation, int kind) const;
    /// The face of a tile seen from an orientation; null for tile codes
    /// outside 0-41 and orientations out of range.
    const QImage& face(int orientation, tile t) const;
    /// The larger face drawn on the own standing tile; null outside 0-41.
    const QImage& handFace(tile t) const;
    /// 0 the own standing tile, 1 the same highlighted, 2 the dimming overlay
    /// (made from 0 on its first request); null otherwise.
    const QImage& handImage(int index) const;
    /// The highlight frame of an orientation, the size of its face area.
    const QImage& highlight(int orientation) const;
    /// The 3D size of (orientation, kind); all -1 where not set.
    TileSize3D size3D(int orientation, int kind) const;
    /// The picture's size and the whole-pixel offset at which it is drawn
    /// relative to the tile's position; also a tile item's bounding rectangle.
    QRectF rect(int orientation, int kind) const;
    /// The shadow outline and depth of (orientation, kind).
    ShadowGeometry shadow(int orientation, int kind) const;

    /// The SVG element id of a tile's face: its debug name in lower case with
    /// blanks as underscores ("bamboo_1", "east_wind", "plum_blossom").
    static QString faceElementId(tile t);
    /// The shadow outline of a picture rectangle whose top surface is
    /// `surfaceHeight` pixels high (-1: the whole rectangle), for a kind.
    static ShadowGeometry shadowFor(const QRectF& rect, int surfaceHeight, int kind);

    friend QDataStream& operator<<(QDataStream& out, const TileImages& images);

private:
    void readStream(QDataStream& in, const double* expectedScale);

    struct Private;
    const std::unique_ptr<Private> d;
};

QDataStream& operator<<(QDataStream& out, const TileImages& images);
