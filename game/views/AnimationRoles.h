#pragma once

#include "TileAnimationSource.h"
#include "TileAnimationTarget.h"

/// A view that both gives and takes tiles cannot answer the two interfaces
/// with one set of overrides: their operations share signatures but mean
/// opposite things (remove versus add). These two bases route each interface
/// to operations of its own name.
class AnimationSourceRole : public TileAnimationSource
{
public:
    std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles) override { return sourceGeometry(tiles); }
    std::vector<TileGeometry> geometryFor(int count) override { return sourceGeometry(count); }
    void transfer(const std::vector<tile>& tiles) override { takeTiles(tiles); }
    void transfer(int count) override { takeTiles(count); }

protected:
    virtual std::vector<TileGeometry> sourceGeometry(const std::vector<tile>& tiles)
    {
        return sourceGeometry(int(tiles.size()));
    }
    virtual std::vector<TileGeometry> sourceGeometry(int count) = 0;
    virtual void takeTiles(const std::vector<tile>& tiles) { takeTiles(int(tiles.size())); }
    virtual void takeTiles(int count) = 0;
};

class AnimationTargetRole : public TileAnimationTarget
{
public:
    std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles) override { return targetGeometry(tiles); }
    std::vector<TileGeometry> geometryFor(int count) override { return targetGeometry(count); }
    void transfer(const std::vector<tile>& tiles) override { putTiles(tiles); }
    void transfer(int count) override { putTiles(count); }

protected:
    virtual std::vector<TileGeometry> targetGeometry(const std::vector<tile>& tiles)
    {
        return targetGeometry(int(tiles.size()));
    }
    virtual std::vector<TileGeometry> targetGeometry(int count) = 0;
    virtual void putTiles(const std::vector<tile>& tiles) { putTiles(int(tiles.size())); }
    virtual void putTiles(int count) = 0;
};
