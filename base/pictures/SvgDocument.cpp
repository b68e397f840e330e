// Writing an SVG document anew so that the renderer finds nothing in it to
// read from elsewhere.
#include "SvgDocument.h"

#include "PictureDecoder.h"
#include "ResourceFile.h"

#include <QBuffer>
#include <QDebug>
#include <QHash>
#include <QImageWriter>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <optional>

namespace {

/// The part after the prefix: namespaces are not processed here, as the
/// renderer goes by local names whatever their namespace.
QStringView localName(QStringView qualified)
{
    const qsizetype colon = qualified.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? qualified : qualified.mid(colon + 1);
}

/// What the pictures of one document may still take.
struct Budget
{
    int pictures = SvgDocument::maxPictures;
    qint64 pixels = SvgDocument::maxPicturePixels;
};

/// Put in front of a JPEG's own segments: its first sixteen bytes are then
/// ours, and no reader that goes by content can take it for anything else.
/// A comment segment, which every JPEG reader passes over.
const char jpegLead[] = "\xff\xd8\xff\xfe\x00\x0c" "held JPEG.";
constexpr qsizetype jpegLeadSize = 16;

/// The picture as a "data:" address of a PNG; empty for none.
QString pngAddress(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Fast rather than small: the renderer reads it back at once.
    writer.setCompression(1);
    if (image.isNull() || !writer.write(image))
        return QString();
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

/// The picture of a "data:...;base64," address as an address the renderer
/// can only read as the picture decoder does, counted against the budget;
/// empty when it is anything else or the budget does not cover it.
QString embeddedPicture(QStringView address, Budget& budget)
{
    using PictureDecoder::Format;
    const QStringView trimmed = address.trimmed();
    const qsizetype comma = trimmed.indexOf(QLatin1Char(','));
    if (!trimmed.startsWith(QLatin1String("data:"), Qt::CaseInsensitive) || comma < 0
        || !trimmed.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive) || budget.pictures <= 0)
        return QString();
    --budget.pictures;
    const QByteArray bytes = QByteArray::fromBase64(trimmed.mid(comma + 1).toLatin1());
    const PictureDecoder::Limits limits{Format::Png | Format::Jpeg | Format::Gif, SvgDocument::maxPictureSide,
                                        budget.pixels, QSize()};
    const std::variant<PictureDecoder::Checked, PictureDecoder::Error> checked = PictureDecoder::check(bytes, limits);
    const auto* picture = std::get_if<PictureDecoder::Checked>(&checked);
    if (!picture)
        return QString();
    budget.pixels -= qint64(picture->size.width()) * picture->size.height();
    // A PNG begins with its signature and header chunk, both checked: it is
    // read as a PNG whatever follows.
    if (picture->format == Format::Png)
        return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(picture->bytes.toBase64());
    if (picture->format == Format::Jpeg) {
        const QByteArray led = QByteArray::fromRawData(jpegLead, jpegLeadSize) + picture->bytes.mid(2);
        return QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(led.toBase64());
    }
    // A GIF's first bytes hold its size and flags: stored again as a PNG.
    return pngAddress(PictureDecoder::imageOf(PictureDecoder::decode(picture->bytes, limits)));
}

bool isAddress(const QXmlStreamAttribute& attribute)
{
    return localName(attribute.qualifiedName()) == QLatin1String("href");
}

/// Whether the element has a clip path of its own, as an attribute or in
/// its style.
bool hasClipPath(const QXmlStreamAttributes& attributes)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView name = localName(attribute.qualifiedName());
        const QStringView value = attribute.value().trimmed();
        if (name == QLatin1String("clip-path") && !value.isEmpty() && value != QLatin1String("none"))
            return true;
        if (name == QLatin1String("style") && value.contains(QLatin1String("clip-path"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

/// The id an address within the document names ("#face"); empty for any other.
QString localTarget(const QXmlStreamAttributes& attributes)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView value = attribute.value().trimmed();
        if (isAddress(attribute) && value.startsWith(QLatin1Char('#')))
            return value.mid(1).toString();
    }
    return QString();
}

/// A length in user units ("12", "12.5px"); empty for any other.
std::optional<double> userLength(const QXmlStreamAttributes& attributes, QLatin1String name, double absent)
{
    if (!attributes.hasAttribute(name))
        return absent;
    QStringView value = attributes.value(name).trimmed();
    if (value.endsWith(QLatin1String("px")))
        value.chop(2);
    bool ok = false;
    const double length = value.toDouble(&ok);
    return ok && std::isfinite(length) ? std::optional<double>(length) : std::nullopt;
}

/// The box x, y, width, height of the element's attributes; empty when one
/// is not a plain length.
std::optional<QRectF> box(const QXmlStreamAttributes& attributes)
{
    const auto x = userLength(attributes, QLatin1String("x"), 0);
    const auto y = userLength(attributes, QLatin1String("y"), 0);
    const auto w = userLength(attributes, QLatin1String("width"), -1);
    const auto h = userLength(attributes, QLatin1String("height"), -1);
    if (!x || !y || !w || !h || *w < 0 || *h < 0)
        return std::nullopt;
    return QRectF(*x, *y, *w, *h);
}

/// A picture of the document that a clipped <use> may name.
struct HeldPicture
{
    QRectF box;
    QString address;
    bool stretched = false; // preserveAspectRatio="none"
};

/// What a sheet of faces cut from one picture is made of: the clip paths
/// that are one rectangle in the user space of what they clip, and what a
/// <use> may name that draws one picture as it is placed: an <image> with
/// no transform of its own, or a group or symbol (without a transform or a
/// view box) that holds nothing but one such.
struct Cutting
{
    QHash<QString, QRectF> rectangles;
    QHash<QString, HeldPicture> pictures;
    /// The pictures decoded so far, by address.
    QHash<QString, QImage> decoded;
};

Cutting cuttingOf(const QByteArray& svg)
{
    Cutting cutting;
    QXmlStreamReader in(svg);
    in.setNamespaceProcessing(false);
    QString clip;  // the clip path being read, while it is one rectangle
    int parts = 0; // its elements
    // The open elements: their ids, their child elements and the one
    // picture each draws as it is placed, when it draws just that.
    struct Open
    {
        QString id;
        bool holder = false; // a group or symbol that places its content as it is
        int children = 0;
        std::optional<HeldPicture> picture;
    };
    QList<Open> open;
    while (in.readNext() != QXmlStreamReader::Invalid && !in.atEnd()) {
        if (in.tokenType() == QXmlStreamReader::EndElement && !open.isEmpty()) {
            const Open done = open.takeLast();
            if (done.picture && !done.id.isEmpty())
                cutting.pictures.insert(done.id, *done.picture);
            if (!open.isEmpty() && open.last().holder)
                open.last().picture = open.last().children == 1 ? done.picture : std::nullopt;
        }
        if (in.tokenType() == QXmlStreamReader::EndElement && localName(in.qualifiedName()) == QLatin1String("clipPath"))
            clip.clear();
        if (in.tokenType() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = in.attributes();
        const QStringView element = localName(in.qualifiedName());
        const QString id = attributes.value(QLatin1String("id")).toString();
        const bool plain = !attributes.hasAttribute(QLatin1String("transform"));
        if (!open.isEmpty())
            ++open.last().children;
        open.append({id, false, 0, std::nullopt});
        if (element == QLatin1String("clipPath")) {
            const QStringView units = attributes.value(QLatin1String("clipPathUnits"));
            clip = plain && (units.isEmpty() || units == QLatin1String("userSpaceOnUse")) ? id : QString();
            parts = 0;
        } else if (!clip.isEmpty() && ++parts == 1 && element == QLatin1String("rect") && plain) {
            if (const std::optional<QRectF> rectangle = box(attributes))
                cutting.rectangles.insert(clip, *rectangle);
        } else if (!clip.isEmpty()) {
            cutting.rectangles.remove(clip);
            clip.clear();
        } else if (element == QLatin1String("image") && plain) {
            QString address;
            for (const QXmlStreamAttribute& attribute : attributes)
                if (isAddress(attribute))
                    address = attribute.value().toString();
            if (const std::optional<QRectF> place = box(attributes))
                open.last().picture = HeldPicture{*place, address,
                                                  attributes.value(QLatin1String("preserveAspectRatio")).trimmed()
                                                      == QLatin1String("none")};
        } else if ((element == QLatin1String("g") || element == QLatin1String("symbol")) && plain
                   && !attributes.hasAttribute(QLatin1String("viewBox"))) {
            open.last().holder = true;
        }
    }
    return cutting;
}

/// The part of a picture drawn at `picture.box` that the rectangle `clip`
/// shows, as a picture of its own at the place where it shows; empty when
/// the picture is not one held in the document or not stretched evenly.
std::optional<std::pair<QRectF, QString>> cutOut(const HeldPicture& picture, const QRectF& clip, Cutting& cutting,
                                                 Budget& budget)
{
    QImage& whole = cutting.decoded[picture.address];
    if (whole.isNull()) {
        const QString address = embeddedPicture(picture.address, budget);
        const qsizetype comma = address.indexOf(QLatin1Char(','));
        if (comma < 0)
            return std::nullopt;
        // What the renderer would read (a JPEG led by our comment).
        const PictureDecoder::Limits limits{PictureDecoder::Format::Png | PictureDecoder::Format::Jpeg,
                                            SvgDocument::maxPictureSide, SvgDocument::maxPicturePixels, QSize()};
        whole = PictureDecoder::imageOf(
            PictureDecoder::decode(QByteArray::fromBase64(QStringView(address).mid(comma + 1).toLatin1()), limits));
        if (whole.isNull())
            return std::nullopt;
    }
    const QRectF shown = clip.intersected(picture.box);
    if (shown.isEmpty() || picture.box.isEmpty())
        return std::pair<QRectF, QString>{QRectF(), QString()};
    const double sx = whole.width() / picture.box.width();
    const double sy = whole.height() / picture.box.height();
    // Drawn in its own proportions unless stretched: then it must fill its box.
    if (!picture.stretched && std::abs(sx - sy) > 0.01 * std::max(sx, sy))
        return std::nullopt;
    const QRect pixels = QRectF((shown.x() - picture.box.x()) * sx, (shown.y() - picture.box.y()) * sy,
                                shown.width() * sx, shown.height() * sy)
                             .toAlignedRect()
                             .intersected(whole.rect());
    const qint64 count = qint64(pixels.width()) * pixels.height();
    if (pixels.isEmpty() || budget.pictures <= 0 || count > budget.pixels)
        return std::nullopt;
    --budget.pictures;
    budget.pixels -= count;
    const QString address = pngAddress(whole.copy(pixels));
    if (address.isEmpty())
        return std::nullopt;
    return std::pair<QRectF, QString>{shown, address};
}

/// The clip path id of an element's own "clip-path" attribute ("url(#id)").
QString clipTarget(const QXmlStreamAttributes& attributes)
{
    QStringView value = attributes.value(QLatin1String("clip-path")).trimmed();
    if (!value.startsWith(QLatin1String("url(#")) || !value.endsWith(QLatin1Char(')')))
        return QString();
    return value.mid(5, value.size() - 6).trimmed().toString();
}

/// Writes a picture cut by a rectangle, the <image> or <use> the reader
/// stands on, as an <image> of only the part that shows (the renderer
/// draws no clip path); false (nothing written) when it is not one.
bool writeCut(const QXmlStreamReader& in, QXmlStreamWriter& out, Cutting& cutting, Budget& budget, bool* empty)
{
    const QXmlStreamAttributes attributes = in.attributes();
    if (attributes.value(QLatin1String("style")).contains(QLatin1String("clip-path")))
        return false;
    const auto clip = cutting.rectangles.constFind(clipTarget(attributes));
    if (clip == cutting.rectangles.constEnd())
        return false;
    const bool isUse = localName(in.qualifiedName()) == QLatin1String("use");
    HeldPicture picture;
    QPointF offset;
    if (isUse) {
        const auto named = cutting.pictures.constFind(localTarget(attributes));
        const auto x = userLength(attributes, QLatin1String("x"), 0);
        const auto y = userLength(attributes, QLatin1String("y"), 0);
        if (named == cutting.pictures.constEnd() || !x || !y)
            return false;
        // The clip path is in the space the use's x and y move into.
        picture = *named;
        offset = QPointF(*x, *y);
    } else {
        const std::optional<QRectF> place = box(attributes);
        if (!place)
            return false;
        for (const QXmlStreamAttribute& attribute : attributes)
            if (isAddress(attribute))
                picture.address = attribute.value().toString();
        picture.box = *place;
        picture.stretched = attributes.value(QLatin1String("preserveAspectRatio")).trimmed() == QLatin1String("none");
    }
    const auto cut = cutOut(picture, *clip, cutting, budget);
    if (!cut)
        return false;
    *empty = cut->second.isEmpty();
    if (*empty)
        return true;
    static const QStringList replaced{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("width"),
                                      QStringLiteral("height"), QStringLiteral("clip-path"),
                                      QStringLiteral("preserveAspectRatio")};
    out.writeStartElement(isUse ? QStringLiteral("image") : in.qualifiedName().toString());
    for (const QXmlStreamAttribute& attribute : attributes)
        if (!isAddress(attribute) && !replaced.contains(localName(attribute.qualifiedName())))
            out.writeAttribute(attribute);
    const QRectF at = cut->first.translated(offset);
    out.writeAttribute(QStringLiteral("x"), QString::number(at.x()));
    out.writeAttribute(QStringLiteral("y"), QString::number(at.y()));
    out.writeAttribute(QStringLiteral("width"), QString::number(at.width()));
    out.writeAttribute(QStringLiteral("height"), QString::number(at.height()));
    out.writeAttribute(QStringLiteral("preserveAspectRatio"), QStringLiteral("none"));
    out.writeAttribute(QStringLiteral("xlink:href"), cut->second);
    return true;
}

/// Writes the `<image>` the reader stands on with its pictures stored anew;
/// false (nothing written) when one of its addresses is not a picture held
/// in it.
bool writeImage(const QXmlStreamReader& in, QXmlStreamWriter& out, Budget& budget)
{
    QXmlStreamAttributes attributes = in.attributes();
    bool hasPicture = false;
    for (QXmlStreamAttribute& attribute : attributes) {
        if (!isAddress(attribute))
            continue;
        const QString picture = embeddedPicture(attribute.value(), budget);
        if (picture.isEmpty())
            return false;
        attribute = QXmlStreamAttribute(attribute.qualifiedName().toString(), picture);
        hasPicture = true;
    }
    if (!hasPicture)
        return false;
    out.writeStartElement(in.qualifiedName().toString());
    out.writeAttributes(attributes);
    return true;
}

} // namespace

QByteArray SvgDocument::selfContained(const QByteArray& svg, const QString& name, QString* why)
{
    QXmlStreamReader in(svg);
    // Prefixes stay as written: the renderer looks for "xlink:href" by that name.
    in.setNamespaceProcessing(false);
    QByteArray bytes;
    QXmlStreamWriter out(&bytes);
    Budget budget;
    // The ids of the open elements: a picture left out is told by the
    // nearest, the tile face it belongs to.
    QStringList ids;
    const auto nearestId = [&ids](const QString& own) -> QString {
        if (!own.isEmpty())
            return own;
        for (auto id = ids.crbegin(); id != ids.crend(); ++id)
            if (!id->isEmpty())
                return *id;
        return QStringLiteral("(no id)");
    };
    int leftOut = 0;
    QStringList lost;
    // The renderer draws no clip path: a picture under one (a sprite sheet
    // whose faces are parts of one picture) would be drawn whole, and so
    // would whatever a clipped <use> names (a group holding the sheet).
    // Noted by the nearest id.
    QList<bool> clipped;
    QStringList cutIn;
    // A picture cut by a rectangle is written as the part that shows.
    Cutting cutting;
    if (svg.contains("clip-path"))
        cutting = cuttingOf(svg);
    const auto noteCut = [&cutIn](const QString& face) {
        if (cutIn.size() < 8 && !cutIn.contains(face))
            cutIn << face;
    };
    while (!in.atEnd()) {
        switch (in.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QString id = in.attributes().value(QLatin1String("id")).toString();
            const bool parentClipped = !clipped.isEmpty() && clipped.last();
            bool underClip = parentClipped || hasClipPath(in.attributes());
            const QStringView element = localName(in.qualifiedName());
            bool empty = false;
            // The renderer would draw a clip path's shapes as shapes.
            if (element == QLatin1String("clipPath")) {
                in.skipCurrentElement();
                break;
            }
            const bool picture = element == QLatin1String("image") || element == QLatin1String("use");
            if (picture && underClip && !cutting.rectangles.isEmpty()
                && writeCut(in, out, cutting, budget, &empty)) {
                if (empty) {
                    in.skipCurrentElement();
                    break;
                }
                underClip = parentClipped;
                if (underClip)
                    noteCut(nearestId(id));
            } else if (element != QLatin1String("image")) {
                if (underClip && element == QLatin1String("use"))
                    noteCut(nearestId(id));
                // By the name as written: the writer would drop the prefix.
                out.writeStartElement(in.qualifiedName().toString());
                out.writeAttributes(in.attributes());
            } else if (!writeImage(in, out, budget)) {
                ++leftOut;
                if (const QString face = nearestId(id); lost.size() < 8 && !lost.contains(face))
                    lost << face;
                in.skipCurrentElement();
                break;
            } else if (underClip) {
                noteCut(nearestId(id));
            }
            ids << id;
            clipped << underClip;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!ids.isEmpty()) {
                ids.removeLast();
                clipped.removeLast();
            }
            out.writeCurrentToken(in);
            break;
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Characters:
            out.writeCurrentToken(in);
            break;
        default:
            // Comments, the DTD, entity references it left unresolved and
            // processing instructions ("xml-stylesheet" names a file).
            break;
        }
    }
    if (in.hasError()) {
        qWarning().noquote() << "SVG document" << name << "is not well-formed:" << in.errorString();
        if (why)
            *why = QStringLiteral("not well-formed");
        return QByteArray();
    }
    if (!cutIn.isEmpty()) {
        qWarning().noquote() << "SVG document" << name << "not drawn: pictures or references cut by clip paths in"
                             << cutIn.join(QLatin1String(", "));
        if (why)
            *why = QStringLiteral("it cuts pictures or references by clip paths, which are not drawn");
        return QByteArray();
    }
    if (leftOut > 0)
        qWarning().noquote() << "SVG document" << name << ":" << leftOut
                             << "pictures not held in it (or past its limits) left out, in"
                             << lost.join(QLatin1String(", "));
    return bytes;
}

QByteArray SvgDocument::read(const QString& name, QString* why)
{
    QString failure;
    const std::optional<QByteArray> bytes = ResourceFile::read(name, maxFileSize, &failure);
    if (!bytes) {
        qWarning().noquote() << "SVG document" << name << "not read:" << failure;
        if (why)
            *why = failure;
        return QByteArray();
    }
    return selfContained(*bytes, name, why);
}
