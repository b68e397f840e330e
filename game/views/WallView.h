#pragma once

#include "ShadowedGroup.h"
#include "tile.h"

#include <map>
#include <vector>

class TilePainter;
class TileView;

/// One side's row of wall stacks. Each stack is empty, one, two or three
/// tiles high, or shows a face-up (dora) tile lying on it; lower stacks are
/// moved down so that all share one base line.
class WallView : public ShadowedGroup
{
public:
    WallView(int side, int stackCount);
    ~WallView() override;

    /// Sets every stack from the kinds of the whole wall: stack i takes the
    /// kind at firstStack + i, or shows the tile there when `shown` has one.
    void update(int firstStack, const std::vector<int>& kinds, const std::map<int, tile>& shown);
    /// Places every stack again (after the tile size changed).
    void relayout();

    int side() const { return m_side; }
    int stackCount() const { return int(m_stacks.size()); }
    const std::vector<TileView*>& stacks() const { return m_stacks; }
    /// The position and z-value of stack i for its current kind.
    QPointF stackPosition(int i) const;
    double stackZ(int i) const;

    /// The row's extent with the game set, and with the base set.
    int width() const;
    int height() const;
    int baseWidth() const;
    int baseHeight() const;
    /// How far the lowest stack is moved down: the depth of a three-tile stack.
    static int maxLift();

private:
    int widthWith(const TilePainter* painter) const;
    int heightWith(const TilePainter* painter) const;
    void place(int i);

    int m_side;
    std::vector<TileView*> m_stacks;
};
