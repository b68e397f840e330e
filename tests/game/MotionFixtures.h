#pragma once

// Tile pictures for the motion and pond tests: the program's search paths,
// the first back and face at scale 1.0, and no render left running.

#include "ArtSearchPaths.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"

#include <QDeadlineTimer>
#include <QTest>

namespace motion {

inline const TileImages* installTiles()
{
    ArtSearchPaths::install();
    TileGraphics& g = TileGraphics::instance();
    g.setTiles(0, 0);
    // The exact render replaces the quick set; wait so sizes stay put.
    QDeadlineTimer deadline(20000);
    while (g.isRendering() && !deadline.hasExpired())
        QTest::qWait(10);
    return g.isRendering() ? nullptr : g.gamePainter()->tileImages();
}

inline QSizeF size(int orientation, int kind)
{
    return TileGraphics::instance().gamePainter()->tileImages()->rect(orientation, kind).size();
}

}
