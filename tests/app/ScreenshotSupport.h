#pragma once

// Saving a window's picture as a test artifact in the working directory.

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QWidget>

namespace screenshots {

/// Colours of every fourth pixel in both directions.
inline int colourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

/// Lets the window settle, then saves it; false for a blank or one-colour
/// picture, which would mean nothing was drawn.
inline bool save(QWidget* window, const QString& name, int settleMs = 200)
{
    QTest::qWait(settleMs);
    const QImage image = window->grab().toImage();
    return colourCount(image) > 20 && image.save(QDir::current().filePath(name));
}

}
