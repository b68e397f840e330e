#include "TableBackground.h"

#include "PictureFile.h"
#include "SvgDocument.h"

#include <QFutureWatcher>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <vector>

namespace {

const QString picturePath = QStringLiteral("resources:/game-bg-image.svg");

/// Renders the cloth at a size; any thread (each call reads its own picture).
QImage renderCloth(int w, int h, const QImage& pattern, QSvgRenderer& picture)
{
    // Opaque: painting copies it instead of blending it.
    QImage cloth(w, h, QImage::Format_RGB32);
    QPainter p(&cloth);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(cloth.rect(), Qt::white);
    // Rendered at the target size rather than stretched from a small
    // picture: the cloth stays sharp on large screens.
    if (picture.isValid())
        picture.render(&p, QRectF(cloth.rect()));
    if (!pattern.isNull()) {
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        p.fillRect(cloth.rect(), QBrush(pattern));
    }
    return cloth;
}

/// The one background of every table window, rendered for the last size asked.
struct TableBackground
{
    int width = 0;
    int height = 0;
    QImage pattern{PictureFile::image(QStringLiteral("resources:/game-bg-pattern.jpg"))};
    /// Read once: each render on a worker makes its own renderer of it.
    QByteArray document{SvgDocument::read(picturePath)};
    QSvgRenderer picture{document};
    QImage cache;

    /// The size the worker renders, and the latest size asked for meanwhile.
    QSize rendering;
    QSize wanted;
    struct Waiter
    {
        QPointer<QObject> context;
        std::function<void()> ready;
    };
    std::vector<Waiter> waiters;

    void render(int w, int h)
    {
        width = w;
        height = h;
        cache = renderCloth(w, h, pattern, picture);
    }

    void startWorker(QSize size)
    {
        rendering = size;
        auto* watcher = new QFutureWatcher<QImage>();
        QObject::connect(watcher, &QFutureWatcher<QImage>::finished, watcher, [this, watcher, size] {
            watcher->deleteLater();
            rendered(size, watcher->result());
        });
        const QImage p = pattern;
        const QByteArray svg = document;
        watcher->setFuture(QtConcurrent::run([size, p, svg] {
            QSvgRenderer own(svg);
            return renderCloth(size.width(), size.height(), p, own);
        }));
    }

    void rendered(QSize size, const QImage& image)
    {
        rendering = QSize();
        if (size != wanted) {
            startWorker(wanted);
            return;
        }
        width = size.width();
        height = size.height();
        cache = image;
        const std::vector<Waiter> told = std::move(waiters);
        waiters.clear();
        for (const Waiter& w : told)
            if (w.context && w.ready)
                w.ready();
    }
};

TableBackground& background()
{
    static TableBackground instance;
    return instance;
}

/// Whether the cloth rendered last serves a window of this size as it is:
/// as large, and larger by no more than a hundredth, which the window crops.
/// Table windows side by side differ by a few pixels (their side bars'
/// widths): one cloth serves them all rather than being rendered anew for
/// each page shown, each render making every page paint its table again.
bool fits(const TableBackground& bg, int width, int height)
{
    const auto within = [](int have, int want) { return have >= want && have - want <= std::max(4, want / 100); };
    return !bg.cache.isNull() && within(bg.width, width) && within(bg.height, height);
}

} // namespace

QBrush gameBackgroundBrush(int width, int height)
{
    TableBackground& bg = background();
    if (width > 0 && height > 0 && !fits(bg, width, height))
        bg.render(width, height);
    return bg.cache.isNull() ? QBrush() : QBrush(bg.cache);
}

QBrush quickBackgroundBrush(int width, int height, QObject* context, std::function<void()> ready)
{
    TableBackground& bg = background();
    if (width <= 0 || height <= 0 || bg.cache.isNull() || fits(bg, width, height))
        return gameBackgroundBrush(width, height);
    bg.wanted = QSize(width, height);
    const auto same = std::find_if(bg.waiters.begin(), bg.waiters.end(),
                                   [context](const TableBackground::Waiter& w) { return w.context == context; });
    if (same != bg.waiters.end())
        same->ready = std::move(ready);
    else
        bg.waiters.push_back({context, std::move(ready)});
    if (!bg.rendering.isValid())
        bg.startWorker(bg.wanted);
    // The last cloth stretched to the new size stands in meanwhile, as a
    // scaling brush: the scene keeps what it painted of the cloth in a layer
    // of its own, so the brush is worked out once a layer, while a stretched
    // copy would be made here on the GUI thread at every step of a resize
    // (a 4K one takes longer than a frame).
    QBrush stretched(bg.cache);
    stretched.setTransform(QTransform::fromScale(double(width) / bg.cache.width(), double(height) / bg.cache.height()));
    return stretched;
}
