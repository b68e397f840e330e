#pragma once

#include "ClaimedFrom.h"
#include "tile.h"

#include <QPointF>
#include <QRect>
#include <QSize>

#include <vector>

/// The arithmetic of a meld row, apart from any graphics item: which tile
/// stands where, which is face down or turned sideways, and where each tile's
/// picture goes for the table side the meld lies on.
namespace MeldLayout {

/// The picture kinds a meld uses (the tile item kinds).
enum TileKind { FaceUp = 0, FaceDown = 1, Sideways = 2 };

/// One tile of a meld row.
struct Slot
{
    tile code;
    int kind = FaceUp;

    friend bool operator==(const Slot&, const Slot&) = default;
};

/// The row of a meld, in row order. `claimedPosition` (-1 none, else 0..2) is
/// where the claimed tile lies; `claimedOffset` (chows only) which of the
/// three was claimed, 0 the lowest; `hiddenLevel` 0 face up, 1 outer tiles of
/// a kong face down, 2 all face down. A chow whose offset lies outside 0..2 or
/// whose tiles would run past the last tile code is drawn unclaimed; codes past
/// the last one are drawn as face-down concealed tiles rather than read out of
/// range. Throws std::runtime_error for a type other than 1, 2, 4, 8, 32, 64, 128.
std::vector<Slot> slots(int meldType, tile t, int claimedPosition, int claimedOffset, int hiddenLevel);

/// Where a claimed tile lies in the row: 0 (the row's start) for a tile from
/// the left, 1 from across, 2 (the row's end) from the right; -1 for none.
int claimedPosition(ClaimedFrom from);

/// The cursor's start: rows are always thick enough for two sideways tiles
/// stacked. `upright` is the face-up footprint, `sideways` the sideways one.
QPoint cursorStart(int side, QSize upright, QSize sideways);

/// The anchor of a tile of footprint `size` at `cursor` on `side`.
QPointF placement(int side, QPoint cursor, QSize size);

/// The row's positions: one point per tile of the given footprints, plus the
/// cursor after the last one. `stackedAt` >= 0 stacks tiles c and c+1 in one
/// column (a pong extended to a kong).
struct Placed
{
    std::vector<QPointF> positions;
    QPoint cursor;
};
Placed layout(int side, QPoint start, const std::vector<QSize>& footprints, int stackedAt = -1);

/// The meld's extent in its own coordinates from the final cursor.
QRect extent(int side, QPoint cursor);

} // namespace MeldLayout
