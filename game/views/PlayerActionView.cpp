#include "PlayerActionView.h"

#include "ClaimImage.h"
#include "PictureFile.h"

PlayerActionView::PlayerActionView(int orientation)
    : m_orientation(orientation)
{
    setTransformationMode(Qt::SmoothTransformation);
}

QString PlayerActionView::imagePath(int kind, int subKind, int ruleset)
{
    return ClaimImage::path(kind, subKind, ruleset, ClaimImage::tableMahjong);
}

void PlayerActionView::setClaim(int kind, int subKind)
{
    m_kind = kind;
    m_subKind = subKind;
    refresh();
}

void PlayerActionView::setAnchorMode(int mode)
{
    m_anchorMode = mode;
    refresh();
}

void PlayerActionView::setScale(double scale)
{
    m_scale = scale;
    refresh();
}

void PlayerActionView::setRuleset(int ruleset)
{
    m_ruleset = ruleset;
}

void PlayerActionView::refresh()
{
    const QString path = imagePath(m_kind, m_subKind, m_ruleset);
    setPixmap(path.isEmpty() ? QPixmap() : PictureFile::pixmap(path));
    const int w = pixmap().width();
    const int h = pixmap().height();
    // Each step is applied before the ones already set, as the word is
    // first turned, then moved against its anchor, then scaled.
    setTransform(QTransform::fromScale(1.5 * m_scale, 1.5 * m_scale));
    if (m_anchorMode == AnchorEdge) {
        const QPointF shift[4] = {{qreal(-w), 0}, {0, qreal(w)}, {0, qreal(-h)}, {0, qreal(-w)}};
        setTransform(QTransform::fromTranslate(shift[m_orientation & 3].x(), shift[m_orientation & 3].y()), true);
    }
    if (m_orientation == 1)
        setTransform(QTransform().rotate(270), true);
    else if (m_orientation == 3)
        setTransform(QTransform().rotate(90), true);
    if (m_anchorMode == AnchorCentre)
        setTransform(QTransform::fromTranslate(-(w / 2), -(h / 2)), true);
}
