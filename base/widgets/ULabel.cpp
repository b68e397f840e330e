#include "ULabel.h"

#include "Utils.h"

#include <QEvent>

ULabel::ULabel(QWidget* parent, Qt::WindowFlags flags)
    : QLabel(parent, flags)
{
    // An elided text cut inside its markup would show the rest of it.
    setTextFormat(Qt::PlainText);
}

void ULabel::setText(const QString& text)
{
    if (text == full)
        return;
    full = text;
    setToolTip(plainToolTip(full));
    reElide();
    reMeasure();
}

void ULabel::setElideMode(Qt::TextElideMode m)
{
    if (m == mode)
        return;
    mode = m;
    reElide();
    updateGeometry();
}

void ULabel::reElide()
{
    QLabel::setText(elideText(fontMetrics(), full, mode, width()));
}

void ULabel::reMeasure()
{
    const QString shown = QLabel::text();
    QLabel::setText(full);
    cachedSizeHint = QLabel::sizeHint();
    QLabel::setText(shown);
    updateGeometry();
}

QSize ULabel::sizeHint() const
{
    return cachedSizeHint.isValid() ? cachedSizeHint : QLabel::sizeHint();
}

QSize ULabel::minimumSizeHint() const
{
    if (mode == Qt::ElideNone)
        return sizeHint();
    return QSize(-1, QLabel::minimumSizeHint().height());
}

void ULabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    reElide();
}

void ULabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        reElide();
    QLabel::changeEvent(event);
}
