#include "SheetRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>

#include <cstdio>
#include <memory>

namespace {

QRectF rectOf(const QJsonValue& v)
{
    const QJsonArray a = v.toArray();
    return QRectF(a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble(), a.at(3).toDouble());
}

QSvgRenderer* renderer(const QString& path)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto it = cache.find(path);
    if (it == cache.end()) {
        auto r = std::make_shared<QSvgRenderer>(path);
        if (!r->isValid())
            std::fprintf(stderr, "parlor-art: cannot read %s\n", qPrintable(path));
        it = cache.insert(path, r);
    }
    return it->get();
}

void initPainter(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// A tileable weave: a fine cross-hatch of threads with a little value noise,
// everything close to white so that multiplying it over the cloth only adds grain.
QImage weave(int size, quint32 seed)
{
    QImage img(size, size, QImage::Format_RGB32);
    const int cells = 16;
    std::vector<double> noise(cells * cells);
    quint32 s = seed;
    for (double& n : noise) {
        s = s * 1664525u + 1013904223u;
        n = (s >> 8) / double(1 << 24);
    }
    auto valueNoise = [&](double x, double y) {
        const double fx = x * cells / size, fy = y * cells / size;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        const double tx = fx - x0, ty = fy - y0;
        auto at = [&](int i, int j) { return noise[((j % cells + cells) % cells) * cells + ((i % cells + cells) % cells)]; };
        const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
        const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
        const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
        return a + (b - a) * sy;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double warp = 0.5 + 0.5 * std::sin(2 * M_PI * x / 4.0);
            const double weft = 0.5 + 0.5 * std::sin(2 * M_PI * y / 4.0);
            const double thread = ((x / 4 + y / 4) % 2) ? warp : weft;
            s = s * 1664525u + 1013904223u;
            const double grain = (s >> 8) / double(1 << 24);
            const double v = 255 - 10 * thread - 9 * valueNoise(x, y) - 5 * grain;
            const int g = qBound(0, int(v), 255);
            img.setPixel(x, y, qRgb(g, g, qBound(0, g - 2, 255)));
        }
    }
    return img;
}

} // namespace

void SheetRenderer::renderElement(QPainter& p, QSvgRenderer& svg, const QString& element, const QRectF& target)
{
    renderElementPart(p, svg, element, target, 0.0, 1.0);
}

void SheetRenderer::renderElementPart(QPainter& p, QSvgRenderer& svg, const QString& element, const QRectF& target,
    double from, double to)
{
    QRectF bounds = element.isEmpty() ? svg.viewBoxF() : svg.boundsOnElement(element);
    if (bounds.isEmpty())
        return;
    const QRectF full = bounds;
    bounds = QRectF(full.x(), full.y() + full.height() * from, full.width(), full.height() * (to - from));
    p.save();
    p.setClipRect(target);
    p.translate(target.topLeft());
    p.scale(target.width() / bounds.width(), target.height() / bounds.height());
    p.translate(-bounds.topLeft());
    if (element.isEmpty())
        svg.render(&p, full);
    else
        svg.render(&p, element, full);
    p.restore();
}

bool SheetRenderer::save(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool jpeg = path.endsWith(QLatin1String(".jpg"));
    if (!image.save(path, nullptr, jpeg ? 88 : -1)) {
        std::fprintf(stderr, "parlor-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool SheetRenderer::run(const QJsonObject& job)
{
    const QString type = job.value(QLatin1String("type")).toString();
    const QString out = job.value(QLatin1String("out")).toString();
    const int w = job.value(QLatin1String("w")).toInt();
    const int h = job.value(QLatin1String("h")).toInt();
    if (type == QLatin1String("noise"))
        return save(weave(w, quint32(job.value(QLatin1String("seed")).toInt(7))), out);

    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    initPainter(p);
    if (type == QLatin1String("svg")) {
        QSvgRenderer* svg = renderer(job.value(QLatin1String("src")).toString());
        if (!svg->isValid())
            return false;
        renderElement(p, *svg, job.value(QLatin1String("element")).toString(), QRectF(0, 0, w, h));
    } else if (type == QLatin1String("sheet")) {
        for (const QJsonValue& v : job.value(QLatin1String("items")).toArray()) {
            const QJsonObject item = v.toObject();
            QSvgRenderer* svg = renderer(item.value(QLatin1String("src")).toString());
            const QString element = item.value(QLatin1String("element")).toString();
            if (!svg->isValid() || (!element.isEmpty() && !svg->elementExists(element))) {
                std::fprintf(stderr, "parlor-art: missing %s in %s\n", qPrintable(element),
                    qPrintable(item.value(QLatin1String("src")).toString()));
                return false;
            }
            const QRectF r = rectOf(item.value(QLatin1String("rect")));
            if (item.contains(QLatin1String("top"))) {
                // Split render: the upper fraction of the element goes into the
                // top surface, the rest stretches over the thickness below it.
                const double top = item.value(QLatin1String("top")).toDouble();
                const double fraction = item.value(QLatin1String("fraction")).toDouble();
                renderElementPart(p, *svg, element, QRectF(r.x(), r.y(), r.width(), top), 0.0, fraction);
                renderElementPart(p, *svg, element, QRectF(r.x(), r.y() + top, r.width(), r.height() - top), fraction, 1.0);
            } else {
                renderElement(p, *svg, element, r);
            }
        }
    } else {
        std::fprintf(stderr, "parlor-art: unknown job type %s\n", qPrintable(type));
        return false;
    }
    p.end();
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (out.endsWith(QLatin1String(".jpg")))
        result = result.convertToFormat(QImage::Format_RGB32);
    return save(result, out);
}
