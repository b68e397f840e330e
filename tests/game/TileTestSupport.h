#pragma once

// Small tile sheets made by the tests, and the search paths the program sets
// up at start, for the tile picture tests.

#include "ParlorResources.h"
#include "TileImages.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>

namespace TileTestSupport {

inline void installSearchPaths()
{
    QDir::setSearchPaths(QStringLiteral("resources"), ParlorResources::compiledTrees());
    QDir::setSearchPaths(QStringLiteral("avatars"), {QStringLiteral("resources:avatars")});
    QDir::setSearchPaths(QStringLiteral("textimages"),
                         {QStringLiteral("resources:/text-images/en"), QStringLiteral("resources:/text-images")});
}

inline QStringList backIds()
{
    QStringList ids{QStringLiteral("hand"), QStringLiteral("handHighlight"), QStringLiteral("declaredBottomTurned"),
                    QStringLiteral("declaredTopTurned")};
    for (const char* side : {"Bottom", "Right", "Top", "Left"})
        for (const char* kind : {"declared", "hidden", "wallSingle", "wallDouble", "wallTriple", "wallDora"})
            ids << QLatin1String(kind) + QLatin1String(side);
    return ids;
}

inline QStringList faceIds()
{
    QStringList ids;
    for (int t = 0; t < TileImages::faceCount; ++t)
        ids << TileImages::faceElementId(tile(std::uint8_t(t)));
    return ids;
}

/// An SVG sheet of opaque squares under the given ids, written to a file.
inline QString writeSvgSheet(const QString& path, const QStringList& ids)
{
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"100\">")
                      .arg(ids.size() * 110);
    for (int i = 0; i < ids.size(); ++i)
        svg += QStringLiteral("<rect id=\"%1\" x=\"%2\" y=\"0\" width=\"100\" height=\"100\" fill=\"#%3\"/>")
                   .arg(ids[i])
                   .arg(i * 110)
                   .arg(QString::number(0x204060 + i * 0x030201, 16).right(6));
    svg += QStringLiteral("</svg>");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(svg.toUtf8());
    return path;
}

/// An opaque PNG sheet of the given size.
inline QString writePngSheet(const QString& path, int w, int h, QColor colour = QColor(200, 180, 120))
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(colour);
    img.save(path, "PNG");
    return path;
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

} // namespace TileTestSupport
