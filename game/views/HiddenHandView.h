#pragma once

#include "AnimationRoles.h"
#include "ShadowedGroup.h"

#include <vector>

class TileView;

/// Another player's concealed hand: up to 14 tile backs in a row on that
/// player's side of the table. Tiles dealt, drawn, discarded or melded fly
/// from and to the end of the row.
class HiddenHandView : public ShadowedGroup, public AnimationSourceRole, public AnimationTargetRole
{
public:
    static constexpr int maxTiles = 14;

    explicit HiddenHandView(int side);
    ~HiddenHandView() override;

    /// Shows n tile backs; n outside 0..14 is ignored.
    void setCount(int n);
    /// The same as setCount (the table window's name for it).
    void setTileCount(int n) { setCount(n); }
    int count() const { return int(m_tiles.size()); }
    int orientation() const { return m_side; }

    /// Slot i's position in the view and in the scene.
    QPointF slotPosition(int i) const;
    QPointF slotScenePosition(int i) const;
    /// The z-value of slot i: later tiles lie above earlier ones on the right
    /// side, below them on the left side.
    static double slotZ(int side, int i);
    double slotZ(int i) const { return slotZ(m_side, i); }

    /// Places every tile again (after the tile size changed).
    void relayout();
    const std::vector<TileView*>& items() const { return m_tiles; }

protected:
    std::vector<TileGeometry> sourceGeometry(int count) override;
    void takeTiles(int count) override;
    std::vector<TileGeometry> targetGeometry(int count) override;
    void putTiles(int count) override;

private:
    int m_side;
    std::vector<TileView*> m_tiles;
};
