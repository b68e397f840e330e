#pragma once

#include "ParlorResources.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace ArtSearchPaths {

/// The search paths as the program sets them up at start (no command-line
/// directories): the edition tree first, then the default tree.
inline void install()
{
    QDir::setSearchPaths(QStringLiteral("resources"), ParlorResources::compiledTrees());
    QDir::setSearchPaths(QStringLiteral("avatars"), {QStringLiteral("resources:avatars")});
    QDir::setSearchPaths(QStringLiteral("textimages"),
        {QStringLiteral("resources:/text-images/en"), QStringLiteral("resources:/text-images")});
}

/// The text images of a language, as the translations manager chooses them.
inline void useLanguage(const QString& lang)
{
    QDir::setSearchPaths(QStringLiteral("textimages"),
        {QStringLiteral("resources:/text-images/") + lang, QStringLiteral("resources:/text-images")});
}

inline QImage transparentImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

/// An element fitted to the whole image and turned about its centre, the way
/// the table renders tile faces.
inline QImage rotatedRender(QSvgRenderer& svg, const QString& id, int w, int h, double degrees)
{
    QImage img = transparentImage(w, h);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF b = svg.boundsOnElement(id);
    p.scale(w, h);
    p.translate(0.5, 0.5);
    p.rotate(degrees);
    p.scale(1 / b.width(), 1 / b.height());
    p.translate(-b.center());
    svg.render(&p, id, b);
    return img;
}

/// The split render of the tile backs: the upper fraction sh / (sh + sd) of
/// the element into the top w x h, the rest into the d pixels below.
inline QImage splitRender(QSvgRenderer& svg, const QString& id, int w, int h, int d, double sh, double sd)
{
    QImage img = transparentImage(w, h + d);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF b = svg.boundsOnElement(id);
    const double cut = b.height() * sh / (sh + sd);
    const QRectF parts[2] = {QRectF(b.x(), b.y(), b.width(), cut),
        QRectF(b.x(), b.y() + cut, b.width(), b.height() - cut)};
    const QRectF targets[2] = {QRectF(0, 0, w, h), QRectF(0, h, w, d)};
    for (int i = 0; i < 2; ++i) {
        p.save();
        p.setClipRect(targets[i]);
        p.translate(targets[i].topLeft());
        p.scale(targets[i].width() / parts[i].width(), targets[i].height() / parts[i].height());
        p.translate(-parts[i].topLeft());
        svg.render(&p, id, b);
        p.restore();
    }
    return img;
}

/// Pixels whose alpha is above half.
inline int opaquePixels(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            count += qAlpha(img.pixel(x, y)) > 127 ? 1 : 0;
    return count;
}

/// Light, warm and opaque: the ivory of a tile's face.
inline bool isIvory(QRgb c)
{
    return qAlpha(c) > 200 && qRed(c) > 200 && qGreen(c) > 190 && qBlue(c) > 150;
}

} // namespace ArtSearchPaths
