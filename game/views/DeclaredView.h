#pragma once

#include "ClaimedFrom.h"
#include "ScoreRecords.h"
#include "ShadowedGroup.h"
#include "TileAnimationTarget.h"
#include "meld.h"

#include <vector>

class MeldView;
class TilePainter;

/// One player's exposed melds and bonus tiles on that player's side of the
/// table: a row of meld views that wraps into further rows away from the
/// table's centre when it would pass the maximum length. Bonus tiles are kept
/// in one group per suit (flowers, seasons) after all melds. Also where the
/// tiles of a meld being declared fly to.
class DeclaredView : public ShadowedGroup, public TileAnimationTarget
{
public:
    DeclaredView(int orientation, double maxLength);
    ~DeclaredView() override;

    /// Removes every meld and bonus group.
    void clear();
    /// Every meld draws with this painter from now on.
    void setPainter(TilePainter* painter);
    TilePainter* painter() const { return m_painter; }
    /// The longest row in pixels before wrapping.
    void setMaxLength(double maxLength);
    /// Re-arranges every meld's tiles and lays the melds out again.
    void relayout();

    /// Adds a declared meld. `claimedFrom` decides where the turned tile
    /// lies (none: no tile is turned). Of a claimed chow, the tile turned is
    /// the one claimed: the record's claimed offset (its extra tile, 0 the
    /// lowest .. 2 the highest); an offset outside 0..2 turns none. The
    /// hidden level is the record's visibility. A pong extended to a kong
    /// replaces its pong in place. Types 16 and 128 change nothing.
    void declareMeld(const meld_tuple& m, ClaimedFrom claimedFrom);
    /// Adds a flower or season to its group (one group per suit, in tile
    /// order); the group takes the tile in place.
    void addBonusTile(tile t);
    /// Adds rows of scoring tiles before the bonus groups, in order, and lays
    /// them out once; a group's index p > 0 highlights its tile at p,
    /// counted from 1.
    void addMelds(const std::vector<HighlightedTiles>& groups);
    /// Every tile renews its tool tip.
    void updateToolTips();

    /// The meld views in display order.
    const std::vector<MeldView*>& melds() const { return m_melds; }
    int orientation() const { return m_orientation; }

    /// Where the tiles of the next meld will land (scene coordinates).
    std::vector<TileGeometry> geometryFor(int count) override;
    using TileAnimationTarget::geometryFor;
    /// The meld arrives through declareMeld; nothing to add here.
    void transfer(int count) override;
    using TileAnimationTarget::transfer;

    /// The room the table keeps across two rows of melds on the right and
    /// left (0 on the other sides), and on the bottom and top (0 on the
    /// others), at scale 1.
    static int reservedWidth(int orientation);
    static int reservedHeight(int orientation);

private:
    void insertMeld(std::size_t index, MeldView* view);
    void removeAt(std::size_t index);
    std::size_t firstBonusIndex() const;
    /// Places the melds from `from` on (all of them from 0).
    void layoutMelds(std::size_t from = 0);
    QSize declaredSize() const;
    int crossExtent() const;

    TilePainter* m_painter;
    int m_orientation;
    double m_maxLength;
    std::vector<MeldView*> m_melds;
    /// Where the row stands after each laid-out meld, so that a meld added
    /// lays out only itself and the bonus groups after it.
    struct Cursor
    {
        double x, y, rowExtent;
    };
    std::vector<Cursor> m_cursors;
};
