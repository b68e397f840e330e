// Tile sets: accessors, the rescaled copy, shadows and the stream form. The
// rendering from sheets is in TileSheets.cpp.

#include "TileImages.h"

#include "TileImages_p.h"

#include "PictureDecoder.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

bool validIndex(int orientation, int kind)
{
    return orientation >= 0 && orientation < TileImages::orientationCount && kind >= 0
        && kind < TileImages::kindCount;
}

const QImage& nullImage()
{
    static const QImage null;
    return null;
}

int shadowDepth(int kind)
{
    switch (kind) {
    case TileImages::Hidden:
    case TileImages::WallDouble:
    case TileImages::WallDora:
        return 10;
    case TileImages::WallTriple:
        return 15;
    default:
        return 5;
    }
}

QImage smoothlyScaled(const QImage& image, double f)
{
    if (image.isNull())
        return image;
    // The quick set stands in on the GUI thread until the worker's exact one
    // is ready. Enlarged smoothly, a 4K table's set takes longer than a
    // frame; enlarged plainly it stands in as well, for that moment.
    return image.scaled(qRound(image.width() * f), qRound(image.height() * f), Qt::IgnoreAspectRatio,
                        f > 1.0 ? Qt::FastTransformation : Qt::SmoothTransformation);
}

/// Reads one picture of the stream form (a null marker, then a PNG image, as
/// QDataStream writes a QImage). The PNG header's size is checked before
/// anything is decoded: a picture larger than `limit` on either side, or
/// with more bytes than such a picture stored without any compression,
/// throws.
void readPicture(QDataStream& in, QImage& image, int limit)
{
    if (in.status() != QDataStream::Ok)
        return;
    qint32 marker = 0;
    in >> marker;
    if (in.status() != QDataStream::Ok)
        return;
    if (marker == 0) {
        image = QImage();
        return;
    }
    const PictureDecoder::Limits limits{PictureDecoder::Format::Png, limit, qint64(limit) * limit, QSize()};
    const qint64 maxBytes = 2 * qint64(limit) * (4 * limit + 1) + 4096;
    const PictureDecoder::Result result = PictureDecoder::readPng(*in.device(), limits, maxBytes);
    if (const auto* error = std::get_if<PictureDecoder::Error>(&result)) {
        if (error->kind == PictureDecoder::Error::TooLarge)
            throw std::runtime_error("Picture larger than its set");
        in.setStatus(error->kind == PictureDecoder::Error::Truncated ? QDataStream::ReadPastEnd
                                                                     : QDataStream::ReadCorruptData);
        return;
    }
    image = std::get<QImage>(result);
}

/// The widest or highest picture of a set at scale 1 (the own standing tile
/// and the wall stacks are the largest), with room for rounding.
constexpr int designPictureSide = 96;

} // namespace

int TileImages::maxPictureSide(double scale)
{
    return int(std::ceil(designPictureSide * std::clamp(scale, 0.0, maxStoredScale))) + 2;
}

void TileImages::Private::resetRects()
{
    for (int o = 0; o < orientationCount; ++o)
        for (int k = 0; k < kindCount; ++k) {
            const QImage& img = elements[o][k];
            rects[o][k] = img.isNull() ? QRectF() : QRectF(0, 0, img.width(), img.height());
        }
}

void TileImages::Private::computeShadows()
{
    for (int o = 0; o < orientationCount; ++o)
        for (int k = 0; k < kindCount; ++k)
            shadows[o][k] = shadowFor(rects[o][k], sizes[o][k].height, k);
}

void TileImages::Private::premultiply()
{
    // Pictures come back from the stream as plain ARGB; painting wants them
    // premultiplied, or every blit converts them again.
    const auto convert = [](QImage& img) {
        if (!img.isNull() && img.format() != QImage::Format_ARGB32_Premultiplied)
            img.convertTo(QImage::Format_ARGB32_Premultiplied);
    };
    for (int o = 0; o < orientationCount; ++o) {
        for (QImage& img : elements[o])
            convert(img);
        for (QImage& img : faces[o])
            convert(img);
        convert(highlights[o]);
    }
    for (QImage& img : handFaces)
        convert(img);
    for (QImage& img : handImages)
        convert(img);
}

