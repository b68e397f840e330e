#pragma once

#include "TileAnimationSource.h"
#include "WallLayout.h"
#include "tile.h"

#include <QGraphicsScene>
#include <QPoint>
#include <QPointer>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <array>
#include <memory>

struct TableInfo;
class TableWall;
class WallView;

/// Where tiles drawn from one end of the wall fly from: each tile taken
/// shortens the wall there.
class WallTileAnimationSource : public TileAnimationSource
{
public:
    WallTileAnimationSource(TableWall* wall, bool dead);

    /// n tiles at the end's position (a one-tile stack on the end's side).
    std::vector<TileGeometry> geometryFor(int count) override;
    using TileAnimationSource::geometryFor;
    /// Takes n tiles off that end.
    void transfer(int count) override;
    using TileAnimationSource::transfer;

private:
    TableWall* wall;
    bool dead;
};

/// The four walls around the middle of the table for the server's wall state:
/// the live and dead ends, the dora indicators, and the two ends that drawn
/// tiles fly from. Owned by the table window; its rows live in the table's scene.
class TableWall
{
public:
    explicit TableWall(QGraphicsScene* scene);
    ~TableWall();

    TableWall(const TableWall&) = delete;
    TableWall& operator=(const TableWall&) = delete;

    /// Takes the table's ruleset: stacks per side and how the tiles lie.
    void setRuleset(const TableInfo& table);
    /// Shows a wall state, turned by `rotation` sides.
    void setWall(int rotation, int liveTiles, int deadWallTiles, int deadWallPos, int deadWallDealt,
                 const tile_vector& doraTiles);
    /// The same with the bottom seat's wind as the rotation (the table window's step).
    void setUp(int bottomWind, int liveWall, int deadWall, int deadWallPosition, int deadWallDealt,
               const tile_vector& doraTiles)
    {
        setWall(bottomWind, liveWall, deadWall, deadWallPosition, deadWallDealt, doraTiles);
    }
    /// Takes one tile from the live or the dead wall.
    void takeTile(bool dead);
    /// Reveals another dora indicator.
    void addDoraTile(tile t);
    void addKanDora(tile t) { addDoraTile(t); }
    /// Places everything again (after the tile size changed).
    void relayout();
    /// Places the walls with their top-left corner at `origin`.
    void setPos(QPoint origin);
    /// Where shadows are cast from, for all four rows.
    void setLightPosition(const QPointF& scenePosition);

    int width() const;
    int height() const;
    QRectF boundingRect() const;
    /// The free middle of the table inside the walls.
    QRectF innerRect() const;
    /// The size with the base set.
    QSize baseSize() const;

    /// Where tiles drawn from the wall come from: the dead or the live end.
    TileAnimationSource* source(bool dead);
    TileAnimationSource* tileSource(bool fromDeadWall) { return source(fromDeadWall); }

    /// The next live tile, for the deal: its side, top-left and z-value.
    int liveEndSide() const { return m_liveEndSide; }
    QPointF liveEndPos() const { return m_liveEndPos; }
    double liveEndZ() const { return m_liveEndZ; }
    int deadEndSide() const { return m_deadEndSide; }
    QPointF deadEndPos() const { return m_deadEndPos; }
    double deadEndZ() const { return m_deadEndZ; }

    int stacksPerSide() const { return m_stacksPerSide; }
    int fillMode() const { return m_fillMode; }
    int liveTiles() const { return m_state.liveTiles; }
    int deadWallTiles() const { return m_state.deadWallTiles; }
    int deadWallDealt() const { return m_state.deadWallDealt; }
    WallView* view(int side) const { return m_views[std::size_t(side)]; }

private:
    void makeViews();
    void apply();
    double endZ(int side, int globalStack) const;

    /// The rows belong to the scene once added: a scene that went first took them along.
    QPointer<QGraphicsScene> m_scene;
    bool m_inScene = false;
    std::array<WallView*, 4> m_views{};
    int m_ruleset = 1;
    int m_stacksPerSide = 18;
    bool m_compact = false;
    int m_fillMode = 2;
    QPoint m_origin;
    int m_rotation = 0;
    WallLayout::State m_state;
    int m_liveEndSide = 0;
    QPointF m_liveEndPos;
    QPointF m_deadEndPos;
    int m_deadEndSide = 0;
    double m_liveEndZ = 0;
    double m_deadEndZ = 0;
    std::unique_ptr<WallTileAnimationSource> m_liveSource;
    std::unique_ptr<WallTileAnimationSource> m_deadSource;
};
