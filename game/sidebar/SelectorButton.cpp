#include "SelectorButton.h"

#include "PictureFile.h"
#include "TimeSpan.h"
#include "TimerView.h"
#include "Utils.h"

#include <QIcon>
#include <QPen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextDocument>

#include <algorithm>

namespace {
/// The countdown dial's size and its distance from the button's right end.
constexpr int dialSize = 12;
constexpr int dialMargin = 8;
/// The room kept at the right end for the dial, a small gap included.
constexpr int dialRoom = dialSize + dialMargin + 4;
/// The width of the frame of a table that waits for the user.
constexpr qreal attentionPen = 3.0;
}

SelectorButton::SelectorButton(QWidget* parent)
    : QPushButton(parent)
    , timeout(new TimerView(this, {}, TimerView::PIE, TimerView::GRADIENT))
{
    timeout->setObjectName(QStringLiteral("tableTimeout"));
    setCheckable(true);
    setIcon(PictureFile::icon(QStringLiteral("resources:/smiley-normal.png")));
}

SelectorButton::~SelectorButton() = default;

void SelectorButton::setTableName(const QString& name)
{
    m_name = name;
    showName();
    // A tool tip that looks like markup would be shown as markup.
    setToolTip(richToolTip(name));
}

void SelectorButton::setShortened(bool shortened)
{
    if (shortened == m_shortened)
        return;
    m_shortened = shortened;
    showName();
}

void SelectorButton::showName()
{
    const QString shown = m_shortened ? elideMiddle(m_name, 8) : m_name;
    // "&" would otherwise mark a shortcut and vanish from the name.
    setText(QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")));
}

void SelectorButton::setKind(int kind)
{
    if (kind == 0)
        setIcon(PictureFile::icon(QStringLiteral("resources:/smiley-normal.png")));
    else if (kind == 2)
        setIcon(PictureFile::icon(QStringLiteral("resources:/trophy-normal.png")));
    else
        setIcon(QIcon());
}

void SelectorButton::setTimeout(const TimeSpan& ts)
{
    if (!ts.end().isValid()) {
        // Cleared as well as hidden, so that its ticker stops.
        timeout->setTimeSpan(TimeSpan());
        timeout->hide();
        return;
    }
    timeout->setTimeSpan(ts);
    timeout->show();
}

void SelectorButton::wantsAttention(bool attention)
{
    if (attention == m_attention)
        return;
    m_attention = attention;
    update();
}

void SelectorButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    timeout->setGeometry(width() - dialMargin - dialSize, (height() - dialSize) / 2, dialSize, dialSize);
}

QSize SelectorButton::sizeHint() const
{
    return QPushButton::sizeHint() + QSize(dialRoom, 0);
}

QSize SelectorButton::minimumSizeHint() const
{
    return QPushButton::minimumSizeHint() + QSize(dialRoom, 0);
}

void SelectorButton::paintEvent(QPaintEvent*)
{
    // The face, frame and focus mark span the button; the icon and the name
    // keep left of the dial's place, so that the countdown never covers them.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    QStyleOptionButton face = option;
    face.text.clear();
    face.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, face);
    QStyleOptionButton label = option;
    label.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    label.rect.setRight(std::min(label.rect.right(), width() - dialRoom));
    painter.drawControl(QStyle::CE_PushButtonLabel, label);
    if (m_attention && !isChecked()) {
        // A table elsewhere waits for the user: a frame that stands out on any face.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(230, 110, 0), attentionPen));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    }
}
