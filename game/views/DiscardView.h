#pragma once

#include "ShadowedGroup.h"
#include "TileAnimationSource.h"
#include "TileAnimationTarget.h"

#include <vector>

class TileView;

/// The pond's role as a target: where a discard arriving from a hand will
/// lie, and taking it in. (A separate base so that the pond answers as a
/// target and as a source independently.)
class DiscardTargetRole : public TileAnimationTarget
{
public:
    std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles) override { return arrivalGeometry(tiles); }
    std::vector<TileGeometry> geometryFor(int) override { return {}; }
    void transfer(const std::vector<tile>& tiles) override { receive(tiles); }
    void transfer(int) override {}

protected:
    virtual std::vector<TileGeometry> arrivalGeometry(const std::vector<tile>& tiles) = 0;
    virtual void receive(const std::vector<tile>& tiles) = 0;
};

/// The pond's role as a source: the newest discard, given up to a claim.
class DiscardSourceRole : public TileAnimationSource
{
public:
    std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles) override
    {
        return departureGeometry(int(tiles.size()));
    }
    std::vector<TileGeometry> geometryFor(int count) override { return departureGeometry(count); }
    void transfer(const std::vector<tile>& tiles) override { giveUp(int(tiles.size())); }
    void transfer(int count) override { giveUp(count); }

protected:
    virtual std::vector<TileGeometry> departureGeometry(int count) = 0;
    virtual void giveUp(int count) = 0;
};

/// One player's discard pond: the discarded tiles face up in rows of six,
/// oldest first, with the riichi discard laid crosswise. The newest row stays
/// in place and older rows move away from the player by one tile per row.
/// It takes a discard from a hand and gives its newest tile to a claim: one
/// tile at a time either way.
class DiscardView : public ShadowedGroup, public DiscardTargetRole, public DiscardSourceRole
{
public:
    explicit DiscardView(int orientation);
    ~DiscardView() override;

    void addTile(tile t);
    /// Removes the newest discard and returns it; 0 when the pond is empty.
    tile takeLast();
    void clear();
    /// The pond of a snapshot: the tiles in order, the riichi discard turned.
    void setDiscards(const std::vector<tile>& tiles, int riichiIndex);
    /// The next discard is laid crosswise.
    void markNextAsRiichi();
    /// The newest discard is laid crosswise.
    void markLastAsRiichi();
    /// Highlights the newest discard (the last one of the table).
    void setActive(bool active);
    /// Lays every tile out again (new tile pictures or scale).
    void relayout();

    int orientation() const { return m_orientation; }
    int riichiIndex() const { return m_riichiIndex; }
    int count() const { return int(tiles.size()); }
    /// The tiles, oldest first.
    const std::vector<TileView*>& tileViews() const { return tiles; }

    /// The top-left corner of discard i in the pond's own coordinates (before
    /// the row offset).
    QPointF tilePosition(int i) const;
    /// The z value of discard i: overlapping tile bodies draw in order.
    double zValueFor(int i) const;

protected:
    std::vector<TileGeometry> arrivalGeometry(const std::vector<tile>& tiles) override;
    void receive(const std::vector<tile>& tiles) override;
    std::vector<TileGeometry> departureGeometry(int count) override;
    void giveUp(int count) override;

private:
    /// The pond's shift for a number of tiles: older rows move away from the
    /// player, the newest stays in place.
    QPointF rowOffset(int count) const;
    void applyRowOffset();
    QSizeF elementSize(int kind) const;

    std::vector<TileView*> tiles;
    int m_orientation;
    int m_riichiIndex = -1;
};
