#include "Object3DView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

Object3DView::Object3DView(int kind)
    : m_kind(kind)
{
    if (kind == TexturedTriangles) {
        m_pen = QPen(Qt::NoPen);
    } else {
        m_pen = QPen(Qt::white);
        m_pen.setCosmetic(true);
    }
}

void Object3DView::setTransform4x4(const double m[16])
{
    prepareGeometryChange();
    std::copy(m, m + 16, m_matrix.begin());
    update();
}

void Object3DView::setBrush(const QBrush& brush)
{
    m_brush = brush;
    update();
}

void Object3DView::setVertices(const std::vector<Vertex>& vertices)
{
    prepareGeometryChange();
    m_vertices = vertices;
    update();
}

void Object3DView::setTextureCoordinates(const std::vector<QPointF>& points)
{
    if (m_kind != TexturedTriangles || points.size() % 3 != 0)
        return;
    m_textureCoordinates = points;
    m_textureTransforms.clear();
    for (size_t i = 0; i + 2 < points.size(); i += 3) {
        bool invertible = false;
        const QTransform inverse = triangleTransform(points[i], points[i + 1], points[i + 2]).inverted(&invertible);
        m_textureTransforms.push_back(invertible ? inverse : QTransform(0, 0, 0, 0, 0, 0));
    }
    update();
}

QTransform Object3DView::triangleTransform(const QPointF& a, const QPointF& b, const QPointF& c)
{
    return QTransform(a.x() - b.x(), a.y() - b.y(), a.x() - c.x(), a.y() - c.y(), a.x(), a.y());
}

namespace {

/// v . M for a row vector v.
std::array<double, 4> rowTimes(const Object3DView::Vertex& v, const Object3DView::Matrix& m)
{
    const double in[4] = {v.x, v.y, v.z, v.w};
    std::array<double, 4> out{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            out[col] += in[row] * m[row * 4 + col];
    return out;
}

} // namespace

QPointF Object3DView::project(const Vertex& v) const
{
    const std::array<double, 4> p = rowTimes(v, m_matrix);
    if (p[3] == 0 || !std::isfinite(p[0] / p[3]) || !std::isfinite(p[1] / p[3]))
        return QPointF();
    return QPointF(p[0] / p[3], p[1] / p[3]);
}

QRectF Object3DView::boundingRect() const
{
    if (m_vertices.empty())
        return QRectF(0, 0, 0, 0);
    QPointF first = project(m_vertices.front());
    double left = first.x(), right = first.x(), top = first.y(), bottom = first.y();
    for (const Vertex& v : m_vertices) {
        const QPointF p = project(v);
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    const double half = m_pen.style() == Qt::NoPen ? 0.0 : std::max(m_pen.widthF(), 1.0) / 2;
    return QRectF(QPointF(left, top), QPointF(right, bottom)).adjusted(-half, -half, half, half);
}

void Object3DView::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->setPen(m_pen);
    painter->setBrush(m_brush);
    if (m_kind == Points) {
        QPolygonF points;
        for (const Vertex& v : m_vertices)
            points << project(v);
        painter->drawPoints(points);
        return;
    }
    if (m_kind == Lines) {
        for (size_t i = 0; i + 1 < m_vertices.size(); i += 2)
            painter->drawLine(project(m_vertices[i]), project(m_vertices[i + 1]));
        return;
    }
    if (m_kind != TexturedTriangles || m_vertices.size() % 3 != 0)
        return;
    painter->setPen(Qt::NoPen);
    // Far triangles first: a convex object then hides its own back faces.
    const size_t count = m_vertices.size() / 3;
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> depth(count);
    for (size_t t = 0; t < count; ++t) {
        double w = 0;
        for (size_t k = 0; k < 3; ++k)
            w += rowTimes(m_vertices[3 * t + k], m_matrix)[3];
        depth[t] = w;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return depth[a] > depth[b]; });
    const QTransform textureScale = m_brush.transform();
    for (size_t t : order) {
        const QPointF a = project(m_vertices[3 * t]);
        const QPointF b = project(m_vertices[3 * t + 1]);
        const QPointF c = project(m_vertices[3 * t + 2]);
        QBrush brush = m_brush;
        if (t < m_textureTransforms.size())
            brush.setTransform(textureScale * m_textureTransforms[t] * triangleTransform(a, b, c));
        painter->setBrush(brush);
        const QPointF triangle[3] = {a, b, c};
        painter->drawPolygon(triangle, 3);
    }
}
