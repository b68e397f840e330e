#pragma once

#include "GraphicsNode.h"
#include "tile.h"

#include <QRect>

#include <vector>

class TilePainter;
class TileView;

/// One meld drawn as a short row of tiles for one side of the table: a chow,
/// pong, kong, pong extended to a kong, pair, a single tile or a given row,
/// face up or partly face down, with the claimed tile turned sideways (the
/// added fourth tile of an extended pong lies on top of it). Used by the
/// declared melds of every seat, the claim chooser's previews and the score
/// board. A meld's tiles never change; a given row may take more
/// (insertTile). The painter and the layout may change.
class MeldView : public GraphicsNode
{
public:
    /// One meld whose tile is `t` (a chow's lowest tile); see
    /// MeldLayout::slots for the claim and hidden level. Throws
    /// std::runtime_error "can't create view for unhandled meld-type" for a
    /// type other than 1, 2, 4, 8, 32, 64, 128.
    MeldView(int side, int meldType, tile t, int claimedPosition, int claimedOffset, int hiddenLevel);
    /// A given row of face-up tiles (type 64 a plain row, 16 scoring tiles).
    MeldView(int side, int meldType, const tile_vector& tiles);
    ~MeldView() override;

    /// The meld type given at construction.
    int kind() const { return meldType; }
    int side() const { return m_side; }
    int claimedPosition() const { return m_claimedPosition; }
    int claimedOffset() const { return m_claimedOffset; }
    int hiddenLevel() const { return m_hiddenLevel; }

    /// Draws with another painter from now on and lays the tiles out again.
    void setPainter(TilePainter* painter);
    TilePainter* painter() const { return m_painter; }
    /// Places the tiles again (after the tile images changed).
    void relayout();
    /// Adds a face-up tile to a given row, after the tiles of lower or equal
    /// code, and places the row's tiles again.
    void insertTile(tile t);
    /// Highlights the first not yet highlighted tile showing `t`.
    void highlightTile(tile t);
    /// Turns the first not yet turned tile showing `t` sideways.
    void setTurnedTile(tile t);
    /// Every tile renews its tool tip (after a language change).
    void updateToolTips();
    /// The tile codes in row order.
    tile_vector tiles() const;
    /// The tile items in row order.
    const std::vector<TileView*>& items() const { return m_items; }
    /// The meld's extent in its own coordinates.
    QRect rect() const;

    /// Room across a row of melds on the right and left sides (0 on others),
    /// and along the row on the bottom and top (0 on others), for two sideways
    /// tiles stacked; measured with the base tile set.
    static int sideExtent(int side);
    static int rowExtent(int side);

private:
    void addTile(tile t, int kind);

    TilePainter* m_painter;
    int m_side;
    int meldType;
    int m_hiddenLevel = 0;
    int m_claimedPosition = -1;
    int m_claimedOffset = -1;
    QPoint cursor;
    std::vector<TileView*> m_items;
};
