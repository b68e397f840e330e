#pragma once

#include "AnimationRoles.h"
#include "GraphicsNode.h"
#include "TileView.h"
#include "tile.h"

#include <QObject>

#include <vector>

class HandView;
class QGraphicsSvgItem;

/// One standing tile of the own hand: rises a little while the mouse is over
/// it (when it may be clicked) and reports a press to its hand.
class HandTile : public TileView
{
public:
    /// How far a hovered tile rises, in pixels.
    static constexpr int hoverLift = 5;

    explicit HandTile(HandView* hand);

    int hoverOffset() const { return m_hoverOffset; }
    /// Lowers the tile if raised, then enables it only if it may be clicked.
    void refresh();

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void lower();

    HandView* m_hand;
    int m_hoverOffset = 0;
};

/// The own concealed tiles as one sorted row standing in a wooden frame. The
/// row grows leftwards from the view's origin, codes rising from left to
/// right. While active the tiles can be clicked (all of them, or only those of
/// the allowed list); a click reports the tile. Tiles fly out of it and into it.
class HandView : public QObject, public GraphicsNode, public AnimationSourceRole, public AnimationTargetRole
{
    Q_OBJECT

public:
    HandView();
    ~HandView() override;

    /// Shows exactly these tiles, sorted.
    void setTiles(const tile_vector& tiles);
    void clear() { setTiles({}); }
    /// The codes from the right end (highest first).
    tile_vector tiles() const;
    /// The tile items from the right end.
    const std::vector<HandTile*>& items() const { return m_tiles; }

    /// Whether clicks are accepted; becoming inactive empties the allowed list.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    /// Only these codes may be clicked (empty: all of them).
    void setAllowedTiles(const tile_vector& tiles);
    const tile_vector& allowedTiles() const { return m_allowed; }
    /// Whether a tile of this code may be clicked now.
    bool isClickable(tile t) const;

    /// Highlights the first not yet highlighted tile of this code.
    void highlightTile(tile t);
    void clearHighlights();
    /// Whether a new hand marks the tiles just drawn: while the hand is
    /// active, that is while the user is to discard one of them.
    bool isMarkingDrawnTiles() const { return m_active; }
    /// Shows these tiles and drops every mark; in the drawn-tile marking
    /// mode each tile of `drawn` is then marked once (a code drawn twice
    /// marks two tiles).
    void setTiles(const tile_vector& tiles, const tile_vector& drawn);
    void updateToolTips();
    /// Places every tile and the frame again (after the tile size changed).
    void relayout();

    /// Where notices about the hand are anchored: above its middle.
    QPointF anchor() const;
    /// The own tile's picture height.
    int tileHeight() const;
    /// The height the table keeps for the hand at the game scale, and at the base scale.
    static int height();
    static int baseHeight();

    /// How many half tiles left of the right end a tile of code `t` would be
    /// inserted into tiles listed from the right end: 1, plus 2 for every
    /// higher code, plus 1 for every equal one.
    static int insertionSteps(const tile_vector& fromRight, tile t);

    /// The frame behind the tiles.
    QGraphicsSvgItem* frameItem() const { return m_frame; }

Q_SIGNALS:
    /// A tile was pressed while the hand was active.
    void tileClicked(tile t);

protected:
    std::vector<TileGeometry> sourceGeometry(const std::vector<tile>& tiles) override;
    std::vector<TileGeometry> sourceGeometry(int count) override;
    void takeTiles(const std::vector<tile>& tiles) override;
    void takeTiles(int count) override;
    std::vector<TileGeometry> targetGeometry(const std::vector<tile>& tiles) override;
    std::vector<TileGeometry> targetGeometry(int count) override;
    void putTiles(const std::vector<tile>& tiles) override;
    void putTiles(int count) override;

private:
    friend class HandTile;
    void layoutFrame(int n);
    /// Where a tile lands `steps` half tiles left of the right end.
    QPointF insertionPoint(int steps) const;
    int tileWidth() const;

    std::vector<HandTile*> m_tiles;
    bool m_active = false;
    tile_vector m_allowed;
    QGraphicsSvgItem* m_frame = nullptr;
};