void TileImages::Private::setHandRect()
{
    const QImage& hand = handImages[0];
    rects[Bottom][Hand] = hand.isNull() ? QRectF() : QRectF(0, 0, hand.width(), hand.height());
}

TileImages::TileImages(const QString& blankPath, const QString& facePath, const QString& highlightPath, double scale)
    : d(std::make_unique<Private>())
{
    d->scale = scale;
    d->renderBack(blankPath);
    d->renderFaces(facePath);
    d->renderHighlights(highlightPath);
}

TileImages::TileImages(const TileImages& source, double scale)
    : d(std::make_unique<Private>())
{
    const Private& s = *source.d;
    const double f = s.scale > 0 ? scale / s.scale : 1.0;
    d->scale = scale;
    d->refusedBack = s.refusedBack;
    d->refusedFace = s.refusedFace;
    for (int o = 0; o < orientationCount; ++o) {
        for (int k = 0; k < kindCount; ++k) {
            d->elements[o][k] = smoothlyScaled(s.elements[o][k], f);
            d->sizes[o][k] = s.sizes[o][k].scaled(f);
        }
        for (int t = 0; t < faceCount; ++t)
            d->faces[o][t] = smoothlyScaled(s.faces[o][t], f);
        d->highlights[o] = smoothlyScaled(s.highlights[o], f);
    }
    for (int t = 0; t < faceCount; ++t)
        d->handFaces[t] = smoothlyScaled(s.handFaces[t], f);
    for (int i = 0; i < 2; ++i)
        d->handImages[i] = smoothlyScaled(s.handImages[i], f);
    d->resetRects();
    for (int o = 0; o < orientationCount; ++o)
        for (int k = 0; k < kindCount; ++k) {
            const QRectF& from = s.rects[o][k];
            const double x = int(int(from.x()) * f + 0.5);
            const double y = int(int(from.y()) * f + 0.5);
            d->rects[o][k].moveTo(x, y);
        }
    d->setHandRect();
    d->computeShadows();
}

TileImages::TileImages(QDataStream& in)
    : d(std::make_unique<Private>())
{
    readStream(in, nullptr);
}

TileImages::TileImages(QDataStream& in, double expectedScale)
    : d(std::make_unique<Private>())
{
    readStream(in, &expectedScale);
}

void TileImages::readStream(QDataStream& in, const double* expectedScale)
{
    qint32 version = 0;
    in >> version;
    if (version != streamVersion)
        throw std::runtime_error("Wrong serialized version");
    double base = 0, hand = 0;
    in >> base >> hand;
    if (base != baseProportion || hand != handProportion)
        throw std::runtime_error("Other proportions used");
    in >> d->scale;
    if (expectedScale && d->scale != *expectedScale)
        throw std::runtime_error("Other scale");
    if (!(d->scale > 0 && d->scale <= maxStoredScale))
        throw std::runtime_error("Scale out of range");
    // Every picture's size is checked against the scale before it is
    // decoded: a crafted file must not make a few bytes into megapixels.
    const int limit = maxPictureSide(d->scale);
    for (int o = 0; o < orientationCount && in.status() == QDataStream::Ok; ++o)
        for (int k = 0; k < kindCount && in.status() == QDataStream::Ok; ++k) {
            TileSize3D& size = d->sizes[o][k];
            readPicture(in, d->elements[o][k], limit);
            in >> size.width >> size.height >> size.depth >> d->rects[o][k];
        }
    for (int o = 0; o < orientationCount && in.status() == QDataStream::Ok; ++o) {
        for (int t = 0; t < faceCount && in.status() == QDataStream::Ok; ++t)
            readPicture(in, d->faces[o][t], limit);
        readPicture(in, d->highlights[o], limit);
    }
    for (int t = 0; t < faceCount && in.status() == QDataStream::Ok; ++t)
        readPicture(in, d->handFaces[t], limit);
    readPicture(in, d->handImages[0], limit);
    readPicture(in, d->handImages[1], limit);
    d->premultiply();
    d->setHandRect();
    d->computeShadows();
}

