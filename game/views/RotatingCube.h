#pragma once

#include "Object3DView.h"

#include <QObject>
#include <QTimer>

/// The table's hidden cube: the six faces textured with a picture, turned
/// every 20 ms while it is shown and its table is on screen; its timer stops
/// while the cube or every view of its scene is hidden.
class RotatingCube : public QObject, public Object3DView
{
    Q_OBJECT

public:
    explicit RotatingCube(QObject* parent = nullptr);

    /// The picture on every face, scaled to fill one texture unit.
    void setPicture(const QImage& picture);
    /// The turning matrix at a time of day (milliseconds since midnight).
    static Matrix turningMatrix(int msecsSinceMidnight);
    /// Whether the turning timer runs.
    bool isTurning() const { return timer.isActive(); }

public Q_SLOTS:
    /// Turns the cube to the current time of day.
    void onCubeUpdate();

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTimer();

    QTimer timer;
};
