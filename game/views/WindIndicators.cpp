#include "WindIndicators.h"

#include "SvgDocument.h"

#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cmath>
#include <cstring>

namespace {

struct Indicators
{
    QSvgRenderer renderer{SvgDocument::read(QStringLiteral("resources:/wind-indicators.svg"))};
    QSizeF maxSize{-1, -1};

    Indicators()
    {
        for (const char* id : {"east", "blank", "glow"}) {
            const QSizeF s = renderer.boundsOnElement(QLatin1String(id)).size();
            maxSize = maxSize.expandedTo(s);
        }
    }
};

Indicators& indicators()
{
    static Indicators instance;
    return instance;
}

const char* const windNames[4] = {"east", "south", "west", "north"};
const char* const prevalentNames[4] = {"prevalentEast", "prevalentSouth", "prevalentWest", "prevalentNorth"};

} // namespace

QSvgRenderer& WindIndicators::renderer()
{
    return indicators().renderer;
}

QSizeF WindIndicators::maxSize()
{
    return indicators().maxSize;
}

QString WindIndicators::windElement(int wind)
{
    return wind >= 0 && wind < 4 ? QLatin1String(windNames[wind]) : QString();
}

QString WindIndicators::cacheKey(const QString& elementId, double scale, int orientation)
{
    quint64 bits = 0;
    std::memcpy(&bits, &scale, sizeof bits);
    return QStringLiteral("detailPainter:%1:%2:%3").arg(elementId, QString::number(bits, 16), QString::number(orientation));
}

QPixmap WindIndicators::cachedPixmap(const QString& elementId, double scale, const QTransform& transform, int orientation)
{
    const QString key = cacheKey(elementId, scale, orientation);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    const int side = int(std::ceil(scale * 62));
    QImage image(qMax(side, 1), qMax(side, 1), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QSvgRenderer& svg = renderer();
    if (svg.elementExists(elementId)) {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        p.save();
        p.translate(31 * scale, 31 * scale);
        p.scale(62 * scale, 62 * scale);
        p.setTransform(transform, true);
        const QRectF bounds = svg.boundsOnElement(elementId);
        p.translate(-bounds.center());
        svg.render(&p, elementId, bounds);
        p.restore();
    }
    pixmap = QPixmap::fromImage(image);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void WindIndicators::drawPrevalent(QPainter* painter, const QPointF& pos, int wind, double scale)
{
    if (wind < 0 || wind > 3)
        return;
    const QString id = QLatin1String(prevalentNames[wind]);
    const double w = renderer().boundsOnElement(id).width();
    const QTransform t = w > 0 ? QTransform::fromScale(1 / w, 1 / w) : QTransform();
    painter->drawPixmap(pos, cachedPixmap(id, scale, t, 0));
}
