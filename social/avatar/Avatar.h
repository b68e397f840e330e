#pragma once

#include <QImage>
#include <QMetaType>
#include <QPixmap>

class QPainter;

/// One avatar picture of the chooser, with the overlay drawn over it when
/// it is selected. Travels in a QVariant (meta-type "Avatar").
struct Avatar
{
    Avatar() = default;
    /// Loads the selection overlay along with the picture.
    explicit Avatar(const QImage& image);

    /// Draws the picture centred in rect, and the overlay over it when selected.
    void paint(QPainter* painter, const QRect& rect, bool selected) const;

    QImage image;
    QPixmap selectionOverlay;
};

Q_DECLARE_METATYPE(Avatar)
