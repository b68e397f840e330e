#pragma once

#include <QProxyStyle>

/// The application style: Fusion with scroll bars drawn entirely from the
/// program's images, a fixed button layout for dialog button boxes and
/// message boxes, and the one-line texts of item views on their font's own
/// baseline (a row's Latin and CJK cells share it).
class MahjongStyle : public QProxyStyle
{
    Q_OBJECT

public:
    MahjongStyle();
    ~MahjongStyle() override;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    /// Draws the image into the target cut into nine cells by the margins
    /// (top, right, bottom, left): corners keep their size, edges stretch in
    /// one direction, the centre in both.
    static void drawNinePart(QPainter* painter, const QRect& target, const QPixmap& pixmap, int top, int right,
                             int bottom, int left);

    /// The resource names of the ten scroll bar images of one orientation.
    static QStringList scrollBarImageNames(Qt::Orientation orientation);
};
