#pragma once

#include "GameWindowAnimation.h"

#include <QPointF>

#include <array>

class GameWindow;
class QGraphicsItemAnimation;
class WindView;

/// The start of a round: the four wind markers spiral out of the middle of
/// the table to their seats in one turn, growing their distance evenly.
class AssignWindAnimation : public GameWindowAnimation
{
    Q_OBJECT

public:
    static constexpr int durationMs = 1000;
    /// Key frames of each marker's path (0 to frames, both ends included).
    static constexpr int frames = 50;

    AssignWindAnimation(GameWindow* window, const std::array<WindView*, 4>& markers);
    ~AssignWindAnimation() override;

    /// Plays the assignment sound; unless `instant`, the markers start moving.
    void start(bool instant) override;
    /// Every marker stands at its seat.
    void end(bool instant) override;

    /// A marker's position at step t (0..1) of a path from the centre c to p.
    static QPointF pathPoint(const QPointF& c, const QPointF& p, double t);

private:
    GameWindow* window;
    std::array<WindView*, 4> markers;
    std::array<QPointF, 4> targets;
    std::array<QGraphicsItemAnimation*, 4> paths{};
};
