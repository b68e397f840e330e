#include "RotatingCube.h"

#include <QEvent>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QTime>

#include <cmath>

namespace {

using Matrix = Object3DView::Matrix;

Matrix identity()
{
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

/// The ordinary product: row of the left by column of the right.
Matrix times(const Matrix& a, const Matrix& b)
{
    Matrix r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            for (int k = 0; k < 4; ++k)
                r[row * 4 + col] += a[row * 4 + k] * b[k * 4 + col];
    return r;
}

} // namespace

RotatingCube::RotatingCube(QObject* parent)
    : QObject(parent)
    , Object3DView(TexturedTriangles)
{
    const Vertex corners[8] = {{1, 1, 1, 1},   {-1, 1, 1, 1},   {-1, 1, -1, 1},  {1, 1, -1, 1},
                               {1, -1, 1, 1},  {-1, -1, 1, 1},  {-1, -1, -1, 1}, {1, -1, -1, 1}};
    const int order[36] = {0, 1, 2, 2, 3, 0, 5, 4, 7, 7, 6, 5, 4, 5, 1, 1, 0, 4,
                           6, 7, 3, 3, 2, 6, 5, 6, 2, 2, 1, 5, 7, 4, 0, 0, 3, 7};
    std::vector<Vertex> vertices;
    for (int i : order)
        vertices.push_back(corners[i]);
    setVertices(vertices);
    std::vector<QPointF> texture;
    for (int f = 0; f < 6; ++f)
        texture.insert(texture.end(), {QPointF(f, 0), QPointF(f + 1, 0), QPointF(f + 1, 1), QPointF(f + 1, 1),
                                       QPointF(f, 1), QPointF(f, 0)});
    setTextureCoordinates(texture);
    const Matrix m = turningMatrix(0);
    setTransform4x4(m.data());
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &RotatingCube::onCubeUpdate);
}

void RotatingCube::setPicture(const QImage& picture)
{
    if (picture.isNull())
        return;
    QBrush brush(picture);
    brush.setTransform(QTransform::fromScale(1.0 / picture.width(), 1.0 / picture.height()));
    setBrush(brush);
}

Object3DView::Matrix RotatingCube::turningMatrix(int msecs)
{
    const double a1 = qDegreesToRadians(msecs * 73.0 / 2000.0);
    const double a2 = qDegreesToRadians(msecs * 90.0 / 2000.0);
    Matrix rx = identity();
    rx[5] = rx[10] = std::cos(a2);
    rx[6] = -std::sin(a2);
    rx[9] = std::sin(a2);
    Matrix ry = identity();
    ry[0] = ry[10] = std::cos(a1);
    ry[2] = std::sin(a1);
    ry[8] = -std::sin(a1);
    Matrix t = identity();
    t[14] = 5;
    Matrix p = identity();
    p[11] = 0.5;
    p[15] = 0;
    Matrix s = identity();
    s[0] = s[5] = 100;
    s[12] = s[13] = 100;
    return times(times(times(times(rx, ry), t), p), s);
}

void RotatingCube::onCubeUpdate()
{
    const Matrix m = turningMatrix(QTime::currentTime().msecsSinceStartOfDay());
    setTransform4x4(m.data());
}

QVariant RotatingCube::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemVisibleHasChanged || change == ItemSceneHasChanged)
        updateTimer();
    return Object3DView::itemChange(change, value);
}

bool RotatingCube::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        updateTimer();
    return QObject::eventFilter(watched, event);
}

void RotatingCube::updateTimer()
{
    bool onScreen = false;
    if (QGraphicsScene* s = scene()) {
        for (QGraphicsView* view : s->views()) {
            view->removeEventFilter(this);
            view->installEventFilter(this);
            onScreen = onScreen || view->isVisible();
        }
    }
    if (isVisible() && onScreen) {
        if (!timer.isActive()) {
            onCubeUpdate();
            timer.start();
        }
    } else {
        timer.stop();
    }
}