TileImages::~TileImages() = default;

QDataStream& operator<<(QDataStream& out, const TileImages& images)
{
    const TileImages::Private& d = *images.d;
    out << TileImages::streamVersion << TileImages::baseProportion << TileImages::handProportion << d.scale;
    for (int o = 0; o < TileImages::orientationCount; ++o)
        for (int k = 0; k < TileImages::kindCount; ++k) {
            const TileSize3D& size = d.sizes[o][k];
            out << d.elements[o][k] << size.width << size.height << size.depth << d.rects[o][k];
        }
    for (int o = 0; o < TileImages::orientationCount; ++o) {
        for (int t = 0; t < TileImages::faceCount; ++t)
            out << d.faces[o][t];
        out << d.highlights[o];
    }
    for (int t = 0; t < TileImages::faceCount; ++t)
        out << d.handFaces[t];
    out << d.handImages[0] << d.handImages[1];
    return out;
}

QString TileImages::refusedBack() const
{
    return d->refusedBack;
}

QString TileImages::refusedFace() const
{
    return d->refusedFace;
}

double TileImages::scale() const
{
    return d->scale;
}

const QImage& TileImages::element(int orientation, int kind) const
{
    return validIndex(orientation, kind) ? d->elements[orientation][kind] : nullImage();
}

const QImage& TileImages::face(int orientation, tile t) const
{
    if (orientation < 0 || orientation >= orientationCount || t.code() >= faceCount)
        return nullImage();
    return d->faces[orientation][t.code()];
}

const QImage& TileImages::handFace(tile t) const
{
    return t.code() < faceCount ? d->handFaces[t.code()] : nullImage();
}

const QImage& TileImages::handImage(int index) const
{
    if (index == 0 || index == 1)
        return d->handImages[index];
    if (index != 2)
        return nullImage();
    std::call_once(d->overlayOnce, [this] {
        const QImage hand = d->handImages[0].convertToFormat(QImage::Format_ARGB32);
        QImage overlay(hand.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < hand.height(); ++y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(hand.constScanLine(y));
            QRgb* dst = reinterpret_cast<QRgb*>(overlay.scanLine(y));
            for (int x = 0; x < hand.width(); ++x)
                dst[x] = qRgba(0, 0, 0, qAlpha(src[x]) / 3);
        }
        d->overlay = overlay;
    });
    return d->overlay;
}

const QImage& TileImages::highlight(int orientation) const
{
    return orientation >= 0 && orientation < orientationCount ? d->highlights[orientation] : nullImage();
}

TileSize3D TileImages::size3D(int orientation, int kind) const
{
    return validIndex(orientation, kind) ? d->sizes[orientation][kind] : TileSize3D();
}

QRectF TileImages::rect(int orientation, int kind) const
{
    return validIndex(orientation, kind) ? d->rects[orientation][kind] : QRectF();
}

ShadowGeometry TileImages::shadow(int orientation, int kind) const
{
    return validIndex(orientation, kind) ? d->shadows[orientation][kind] : ShadowGeometry();
}

QString TileImages::faceElementId(tile t)
{
    return QString::fromStdString(tileToString(t)).toLower().replace(QLatin1Char(' '), QLatin1Char('_'));
}

ShadowGeometry TileImages::shadowFor(const QRectF& rect, int surfaceHeight, int kind)
{
    const double w = rect.width();
    const double R = rect.height();
    const double h = surfaceHeight == -1 ? R : surfaceHeight;
    const double r = std::min(w, h) / 30;
    const double a = r / 2;
    const double c = 2 * r;
    const double top = R - h + a;
    const double bottom = R - a;
    QPolygonF outline;
    outline << QPointF(a + c, top) << QPointF(a, top + c) << QPointF(a, bottom - c) << QPointF(a + c, bottom)
            << QPointF(w - a - c, bottom) << QPointF(w - a, bottom - c) << QPointF(w - a, top + c)
            << QPointF(w - a - c, top);
    // The outline is drawn where the picture is: shifted by its offset.
    outline.translate(rect.topLeft());
    return ShadowGeometry{outline, shadowDepth(kind)};
}
