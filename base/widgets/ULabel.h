#pragma once

#include <QLabel>

/// A label that shows its text elided to its width and the whole text as
/// tooltip, both as written: markup in the text is shown, never read.
class ULabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(Qt::TextElideMode elideMode READ elideMode WRITE setElideMode)

public:
    explicit ULabel(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    void setText(const QString& text);
    /// The whole text (what QLabel::text() shows may be elided).
    QString fullText() const { return full; }

    Qt::TextElideMode elideMode() const { return mode; }
    void setElideMode(Qt::TextElideMode m);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void reElide();
    void reMeasure();

    Qt::TextElideMode mode = Qt::ElideMiddle;
    QString full;
    QSize cachedSizeHint{-1, -1};
};
