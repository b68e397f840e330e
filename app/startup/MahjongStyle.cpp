#include "MahjongStyle.h"

#include "ItemText.h"
#include "PictureFile.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <array>

namespace {

using ImageSet = std::array<QPixmap, 10>;

enum ImageIndex {
    FirstNormal = 0,
    FirstHover,
    FirstPressed,
    SecondNormal,
    SecondHover,
    SecondPressed,
    SliderNormal,
    SliderHover,
    SliderPressed,
    Groove,
};

const ImageSet& imageSet(Qt::Orientation orientation)
{
    static ImageSet* sets[2] = {nullptr, nullptr};
    const int i = orientation == Qt::Vertical ? 1 : 0;
    if (sets[i] == nullptr) {
        // Loaded on first use and kept for the life of the process.
        sets[i] = new ImageSet;
        const QStringList names = MahjongStyle::scrollBarImageNames(orientation);
        for (int k = 0; k < 10; ++k)
            (*sets[i])[k] = PictureFile::pixmap(names.at(k));
    }
    return *sets[i];
}

const QPixmap& stateImage(const ImageSet& set, bool active, bool pressed, int normal, int hover, int down)
{
    if (active)
        return set[pressed ? down : hover];
    return set[normal];
}

void drawWhole(QPainter* painter, const QRect& target, const QPixmap& pixmap)
{
    if (pixmap.isNull() || !target.isValid())
        return;
    painter->drawPixmap(target, pixmap);
}

}

MahjongStyle::MahjongStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

MahjongStyle::~MahjongStyle() = default;

QStringList MahjongStyle::scrollBarImageNames(Qt::Orientation orientation)
{
    const bool vertical = orientation == Qt::Vertical;
    const QString dir = vertical ? QStringLiteral("vert") : QStringLiteral("horiz");
    const QString first = vertical ? QStringLiteral("up") : QStringLiteral("left");
    const QString second = vertical ? QStringLiteral("down") : QStringLiteral("right");
    const auto name = [&dir](const QString& part, const char* state) {
        return QStringLiteral("resources:/scroll-%1-%2-%3.png").arg(dir, part, QLatin1String(state));
    };
    return {name(first, "normal"),  name(first, "hover"),  name(first, "active"),
            name(second, "normal"), name(second, "hover"), name(second, "active"),
            name(QStringLiteral("drag"), "normal"), name(QStringLiteral("drag"), "hover"),
            name(QStringLiteral("drag"), "active"), name(QStringLiteral("empty"), "normal")};
}

void MahjongStyle::drawNinePart(QPainter* painter, const QRect& target, const QPixmap& pixmap, int top, int right,
                                int bottom, int left)
{
    if (pixmap.isNull() || target.width() <= 0 || target.height() <= 0)
        return;
    const int sw = pixmap.width();
    const int sh = pixmap.height();
    const int sx[4] = {0, left, sw - right, sw};
    const int sy[4] = {0, top, sh - bottom, sh};
    const int tx[4] = {target.left(), target.left() + left, target.left() + target.width() - right,
                       target.left() + target.width()};
    const int ty[4] = {target.top(), target.top() + top, target.top() + target.height() - bottom,
                       target.top() + target.height()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect src(sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
            const QRect dst(tx[col], ty[row], tx[col + 1] - tx[col], ty[row + 1] - ty[row]);
            if (src.width() <= 0 || src.height() <= 0 || dst.width() <= 0 || dst.height() <= 0)
                continue;
            painter->drawPixmap(dst, pixmap, src);
        }
    }
}

void MahjongStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
    if (element != CE_ItemViewItem || item == nullptr || !ItemText::isOneLine(*item, item->text)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionViewItem rest(*item);
    rest.text.clear();
    QProxyStyle::drawControl(element, &rest, painter, widget);
    QPalette::ColorGroup group = (item->state & State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && (item->state & State_Active) == 0)
        group = QPalette::Inactive;
    painter->save();
    painter->setPen(item->palette.color(group, (item->state & State_Selected) != 0 ? QPalette::HighlightedText
                                                                                     : QPalette::Text));
    ItemText::drawLine(painter, *item, subElementRect(SE_ItemViewItemText, item, widget), item->text);
    painter->restore();
}

void MahjongStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                      const QWidget* widget) const
{
    if (control != CC_ScrollBar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (slider == nullptr)
        return;

    const Qt::Orientation orientation = slider->orientation;
    const bool pressed = (slider->state & State_Sunken) != 0;
    const QPoint origin = slider->rect.topLeft();
    const QRect subLine = subControlRect(control, slider, SC_ScrollBarSubLine, widget).translated(origin);
    const QRect addLine = subControlRect(control, slider, SC_ScrollBarAddLine, widget).translated(origin);
    const QRect sliderRect = subControlRect(control, slider, SC_ScrollBarSlider, widget).translated(origin);
    const QRect groove = subControlRect(control, slider, SC_ScrollBarGroove, widget).translated(origin);

    if (widget == nullptr || widget->testAttribute(Qt::WA_OpaquePaintEvent))
        painter->fillRect(slider->rect, QColor(0, 0, 0, 255));

    const QPainter::RenderHints hints = painter->renderHints();
    painter->setRenderHint(QPainter::Antialiasing, true);

    const ImageSet& set = imageSet(orientation);
    const bool vertical = orientation == Qt::Vertical;
    if (vertical)
        drawNinePart(painter, groove, set[Groove], 5, 3, 5, 3);
    else
        drawNinePart(painter, groove, set[Groove], 3, 5, 3, 5);

    const SubControls active = slider->activeSubControls;
    drawWhole(painter, subLine,
              stateImage(set, (active & SC_ScrollBarSubLine) != 0, pressed, FirstNormal, FirstHover, FirstPressed));
    drawWhole(painter, addLine,
              stateImage(set, (active & SC_ScrollBarAddLine) != 0, pressed, SecondNormal, SecondHover, SecondPressed));
    const QPixmap& sliderImage =
        stateImage(set, (active & SC_ScrollBarSlider) != 0, pressed, SliderNormal, SliderHover, SliderPressed);
    if (vertical)
        drawNinePart(painter, sliderRect, sliderImage, 5, 3, 5, 3);
    else
        drawNinePart(painter, sliderRect, sliderImage, 3, 5, 3, 5);

    painter->setRenderHint(QPainter::Antialiasing, hints.testFlag(QPainter::Antialiasing));
}

int MahjongStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return 15;
    case PM_ScrollBarSliderMin:
        return 17;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int MahjongStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_DialogButtonLayout:
        return 0;
    case SH_DialogButtonBox_ButtonsHaveIcons:
        return 0;
    case SH_MessageBox_CenterButtons:
        return 1;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}
