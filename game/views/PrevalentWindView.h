#pragma once

#include <QGraphicsItem>

/// The prevalent (round) wind in the middle of the table, drawn with the seat
/// wind pictures, with a tool tip naming it.
class PrevalentWindView : public QGraphicsItem
{
public:
    PrevalentWindView();

    /// 0 East .. 3 North.
    void setWind(int wind);
    int wind() const { return m_wind; }
    void setScale(double scale);
    double scale() const { return m_scale; }
    /// The side of the square picture, ceil(62 x scale).
    int width() const;
    int height() const { return width(); }
    /// Renews the tool tip (after a language change).
    void retranslate();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    int m_wind = 0;
    double m_scale = 1.0;
};
