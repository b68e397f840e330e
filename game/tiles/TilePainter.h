#pragma once

#include "tile.h"

#include <set>

class QPainter;
class QPoint;
class TileImages;

/// Holds the current tile set and draws single tiles from it; tells its
/// listeners (the tile items) before and after the set is replaced, so that
/// they can announce a geometry change and refresh what they derive from it.
/// GUI thread only. Drawing before any set is installed draws nothing.
class TilePainter
{
public:
    /// Told around a replacement of the set. (The name is the one the table
    /// views were written against.)
    class Listner
    {
    public:
        virtual ~Listner() = default;
        /// The painter's set is about to be replaced (or the listener is about
        /// to leave this painter).
        virtual void tileImagesAboutToChange(TilePainter* painter) {}
        /// The painter has its new set (or the listener joined this painter).
        virtual void tileImagesChanged(TilePainter* painter) {}
    };

    TilePainter();
    /// Forgets the listeners without telling them, then deletes the set.
    ~TilePainter();

    TilePainter(const TilePainter&) = delete;
    TilePainter& operator=(const TilePainter&) = delete;

    /// Takes ownership: tells every listener before, swaps and deletes the
    /// old set, tells every listener after.
    void setTileImages(TileImages* images);
    /// The current set, or null before the first one.
    const TileImages* tileImages() const;

    /// Registers a listener (each at most once).
    void addListener(Listner* listener);
    /// Returns how many entries were removed: 0 or 1.
    int removeListener(Listner* listener);
    /// The number of registered listeners.
    int listenerCount() const;

    /// A face-up tile lying on the table (kind Declared); tile 255 draws the
    /// back, with the highlight at the unshifted position.
    void drawTile(QPainter* painter, const QPoint& pos, tile t, int orientation, bool highlighted) const;
    /// A face-down tile lying on the table (kind Back).
    void drawBack(QPainter* painter, const QPoint& pos, int orientation) const;
    /// A crosswise meld tile showing the face of the next orientation.
    void drawTurnedTile(QPainter* painter, const QPoint& pos, tile t, int orientation) const;
    /// The own standing tile: picture 0 normal or 1 highlighted, its face
    /// below the picture's depth, dimmed when not enabled.
    void drawHandTile(QPainter* painter, const QPoint& pos, tile t, int imageIndex, bool enabled) const;
    /// Another player's concealed standing tile.
    void drawHiddenTile(QPainter* painter, const QPoint& pos, int orientation) const;
    /// A wall stack of level + 1 tiles (level 0 to 2).
    void drawWallStack(QPainter* painter, const QPoint& pos, int orientation, int level) const;
    /// The dora indicator on its stack; nothing for tile 255.
    void drawDoraTile(QPainter* painter, const QPoint& pos, tile t, int orientation) const;

private:
    TileImages* images = nullptr;
    std::set<Listner*> listeners;
};
