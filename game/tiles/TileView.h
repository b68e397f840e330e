#pragma once

#include "TileGeometry.h"
#include "TilePainter.h"
#include "TileSize3D.h"
#include "tile.h"

#include <QGraphicsItem>

/// The scene item of one tile on the table: a meld or discard tile, a wall
/// stack, another player's concealed tile or a tile of the own hand. It draws
/// through the game painter of TileGraphics (or another painter given to
/// it), takes its bounding rectangle and shadow outline (item data key 1,
/// a "ShadowGeometry") from the current set and follows replacements of it.
class TileView : public QGraphicsItem, private TilePainter::Listner
{
public:
    enum { Type = UserType + 130 };

    TileView(int orientation, int type);
    TileView(int orientation, int type, tile t);
    ~TileView() override;

    /// The item data key that holds the shadow geometry.
    static constexpr int shadowDataKey = 1;

    tile tileCode() const { return m_tile; }
    /// Changes the tile shown; refreshes the tool tip and repaints.
    void setTile(tile t);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    /// The picture kind (TileImages::Kind, 0 to 9).
    int tileType() const { return m_type; }
    /// Changes the kind: geometry, shadow, tool tip and cursor follow.
    void setType(int type);
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    TilePainter* tilePainter() const { return m_painter; }
    /// Draws with another painter from now on (the claim chooser's own set).
    void setPainter(TilePainter* painter);

    /// Sets the tool tip anew in the current language (the tile's name, or
    /// nothing for concealed tiles and wall stacks).
    void updateToolTip();

    /// The current set's 3D size for this kind and orientation (all -1 without a set).
    TileSize3D size3D() const;
    /// Scene position, kind and orientation, for the tile animations.
    TileGeometry tileGeometry() const;

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void tileImagesAboutToChange(TilePainter* painter) override;
    void tileImagesChanged(TilePainter* painter) override;
    void refreshShadow();

    TilePainter* m_painter;
    tile m_tile = 0;
    bool m_highlighted = false;
    int m_type = 10;
    int m_orientation;
};
