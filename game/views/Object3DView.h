#pragma once

#include <QBrush>
#include <QGraphicsItem>
#include <QPen>

#include <array>
#include <vector>

/// A small three-dimensional object drawn through a 4 x 4 projective
/// matrix: points, line segments or texture-mapped triangles. Points are row
/// vectors: a vertex v lands at p = v . M, seen at (p.x / p.w, p.y / p.w).
class Object3DView : public QGraphicsItem
{
public:
    enum Kind { Points = 0, Lines = 1, TexturedTriangles = 2 };

    struct Vertex
    {
        double x = 0, y = 0, z = 0, w = 1;
    };
    using Matrix = std::array<double, 16>; ///< row by row, element k = row x 4 + column

    explicit Object3DView(int kind);

    int kind() const { return m_kind; }
    void setTransform4x4(const double m[16]);
    const Matrix& transform4x4() const { return m_matrix; }
    /// The texture; its own transform (e.g. scaling the picture into one
    /// texture unit) is kept under the per-triangle mapping.
    void setBrush(const QBrush& brush);
    void setVertices(const std::vector<Vertex>& vertices);
    /// One texture point per vertex, for textured triangles only; a count
    /// that is not a multiple of 3 is dropped.
    void setTextureCoordinates(const std::vector<QPointF>& points);

    /// Where a vertex is drawn in item coordinates.
    QPointF project(const Vertex& v) const;
    /// The texture mapping of a triangle: (0, 0) to a, (1, 0) to 2a - b,
    /// (0, 1) to 2a - c.
    static QTransform triangleTransform(const QPointF& a, const QPointF& b, const QPointF& c);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    int m_kind;
    Matrix m_matrix{};
    std::vector<Vertex> m_vertices;
    std::vector<QPointF> m_textureCoordinates;
    QBrush m_brush{Qt::white};
    QPen m_pen;
    std::vector<QTransform> m_textureTransforms;
};
