#include "SelectorButton.h"

#include "TimeSpan.h"
#include "TimerView.h"
#include "Utils.h"

#include <QIcon>
#include <QTextDocument>

SelectorButton::SelectorButton(QWidget* parent)
    : QPushButton(parent)
    , timeout(new TimerView(this, {}, TimerView::PIE, TimerView::GRADIENT))
{
    timeout->setObjectName(QStringLiteral("tableTimeout"));
    setCheckable(true);
    setIcon(QIcon(QStringLiteral("resources:/smiley-normal.png")));
}

SelectorButton::~SelectorButton() = default;

void SelectorButton::setTableName(const QString& name)
{
    m_name = name;
    showName();
    // A tool tip that looks like markup would be shown as markup.
    setToolTip(Qt::convertFromPlainText(name));
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
        setIcon(QIcon(QStringLiteral("resources:/smiley-normal.png")));
    else if (kind == 2)
        setIcon(QIcon(QStringLiteral("resources:/trophy-normal.png")));
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

void SelectorButton::wantsAttention(bool)
{
}

void SelectorButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    timeout->setGeometry(width() - 20, (height() - 12) / 2, 12, 12);
}
