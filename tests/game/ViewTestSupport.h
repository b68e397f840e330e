#pragma once

// The tile pictures the table views draw with, ready for a test: the
// program's search paths and the first back and face at scale 1.

#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileTestSupport.h"

#include <QTest>

namespace ViewTestSupport {

/// Installs the search paths and a tile set; true once the exact set is in.
inline bool prepareTiles()
{
    TileTestSupport::installSearchPaths();
    TileGraphics& graphics = TileGraphics::instance();
    graphics.setTiles(0, 0);
    return QTest::qWaitFor([&] { return !graphics.isRendering(); }, 20000)
        && graphics.gamePainter()->tileImages() != nullptr;
}

/// The (width, height) of a kind on a side in the game set.
inline QSize footprint(int side, int kind)
{
    const TileSize3D s = TileGraphics::instance().gamePainter()->tileImages()->size3D(side, kind);
    return QSize(s.width, s.height);
}

} // namespace ViewTestSupport
