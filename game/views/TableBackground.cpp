#include "TableBackground.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

/// The one background of every table window, rendered for the last size asked.
struct TableBackground
{
    int width = 0;
    int height = 0;
    QImage pattern{QStringLiteral("resources:/game-bg-pattern.jpg")};
    QSvgRenderer picture{QStringLiteral("resources:/game-bg-image.svg")};
    QImage cache;

    void render(int w, int h)
    {
        width = w;
        height = h;
        cache = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&cache);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.fillRect(cache.rect(), Qt::white);
        // Rendered at the target size rather than stretched from a small
        // picture: the cloth stays sharp on large screens.
        if (picture.isValid())
            picture.render(&p, QRectF(cache.rect()));
        if (!pattern.isNull()) {
            p.setCompositionMode(QPainter::CompositionMode_Multiply);
            p.fillRect(cache.rect(), QBrush(pattern));
        }
    }
};

TableBackground& background()
{
    static TableBackground instance;
    return instance;
}

} // namespace

QBrush gameBackgroundBrush(int width, int height)
{
    TableBackground& bg = background();
    if (width > 0 && height > 0 && (width != bg.width || height != bg.height))
        bg.render(width, height);
    return bg.cache.isNull() ? QBrush() : QBrush(bg.cache);
}
