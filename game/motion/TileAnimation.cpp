#include "TileAnimation.h"

#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QGraphicsScene>
#include <QTimeLine>

TileAnimation::TileAnimation(QGraphicsScene* s, QTimeLine* timeLine, int k, int from, int to, double start,
                             double end)
    : tileView(new TileView(from, k))
    , scene(s)
    , fromOrientation(from)
    , toOrientation(to)
    , startStep(start)
    , endStep(end)
    , kind(k)
{
    if (startStep > 0) {
        // The picture rests until its start.
        setRotationAt(0, 0);
        setRotationAt(startStep - 0.00001, 0);
    }
    setRotationAt(startStep, quarterTurns(kind, fromOrientation, toOrientation) * 90.0);
    setRotationAt(endStep, 0);
    centreFor(fromOrientation, kind);
    if (scene != nullptr) {
        scene->addItem(tileView);
        addedToScene = true;
    }
    tileView->setZValue(100.0);
    setItem(tileView);
    setTimeLine(timeLine);
}

TileAnimation::~TileAnimation()
{
    // A scene that went first has deleted the picture with its items.
    if (scene != nullptr) {
        scene->removeItem(tileView);
        delete tileView;
    } else if (!addedToScene) {
        delete tileView;
    }
}

int TileAnimation::quarterTurns(int kind, int from, int to)
{
    if (kind == TileImages::Declared || kind == TileImages::Hand) {
        int q = ((to - from) % 4 + 4) % 4;
        return q == 3 ? -1 : q;
    }
    return ((to - from) % 2 + 2) % 2;
}

QPointF TileAnimation::halfSize(int orientation, int k) const
{
    const TileImages* images = tileView->tilePainter() ? tileView->tilePainter()->tileImages() : nullptr;
    if (images == nullptr)
        return QPointF();
    const QRectF r = images->rect(orientation, k);
    return QPointF(r.width() / 2, r.height() / 2);
}

void TileAnimation::centreFor(int orientation, int k)
{
    // Rotation and scaling turn about the picture's centre.
    const QPointF half = halfSize(orientation, k);
    setTranslationAt(0, -half.x(), -half.y());
    tileView->setTransform(QTransform::fromTranslate(-half.x(), -half.y()));
}

void TileAnimation::setTile(tile t)
{
    tileView->setTile(t);
}

void TileAnimation::setStartPos(const QPointF& p)
{
    const QPointF centre = p + halfSize(fromOrientation, kind);
    tileView->setPos(centre);
    setPosAt(0, centre);
    setPosAt(startStep, centre);
}

void TileAnimation::setEndPos(const QPointF& p)
{
    setPosAt(endStep, p + halfSize(toOrientation, kind));
}

void TileAnimation::setStartScale(double s)
{
    setScaleAt(startStep, s, s);
    if (startStep == 0) {
        const QPointF half = halfSize(fromOrientation, kind);
        tileView->setTransform(QTransform::fromTranslate(-half.x(), -half.y()) * QTransform::fromScale(s, s));
    }
}

void TileAnimation::setEndScale(double s)
{
    setScaleAt(endStep, s, s);
}

void TileAnimation::setZValue(double z)
{
    tileView->setZValue(z);
}

void TileAnimation::setZBefore(double z)
{
    if (startStep == 0)
        tileView->setZValue(z);
    m_zBefore = z;
}

void TileAnimation::setZAfter(double z)
{
    m_zAfter = z;
}

void TileAnimation::retarget(const QPointF& p, double s)
{
    setEndPos(p);
    setEndScale(s);
    if (timeLine() != nullptr && timeLine()->state() == QTimeLine::Running)
        return;
    centreFor(toOrientation, kind);
    setStep(1.0);
}

void TileAnimation::afterAnimationStep(qreal step)
{
    bool recentred = false;
    if (step >= startStep && tileView->orientation() != toOrientation) {
        centreFor(toOrientation, tileView->tileType());
        tileView->setOrientation(toOrientation);
        recentred = true;
    }
    if (step >= startStep && tileView->tileType() != kind) {
        centreFor(tileView->orientation(), kind);
        tileView->setType(kind);
        recentred = true;
    }
    // This step's transform was made with the old centre.
    if (recentred)
        tileView->setTransform(transformAt(step));
    if (step < endStep && step >= startStep) {
        if (tileView->zValue() != m_zBefore)
            tileView->setZValue(m_zBefore);
    } else if (step >= endStep) {
        tileView->setZValue(m_zAfter);
    }
}
