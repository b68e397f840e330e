#include "AssignWindAnimation.h"

#include "GameSounds.h"
#include "GameWindow.h"
#include "WindView.h"

#include <QGraphicsItemAnimation>
#include <QTimeLine>
#include <QTransform>

AssignWindAnimation::AssignWindAnimation(GameWindow* window, const std::array<WindView*, 4>& markers)
    : GameWindowAnimation(durationMs)
    , window(window)
    , markers(markers)
{
    QPointF sum;
    for (int o = 0; o < 4; ++o) {
        targets[std::size_t(o)] = window->windPosition(o);
        sum += targets[std::size_t(o)];
    }
    const QPointF c = sum * 0.25;
    for (int o = 0; o < 4; ++o) {
        const auto i = std::size_t(o);
        markers[i]->setPos(c);
        paths[i] = new QGraphicsItemAnimation(this);
        paths[i]->setItem(markers[i]);
        paths[i]->setTimeLine(timeLine());
        for (int k = 0; k <= frames; ++k) {
            const double t = k / double(frames);
            paths[i]->setPosAt(t, pathPoint(c, targets[i], t));
        }
    }
}

AssignWindAnimation::~AssignWindAnimation() = default;

QPointF AssignWindAnimation::pathPoint(const QPointF& c, const QPointF& p, double t)
{
    // Row-vector convention: first to the centre, then turn, then grow, then back.
    QTransform m = QTransform::fromTranslate(-c.x(), -c.y());
    m *= QTransform().rotate(t * -360.0);
    m *= QTransform::fromScale(t, t);
    m *= QTransform::fromTranslate(c.x(), c.y());
    return m.map(p);
}

void AssignWindAnimation::start(bool instant)
{
    if (window->isVisible())
        GameSounds::instance().play(12, 0);
    if (!instant)
        timeLine()->start();
}

void AssignWindAnimation::end(bool)
{
    timeLine()->stop();
    for (int o = 0; o < 4; ++o)
        markers[std::size_t(o)]->setPos(targets[std::size_t(o)]);
}
