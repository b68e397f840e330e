#pragma once

#include "tile.h"

#include <QGraphicsItemAnimation>
#include <QPointer>

class QGraphicsScene;
class QTimeLine;
class TileView;

/// Moves one tile picture over the table on a shared time line: from a
/// position in one seat's orientation to a position in another's, turning
/// about its centre and scaling from the source picture's size to the
/// target's. The picture is drawn in the target orientation from the start
/// step on; a rotation of the quarter turns between the two orientations,
/// falling to 0, makes it look like the source tile at first. Positions are
/// top-left corners, as the views report them.
class TileAnimation : public QGraphicsItemAnimation
{
    Q_OBJECT

public:
    /// Adds a picture of `kind` in `fromOrientation` to the scene at z 100;
    /// it moves between `startStep` and `endStep` (parts of the time line).
    TileAnimation(QGraphicsScene* scene, QTimeLine* timeLine, int kind, int fromOrientation, int toOrientation,
                  double startStep, double endStep);
    /// Takes the picture off the scene.
    ~TileAnimation() override;

    void setTile(tile t);
    /// The picture stands at `p` now and until the start step.
    void setStartPos(const QPointF& p);
    /// The picture arrives at `p` at the end step.
    void setEndPos(const QPointF& p);
    void setStartScale(double s);
    void setEndScale(double s);
    void setZValue(double z);
    /// The z value while moving.
    void setZBefore(double z);
    /// The z value from the end step on.
    void setZAfter(double z);
    /// Arrives at `p` with scale `s` instead, for a table laid out anew; a
    /// picture no longer moving stands there at once, drawn at the present
    /// tile size.
    void retarget(const QPointF& p, double s);

    /// Quarter turns the picture makes: from the source orientation to the
    /// target one (-1, 0, 1 or 2) for face-up kinds, modulo 2 for the others.
    static int quarterTurns(int kind, int fromOrientation, int toOrientation);

    /// The moving picture.
    TileView* picture() const { return tileView; }
    double zBefore() const { return m_zBefore; }
    double zAfter() const { return m_zAfter; }

protected:
    void afterAnimationStep(qreal step) override;

private:
    /// Half the picture's size for an orientation and kind of the current set.
    QPointF halfSize(int orientation, int kind) const;
    void centreFor(int orientation, int kind);

    TileView* tileView;
    QPointer<QGraphicsScene> scene;
    bool addedToScene = false;
    int fromOrientation;
    int toOrientation;
    double startStep;
    double endStep;
    int kind;
    double m_zBefore = 100.0;
    double m_zAfter = 100.0;
};
