#pragma once

#include <QGraphicsItem>

/// A seat's wind marker: a round indicator of the seat's wind, optionally
/// glowing (the player to act), turned to the seat's side of the table.
class WindView : public QGraphicsItem
{
public:
    explicit WindView(int orientation);

    int orientation() const { return m_orientation; }
    int wind() const { return m_wind; }
    /// A new wind repaints and sets the translated wind name as tool tip.
    void setWind(int wind);
    bool glow() const { return m_glow; }
    void setGlow(bool glow);
    double scale() const { return m_scale; }
    void setScale(double scale);

    /// The side of the square, ceil(62 x scale) pixels.
    int width() const;
    int height() const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    int m_orientation;
    int m_wind = 0;
    bool m_glow = false;
    double m_scale = 1.0;
};
