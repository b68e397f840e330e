// Writing an SVG document anew so that the renderer finds nothing in it to
// read from elsewhere.
#include "SvgDocument.h"

#include "PictureDecoder.h"
#include "ResourceFile.h"

#include <QBuffer>
#include <QDebug>
#include <QImageWriter>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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
    const QImage image = PictureDecoder::imageOf(PictureDecoder::decode(picture->bytes, limits));
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

bool isAddress(const QXmlStreamAttribute& attribute)
{
    return localName(attribute.qualifiedName()) == QLatin1String("href");
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

QByteArray SvgDocument::selfContained(const QByteArray& svg, const QString& name)
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
    while (!in.atEnd()) {
        switch (in.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QString id = in.attributes().value(QLatin1String("id")).toString();
            if (localName(in.qualifiedName()) != QLatin1String("image")) {
                // By the name as written: the writer would drop the prefix.
                out.writeStartElement(in.qualifiedName().toString());
                out.writeAttributes(in.attributes());
            } else if (!writeImage(in, out, budget)) {
                ++leftOut;
                if (const QString face = nearestId(id); lost.size() < 8 && !lost.contains(face))
                    lost << face;
                in.skipCurrentElement();
                break;
            }
            ids << id;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!ids.isEmpty())
                ids.removeLast();
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
        return QByteArray();
    }
    if (leftOut > 0)
        qWarning().noquote() << "SVG document" << name << ":" << leftOut
                             << "pictures not held in it (or past its limits) left out, in"
                             << lost.join(QLatin1String(", "));
    return bytes;
}

QByteArray SvgDocument::read(const QString& name)
{
    QString why;
    const std::optional<QByteArray> bytes = ResourceFile::read(name, maxFileSize, &why);
    if (!bytes) {
        qWarning().noquote() << "SVG document" << name << "not read:" << why;
        return QByteArray();
    }
    return selfContained(*bytes, name);
}
