#pragma once

#include "GameWindowAnimation.h"
#include "tile.h"

#include <vector>

class QGraphicsScene;
class TileAnimation;
class TileAnimationSource;
class TileAnimationTarget;

/// Moves a group of tiles from one view of the table to another: a discard
/// from a hand to a pond, a claimed discard back to a hand, meld and bonus
/// tiles to the declared area, drawn tiles from the wall. Known tiles move
/// face up; a count of concealed tiles moves face down. The tiles leave the
/// source when the move starts and appear in the target when it ends; in
/// between only the moving pictures are seen, above everything else.
class TileAnimationSet : public GameWindowAnimation
{
    Q_OBJECT

public:
    /// Moves the given tiles face up; of a list past maxTiles the first
    /// maxTiles are seen flying.
    TileAnimationSet(QGraphicsScene* scene, TileAnimationSource* source, TileAnimationTarget* target, int durationMs,
                     const std::vector<tile>& tiles);
    /// Moves `count` concealed tiles face down; a count from the server past
    /// maxTiles moves maxTiles.
    TileAnimationSet(QGraphicsScene* scene, TileAnimationSource* source, TileAnimationTarget* target, int durationMs,
                     int count);
    ~TileAnimationSet() override;

    void start(bool instant) override;
    void end(bool instant) override;

    /// The moving pictures (empty before the start and for instant moves).
    const std::vector<TileAnimation*>& moves() const { return animations; }

    /// Durations the table uses: discards, claims, melds and bonus tiles.
    static constexpr int discardMs = 300;
    /// Tiles drawn from the wall.
    static constexpr int drawMs = 500;
    /// The tiles of a whole set: no move carries more.
    static constexpr int maxTiles = 144;

private:
    QGraphicsScene* scene;
    std::vector<TileAnimation*> animations;
    TileAnimationSource* source;
    TileAnimationTarget* target;
    int count;
    std::vector<tile> tiles;
};
