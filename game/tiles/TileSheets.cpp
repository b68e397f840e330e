// Rendering a tile set from its sheets: SVG documents whose elements are
// rendered into the pictures, or PNG sheets cut at fixed rectangles. A sheet
// that cannot be read gives one warning and the program's own sheet of its
// name; without one, or for pictures a sheet lacks, placeholder pictures,
// never an exception.

#include "TileImages_p.h"

#include "PictureDecoder.h"
#include "ResourceFile.h"
#include "SvgDocument.h"

#include <QDebug>
#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>

#include <optional>
#include <utility>

namespace {

using Size = TileSize3D;

/// Target sizes at scale 1.
const Size tileSizes[8] = {
    Size(192, 220, 69).resized(28, 35).scaled(TileImages::handProportion), // own standing tile
    Size(28, 35, 10), // wall, upright
    Size(38, 26, 10), // wall, sideways
    Size(28, 35, 10), // declared, upright
    Size(38, 26, 10), // declared, sideways
    Size(198, 140, 70).scaled(28.0 / 192), // hidden, top
    Size(198, 140, 0).scaled(28.0 / 192), // hidden, bottom
    Size(148, 128, 144).scaled(28.0 / 192), // hidden, right and left
};

/// Design proportions of the SVG elements: where to split top and thickness.
const Size svgTileSizes[8] = {
    Size(192, 220, 69), Size(192, 220, 69), Size(220, 192, 69), Size(192, 220, 69),
    Size(220, 192, 69), Size(198, 140, 70), Size(198, 140, 0),  Size(148, 128, 144),
};

const char* const stackWords[3] = {"Single", "Double", "Triple"};

QImage newImage(int w, int h)
{
    QImage img(qMax(w, 0), qMax(h, 0), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void setHints(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

/// A picture sheet through the picture decoder: only a regular file, of a
/// size a sheet of tiles at any detail stays well within (the bounds of the
/// pictures an SVG sheet holds too). Null when refused, with the reason in `why`.
QImage readPictureSheet(const QString& path, QString& why)
{
    const PictureDecoder::Limits limits{PictureDecoder::Format::Png | PictureDecoder::Format::Jpeg
                                            | PictureDecoder::Format::Gif | PictureDecoder::Format::Bmp,
                                        SvgDocument::maxPictureSide, SvgDocument::maxPicturePixels, QSize()};
    const PictureDecoder::Result result = PictureDecoder::decodeFile(path, limits, 64 * 1024 * 1024);
    why = PictureDecoder::errorOf(result);
    return PictureDecoder::imageOf(result);
}

/// The program's own sheet of a name whose sheet could not be drawn, and
/// the file that stood in front of it; nothing when it has none of its own
/// or its own is the one that failed.
std::optional<std::pair<QString, QString>> ownSheet(const QString& path)
{
    const QString own = ResourceFile::ownPath(path);
    const QString read = ResourceFile::path(path);
    if (own.isEmpty() || own == read)
        return std::nullopt;
    return std::pair{own, read};
}

/// Warns of a sheet that cannot be read, with what is drawn instead.
void warnUnread(const QString& path, const QString& why, bool ownDrawn)
{
    const QString instead = ownDrawn ? QStringLiteral("the program's own is") : QStringLiteral("placeholders are");
    qWarning() << "tile sheet" << path
               << qPrintable(QStringLiteral("cannot be read (%1); %2 drawn instead").arg(why, instead));
}

/// An SVG sheet with the ids it was asked for and did not have.
class SvgSheet
{
public:
    /// `refused` takes the file that could not be drawn when the program's own stands in.
    SvgSheet(const QString& path, QString& refused)
        : path(path)
    {
        QString why;
        renderer.load(SvgDocument::read(path, &why));
        if (renderer.isValid())
            return;
        const auto own = ownSheet(path);
        warnUnread(path, why.isEmpty() ? QStringLiteral("not an SVG document") : why, own.has_value());
        if (own && renderer.load(SvgDocument::read(own->first)))
            refused = own->second;
    }
    ~SvgSheet()
    {
        if (renderer.isValid() && !missing.isEmpty())
            qWarning() << "tile sheet" << path << "lacks" << missing.size() << "pictures, placeholders drawn:"
                       << missing.mid(0, 8).join(QLatin1String(", "));
    }

    /// Renders the element's upper or whole part; false (and noted) when absent.
    bool has(const QString& id)
    {
        if (renderer.isValid() && renderer.elementExists(id))
            return true;
        if (!missing.contains(id))
            missing << id;
        return false;
    }

    /// The element fitted into the target rectangle of the image.
    void render(QImage& image, const QString& id, const QRectF& target, const QRectF& part)
    {
        QPainter p(&image);
        setHints(p);
        p.setClipRect(target);
        p.translate(target.topLeft());
        p.scale(target.width() / part.width(), target.height() / part.height());
        p.translate(-part.topLeft());
        renderer.render(&p, id, renderer.boundsOnElement(id));
    }

    QImage whole(const QString& id, int w, int h)
    {
        QImage img = newImage(w, h);
        if (img.isNull())
            return img;
        if (!has(id)) {
            TileSheets::drawPlaceholder(img, img.rect(), false);
            return img;
        }
        render(img, id, img.rect(), renderer.boundsOnElement(id));
        return img;
    }

    /// The top surface and the thickness stretched independently.
    QImage split(const QString& id, const Size& target, const Size& source)
    {
        const int d = qMax(target.depth, 0);
        QImage img = newImage(target.width, target.height + d);
        if (img.isNull())
            return img;
        if (!has(id)) {
            TileSheets::drawPlaceholder(img, img.rect(), false);
            return img;
        }
        const QRectF b = renderer.boundsOnElement(id);
        const double total = source.height + qMax(source.depth, 0);
        const double cut = total > 0 ? b.height() * source.height / total : b.height();
        render(img, id, QRectF(0, 0, target.width, target.height), QRectF(b.x(), b.y(), b.width(), cut));
        if (d > 0 && b.height() - cut > 0)
            render(img, id, QRectF(0, target.height, target.width, d),
                   QRectF(b.x(), b.y() + cut, b.width(), b.height() - cut));
        return img;
    }

    /// The element fitted to the whole image, turned about its centre.
    QImage rotated(const QString& id, int w, int h, double degrees)
    {
        QImage img = newImage(w, h);
        if (img.isNull())
            return img;
        if (!has(id)) {
            TileSheets::drawPlaceholder(img, img.rect(), true);
            return img;
        }
        const QRectF b = renderer.boundsOnElement(id);
        QPainter p(&img);
        setHints(p);
        p.scale(w, h);
        p.translate(0.5, 0.5);
        p.rotate(degrees);
        p.scale(1 / b.width(), 1 / b.height());
        p.translate(-b.center());
        renderer.render(&p, id, b);
        return img;
    }

private:
    QString path;
    QSvgRenderer renderer;
    QStringList missing;
};

/// A PNG sheet cut at fixed rectangles.
class PngSheet
{
public:
    /// `refused` as for an SVG sheet.
    PngSheet(const QString& path, QString& refused)
        : path(path)
    {
        QString why;
        sheet = readPictureSheet(path, why);
        if (!sheet.isNull())
            return;
        const auto own = ownSheet(path);
        warnUnread(path, why, own.has_value());
        if (own && !(sheet = readPictureSheet(own->first, why)).isNull())
            refused = own->second;
    }
    ~PngSheet()
    {
        if (!sheet.isNull() && missing > 0)
            qWarning() << "tile sheet" << path << "is too small for" << missing << "pictures; placeholders drawn";
    }

    bool has(const QRect& r)
    {
        if (!sheet.isNull() && sheet.rect().contains(r))
            return true;
        ++missing;
        return false;
    }

    /// The rectangle scaled by f with smooth scaling.
    QImage cut(const QRect& r, double f)
    {
        const int w = int(r.width() * f);
        const int h = int(r.height() * f);
        if (!has(r)) {
            QImage img = newImage(w, h);
            if (!img.isNull())
                TileSheets::drawPlaceholder(img, img.rect(), false);
            return img;
        }
        if (w <= 0 || h <= 0)
            return QImage();
        return sheet.copy(r).scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    QString path;
    QImage sheet;
    int missing = 0;
};

bool isSvg(const QString& path)
{
    // Deliberately case-sensitive: "SVG" in capitals is read as an image.
    return QFileInfo(path).suffix() == QLatin1String("svg");
}

} // namespace

QString TileSheets::suffix(int orientation)
{
    static const char* const words[4] = {"Bottom", "Right", "Top", "Left"};
    return QLatin1String(words[orientation & 3]);
}

void TileSheets::drawPlaceholder(QImage& image, const QRectF& target, bool face)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = target.adjusted(0.5, 0.5, -0.5, -0.5);
    if (!face) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(QColor(214, 214, 214));
        p.drawRoundedRect(r, 2, 2);
    }
    // A red cross says "this picture is missing" at any size.
    p.setPen(QPen(QColor(200, 30, 30), qMax(1.0, r.width() / 12)));
    const QRectF inner = r.adjusted(r.width() / 5, r.height() / 5, -r.width() / 5, -r.height() / 5);
    p.drawLine(inner.topLeft(), inner.bottomRight());
    p.drawLine(inner.topRight(), inner.bottomLeft());
}

void TileImages::Private::renderBack(const QString& path)
{
    const double s = scale;
    if (isSvg(path)) {
        SvgSheet svg(path, refusedBack);
        const Size hand = tileSizes[0].scaled(s);
        sizes[Bottom][Hand] = hand;
        handImages[0] = svg.whole(QStringLiteral("hand"), hand.width, hand.height + hand.depth);
        handImages[1] = svg.whole(QStringLiteral("handHighlight"), hand.width, hand.height + hand.depth);
        for (int o = 0; o < orientationCount; ++o) {
            const bool up = TileSheets::isUpright(o);
            const Size size = tileSizes[up ? 3 : 4].scaled(s);
            const Size& source = svgTileSizes[up ? 3 : 4];
            sizes[o][Declared] = size;
            elements[o][Declared] = svg.split(QStringLiteral("declared") + TileSheets::suffix(o), size, source);
            sizes[o][Back] = size;
            elements[o][Back] = svg.split(QStringLiteral("wallSingle") + TileSheets::suffix(o), size, source);
        }
        for (int o = 0; o < orientationCount; ++o)
            sizes[o][Turned] = sizes[(o + 3) % 4][Declared];
        elements[Right][Turned] = elements[Bottom][Declared];
        elements[Left][Turned] = elements[Top][Declared];
        // A turned tile lies sideways but its art is split like an upright one.
        elements[Bottom][Turned] = svg.split(QStringLiteral("declaredBottomTurned"), sizes[Bottom][Turned], svgTileSizes[3]);
        elements[Top][Turned] = svg.split(QStringLiteral("declaredTopTurned"), sizes[Top][Turned], svgTileSizes[3]);
        for (int o = 0; o < orientationCount; ++o) {
            const Size size = tileSizes[o == Top ? 5 : o == Bottom ? 6 : 7].scaled(s);
            sizes[o][Hidden] = size;
            elements[o][Hidden] = svg.whole(QStringLiteral("hidden") + TileSheets::suffix(o), size.width,
                                            size.height + qMax(size.depth, 0));
        }
        for (int o = 0; o < orientationCount; ++o) {
            const bool up = TileSheets::isUpright(o);
            for (int n = 1; n <= 3; ++n) {
                Size size = tileSizes[up ? 1 : 2].scaled(s);
                size.depth *= n;
                Size source = svgTileSizes[up ? 1 : 2];
                source.depth *= n;
                sizes[o][Hidden + n] = size;
                elements[o][Hidden + n] = svg.split(
                    QStringLiteral("wall") + QLatin1String(stackWords[n - 1]) + TileSheets::suffix(o), size, source);
            }
            Size source = svgTileSizes[up ? 1 : 2];
            source.depth *= 2;
            sizes[o][WallDora] = sizes[o][WallDouble];
            elements[o][WallDora] = svg.split(QStringLiteral("wallDora") + TileSheets::suffix(o), sizes[o][WallDora], source);
        }
        resetRects();
        setHandRect();
        computeShadows();
        return;
    }

    PngSheet png(path, refusedBack);
    const double handScale = s * handProportion;
    sizes[Bottom][Hand] = Size(28, 39, 6).scaled(handScale);
    handImages[0] = png.cut(QRect(30, 40, 29, 45), handScale);
    handImages[1] = png.cut(QRect(238, 40, 29, 45), handScale);
    const QRect declared[4] = {{0, 40, 29, 43}, {0, 5, 40, 34}, {60, 40, 29, 43}, {224, 90, 40, 34}};
    const QRect walls[4][3] = {
        {{208, 40, 29, 44}, {178, 40, 29, 49}, {112, 90, 29, 54}},
        {{183, 90, 40, 33}, {142, 90, 40, 38}, {71, 90, 40, 43}},
        {{148, 40, 29, 44}, {118, 40, 29, 49}, {41, 90, 29, 54}},
        {{259, 6, 40, 33}, {218, 1, 40, 38}, {0, 90, 40, 43}},
    };
    const QRect dora[4] = {{41, 145, 29, 49}, {224, 164, 40, 38}, {71, 145, 29, 49}, {265, 164, 40, 38}};
    const QRect hidden[4] = {{268, 40, 27, 26}, {109, 0, 26, 39}, {90, 40, 27, 26}, {82, 0, 26, 39}};
    for (int o = 0; o < orientationCount; ++o) {
        const bool up = TileSheets::isUpright(o);
        sizes[o][Declared] = (up ? Size(28, 39, -1) : Size(39, 28, -1)).scaled(s);
        elements[o][Declared] = png.cut(declared[o], s);
        for (int n = 1; n <= 3; ++n) {
            sizes[o][Hidden + n] = (up ? Size(28, 38, 5 * n) : Size(39, 27, 5 * n)).scaled(s);
            elements[o][Hidden + n] = png.cut(walls[o][n - 1], s);
        }
        sizes[o][Back] = sizes[o][Declared];
        elements[o][Back] = png.cut(walls[o][0], s);
        sizes[o][WallDora] = sizes[o][WallDouble];
        elements[o][WallDora] = png.cut(dora[o], s);
        sizes[o][Hidden] = (up ? Size(28, -1, -1) : Size(-1, 30, -1)).scaled(s);
        elements[o][Hidden] = png.cut(hidden[o], s);
    }
    for (int o = 0; o < orientationCount; ++o)
        sizes[o][Turned] = sizes[(o + 3) % 4][Declared];
    elements[Bottom][Turned] = png.cut(QRect(41, 5, 40, 34), s);
    elements[Top][Turned] = png.cut(QRect(224, 90, 40, 34), s);
    elements[Right][Turned] = elements[Bottom][Declared];
    elements[Left][Turned] = elements[Top][Declared];
    resetRects();
    // The sheet's pictures stand a little off the tile's position.
    rects[Bottom][Back].translate(0, -int(s));
    rects[Top][Back].translate(0, -int(s));
    rects[Bottom][Turned].translate(0, -int(2.5 * s));
    rects[Right][Turned].translate(0, int(s));
    setHandRect();
    computeShadows();
}

void TileImages::Private::renderFaces(const QString& path)
{
    const Size hand = sizes[Bottom][Hand];
    if (isSvg(path)) {
        SvgSheet svg(path, refusedFace);
        const Size& bottom = sizes[Bottom][Declared];
        const Size& right = sizes[Right][Declared];
        const bool transposed = bottom.width == right.height && bottom.height == right.width;
        for (int t = 0; t < faceCount; ++t) {
            const QString id = TileImages::faceElementId(tile(std::uint8_t(t)));
            if (transposed) {
                const QImage up = svg.rotated(id, bottom.width, bottom.height, 0);
                faces[Bottom][t] = up;
                for (int o = 1; o < orientationCount; ++o)
                    faces[o][t] = up.transformed(QTransform().rotate(-90.0 * o), Qt::FastTransformation);
            } else {
                faces[Bottom][t] = svg.rotated(id, bottom.width, bottom.height, 0);
                faces[Right][t] = svg.rotated(id, right.width, right.height, -90);
                const QTransform half = QTransform().rotate(-180);
                faces[Top][t] = faces[Bottom][t].transformed(half, Qt::FastTransformation);
                faces[Left][t] = faces[Right][t].transformed(half, Qt::FastTransformation);
            }
            handFaces[t] = svg.rotated(id, hand.width, hand.height, 0);
        }
        return;
    }

    PngSheet png(path, refusedFace);
    const int cellWidth = png.sheet.width() / faceCount;
    const auto paintFace = [&](int t, int w, int h, const QTransform& transform) {
        QImage img(qMax(w, 0), qMax(h, 0), QImage::Format_ARGB32);
        if (img.isNull())
            return img;
        img.fill(Qt::transparent);
        const QRect cell(t * cellWidth, 0, 27, 42);
        if (!png.has(cell)) {
            TileSheets::drawPlaceholder(img, img.rect(), true);
        } else {
            QPainter p(&img);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.setTransform(transform);
            p.drawImage(QPointF(0, 0), png.sheet, cell);
        }
        return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QPointF shifts[4] = {{1, 0}, {2, -1}, {1, -5}, {-4, 1}};
    for (int o = 0; o < orientationCount; ++o) {
        const Size& size = sizes[o][Declared];
        const bool up = TileSheets::isUpright(o);
        const QTransform transform = QImage::trueMatrix(QTransform().rotate(-90.0 * o), 27, 42)
            * QTransform::fromTranslate(shifts[o].x(), shifts[o].y())
            * QTransform::fromScale(size.width / (up ? 28.0 : 39.0), size.height / (up ? 39.0 : 28.0));
        for (int t = 0; t < faceCount; ++t)
            faces[o][t] = paintFace(t, size.width, size.height, transform);
    }
    const QTransform handTransform = QTransform::fromTranslate(1, 0)
        * QTransform::fromScale(hand.width / 28.0, hand.height / 39.0);
    for (int t = 0; t < faceCount; ++t)
        handFaces[t] = paintFace(t, hand.width, hand.height, handTransform);
}

void TileImages::Private::renderHighlights(const QString& path)
{
    QString why;
    const QImage sheet = readPictureSheet(path, why);
    if (sheet.isNull())
        qWarning() << "highlight sheet" << path
                   << qPrintable(QStringLiteral("cannot be read (%1); placeholders are drawn instead").arg(why));
    const QRect cuts[4] = {{43, 1, 29, 43}, {1, 1, 40, 34}, {74, 1, 29, 43}, {105, 1, 40, 34}};
    for (int o = 0; o < orientationCount; ++o) {
        const Size& size = sizes[o][Declared];
        if (size.width <= 0 || size.height <= 0)
            continue;
        if (sheet.isNull() || !sheet.rect().contains(cuts[o])) {
            highlights[o] = newImage(size.width, size.height);
            TileSheets::drawPlaceholder(highlights[o], highlights[o].rect(), true);
            continue;
        }
        highlights[o] = sheet.copy(cuts[o])
                            .scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
}
