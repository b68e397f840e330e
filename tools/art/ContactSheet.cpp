#include "ContactSheet.h"

#include "SheetRenderer.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTransform>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

const char* const faceIds[42] = {"bamboo_1", "bamboo_2", "bamboo_3", "bamboo_4", "bamboo_5", "bamboo_6", "bamboo_7",
    "bamboo_8", "bamboo_9", "character_1", "character_2", "character_3", "character_4", "character_5", "character_6",
    "character_7", "character_8", "character_9", "circle_1", "circle_2", "circle_3", "circle_4", "circle_5",
    "circle_6", "circle_7", "circle_8", "circle_9", "east_wind", "south_wind", "west_wind", "north_wind",
    "green_dragon", "red_dragon", "white_dragon", "plum_blossom", "orchid", "chrysanthemum", "bamboo", "spring",
    "summer", "autumn", "winter"};

const char* const suffixes[4] = {"Bottom", "Right", "Top", "Left"};

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void hints(QPainter& p)
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// The face fitted to the whole image and turned about its centre.
QImage rotatedFace(QSvgRenderer& svg, const QString& id, int w, int h, double degrees)
{
    QImage img = blank(w, h);
    QPainter p(&img);
    hints(p);
    const QRectF b = svg.boundsOnElement(id);
    p.scale(w, h);
    p.translate(0.5, 0.5);
    p.rotate(degrees);
    p.scale(1 / b.width(), 1 / b.height());
    p.translate(-b.center());
    svg.render(&p, id, b);
    return img;
}

struct Pictures {
    std::array<std::array<QImage, 10>, 4> el; // [orientation][kind], kinds as the table numbers them
    QImage hand, handHighlight;
    QSize handFace;
    std::array<QSize, 4> faceSize;
};

QImage splitRender(QSvgRenderer& svg, const QString& id, int w, int h, int d, double sh, double sd)
{
    QImage img = blank(w, h + d);
    QPainter p(&img);
    hints(p);
    const double f = sh / (sh + sd);
    SheetRenderer::renderElementPart(p, svg, id, QRectF(0, 0, w, h), 0, f);
    if (d > 0)
        SheetRenderer::renderElementPart(p, svg, id, QRectF(0, h, w, d), f, 1);
    return img;
}

QImage wholeRender(QSvgRenderer& svg, const QString& id, int w, int h)
{
    QImage img = blank(w, h);
    QPainter p(&img);
    hints(p);
    SheetRenderer::renderElement(p, svg, id, QRectF(0, 0, w, h));
    return img;
}

Pictures svgBacks(const QString& path, double s)
{
    QSvgRenderer svg(path);
    Pictures r;
    const int hw = int(35 * s), hh = int(43 * s), hd = int(12 * s);
    r.hand = wholeRender(svg, QStringLiteral("hand"), hw, hh + hd);
    r.handHighlight = wholeRender(svg, QStringLiteral("handHighlight"), hw, hh + hd);
    r.handFace = QSize(hw, hh);
    for (int o = 0; o < 4; ++o) {
        const bool up = o % 2 == 0;
        const int w = int((up ? 28 : 38) * s), h = int((up ? 35 : 26) * s), d = int(10 * s);
        const double sw = up ? 220 : 192;
        const QString suf = QLatin1String(suffixes[o]);
        r.faceSize[o] = QSize(w, h);
        r.el[o][0] = splitRender(svg, QStringLiteral("declared") + suf, w, h, d, sw, 69);
        r.el[o][1] = splitRender(svg, QStringLiteral("wallSingle") + suf, w, h, d, sw, 69);
        const char* words[3] = {"Single", "Double", "Triple"};
        for (int n = 1; n <= 3; ++n)
            r.el[o][4 + n] = splitRender(svg, QStringLiteral("wall") + QLatin1String(words[n - 1]) + suf, w, h, d * n,
                sw, 69 * n);
        r.el[o][9] = splitRender(svg, QStringLiteral("wallDora") + suf, w, h, d * 2, sw, 138);
    }
    for (int o = 0; o < 4; o += 2) {
        const int w = int(38 * s), h = int(26 * s), d = int(10 * s);
        r.el[o][2] = splitRender(svg, QStringLiteral("declared") + QLatin1String(suffixes[o]) + QStringLiteral("Turned"),
            w, h, d, 220, 69);
    }
    r.el[1][2] = r.el[0][0];
    r.el[3][2] = r.el[2][0];
    r.el[0][4] = wholeRender(svg, QStringLiteral("hiddenBottom"), int(28 * s), int(20 * s));
    r.el[2][4] = wholeRender(svg, QStringLiteral("hiddenTop"), int(28 * s), int(30 * s));
    r.el[1][4] = wholeRender(svg, QStringLiteral("hiddenRight"), int(21 * s), int(39 * s));
    r.el[3][4] = wholeRender(svg, QStringLiteral("hiddenLeft"), int(21 * s), int(39 * s));
    return r;
}

Pictures pngBacks(const QString& path)
{
    const QImage sheet(path);
    Pictures r;
    auto cut = [&](int x, int y, int w, int h) { return sheet.copy(x, y, w, h); };
    r.hand = cut(30, 40, 29, 45).scaled(36, 56, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    r.handHighlight = cut(238, 40, 29, 45).scaled(36, 56, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    r.handFace = QSize(35, 48);
    const int decl[4][4] = {{0, 40, 29, 43}, {0, 5, 40, 34}, {60, 40, 29, 43}, {224, 90, 40, 34}};
    const int walls[4][3][4] = {{{208, 40, 29, 44}, {178, 40, 29, 49}, {112, 90, 29, 54}},
        {{183, 90, 40, 33}, {142, 90, 40, 38}, {71, 90, 40, 43}},
        {{148, 40, 29, 44}, {118, 40, 29, 49}, {41, 90, 29, 54}},
        {{259, 6, 40, 33}, {218, 1, 40, 38}, {0, 90, 40, 43}}};
    const int dora[4][4] = {{41, 145, 29, 49}, {224, 164, 40, 38}, {71, 145, 29, 49}, {265, 164, 40, 38}};
    const int hidden[4][4] = {{268, 40, 27, 26}, {109, 0, 26, 39}, {90, 40, 27, 26}, {82, 0, 26, 39}};
    for (int o = 0; o < 4; ++o) {
        r.el[o][0] = cut(decl[o][0], decl[o][1], decl[o][2], decl[o][3]);
        r.faceSize[o] = o % 2 == 0 ? QSize(28, 39) : QSize(39, 28);
        for (int n = 0; n < 3; ++n)
            r.el[o][5 + n] = cut(walls[o][n][0], walls[o][n][1], walls[o][n][2], walls[o][n][3]);
        r.el[o][1] = r.el[o][5];
        r.el[o][9] = cut(dora[o][0], dora[o][1], dora[o][2], dora[o][3]);
        r.el[o][4] = cut(hidden[o][0], hidden[o][1], hidden[o][2], hidden[o][3]);
    }
    r.el[0][2] = cut(41, 5, 40, 34);
    r.el[2][2] = cut(224, 90, 40, 34);
    r.el[1][2] = r.el[0][0];
    r.el[3][2] = r.el[2][0];
    return r;
}

// Faces of one sheet for the four orientations at the sizes of a back set.
struct Faces {
    std::array<std::array<QImage, 42>, 4> face;
    std::array<QImage, 42> hand;
};

Faces svgFaces(const QString& path, const Pictures& backs)
{
    QSvgRenderer svg(path);
    Faces f;
    for (int t = 0; t < 42; ++t) {
        const QString id = QLatin1String(faceIds[t]);
        f.face[0][t] = rotatedFace(svg, id, backs.faceSize[0].width(), backs.faceSize[0].height(), 0);
        f.face[1][t] = rotatedFace(svg, id, backs.faceSize[1].width(), backs.faceSize[1].height(), -90);
        f.face[2][t] = f.face[0][t].transformed(QTransform().rotate(-180));
        f.face[3][t] = f.face[1][t].transformed(QTransform().rotate(-180));
        f.hand[t] = wholeRender(svg, id, backs.handFace.width(), backs.handFace.height());
    }
    return f;
}

Faces pngFaces(const QString& path, const Pictures& backs)
{
    const QImage sheet(path);
    const int cellWidth = sheet.width() / 42;
    const QPointF shift[4] = {{1, 0}, {2, -1}, {1, -5}, {-4, 1}};
    Faces f;
    for (int t = 0; t < 42; ++t) {
        const QImage cell = sheet.copy(t * cellWidth, 0, 27, 42);
        for (int o = 0; o < 4; ++o) {
            const QSize size = backs.faceSize[o];
            QImage img(size, QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            QPainter p(&img);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            const bool up = o % 2 == 0;
            QTransform m = QImage::trueMatrix(QTransform().rotate(-90 * o), cell.width(), cell.height());
            m *= QTransform::fromTranslate(shift[o].x(), shift[o].y());
            m *= QTransform::fromScale(size.width() / (up ? 28.0 : 39.0), size.height() / (up ? 39.0 : 28.0));
            p.setTransform(m);
            p.drawImage(0, 0, cell);
            p.end();
            f.face[o][t] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
        QImage hand(backs.handFace, QImage::Format_ARGB32_Premultiplied);
        hand.fill(Qt::transparent);
        QPainter p(&hand);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setTransform(QTransform::fromTranslate(1, 0)
            * QTransform::fromScale(backs.handFace.width() / 28.0, backs.handFace.height() / 39.0));
        p.drawImage(0, 0, cell);
        p.end();
        f.hand[t] = hand;
    }
    return f;
}

// A wind indicator as the table draws it: the element centred in a square
// of side ceil(62 x scale), scaled by the largest of "east", "blank", "glow".
QImage windPicture(QSvgRenderer& svg, const QString& id, double scale, int orientation, bool prevalent)
{
    QSizeF maxSize(-1, -1);
    for (const char* e : {"east", "blank", "glow"})
        maxSize = maxSize.expandedTo(svg.boundsOnElement(QLatin1String(e)).size());
    const int side = int(std::ceil(scale * 62));
    QImage img = blank(side, side);
    QPainter p(&img);
    hints(p);
    const QRectF b = svg.boundsOnElement(id);
    QTransform t = prevalent ? QTransform::fromScale(1 / b.width(), 1 / b.width())
                             : QTransform::fromScale(1 / maxSize.width(), 1 / maxSize.height());
    t.rotate(-90 * orientation);
    p.translate(31 * scale, 31 * scale);
    p.scale(62 * scale, 62 * scale);
    p.setTransform(t, true);
    p.translate(-b.center());
    svg.render(&p, id, b);
    return img;
}

void label(QPainter& p, int x, int y, const QString& text)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(245, 235, 200));
    p.drawText(x, y, text);
}

} // namespace

bool ContactSheet::write(const QString& dir, const QString& out)
{
    const QString faceSheets[4] = {QStringLiteral("tiles-fg.svg"), QStringLiteral("tiles-fg-half-marked.svg"),
        QStringLiteral("tiles-fg-no-marks.svg"), QStringLiteral("tiles-fg.png")};
    const QString backSheets[5] = {QStringLiteral("tiles-blank-default.png"), QStringLiteral("tiles-blank-green.png"),
        QStringLiteral("tiles-blank-red.png"), QStringLiteral("tiles-blank-green.svg"),
        QStringLiteral("tiles-blank-darkwood.svg")};

    const int width = 1290;
    const int height = 4 * (22 + 50 + 2 * 96) + 5 * (22 + 150) + 22 + 150 + 30;
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(30, 70, 52));
    QPainter p(&sheet);
    hints(p);
    // The table cloth behind everything (without its weave, which only
    // makes the picture large).
    QSvgRenderer(dir + QStringLiteral("/game-bg-image.svg")).render(&p, QRectF(0, 0, width, height));

    int y = 10;
    for (const QString& name : faceSheets) {
        const bool png = name.endsWith(QLatin1String(".png"));
        const Pictures backs1 = png ? pngBacks(dir + QStringLiteral("/tiles-blank-default.png"))
                                    : svgBacks(dir + QStringLiteral("/tiles-blank-green.svg"), 1.0);
        const Faces faces1 = png ? pngFaces(dir + QLatin1Char('/') + name, backs1) : svgFaces(dir + QLatin1Char('/') + name, backs1);
        label(p, 10, y + 14, name + QStringLiteral("  (scale 1 and 2)"));
        y += 22;
        for (int t = 0; t < 42; ++t) {
            const QPoint at(10 + t * 30, y);
            p.drawImage(at, backs1.el[0][0]);
            p.drawImage(at, faces1.face[0][t]);
        }
        y += 50;
        const Pictures backs2 = png ? backs1 : svgBacks(dir + QStringLiteral("/tiles-blank-green.svg"), 2.0);
        const Faces faces2 = png ? faces1 : svgFaces(dir + QLatin1Char('/') + name, backs2);
        for (int t = 0; t < 42; ++t) {
            const QPoint at(10 + (t % 21) * 60, y + (t / 21) * 96);
            if (png) {
                p.drawImage(QRect(at, backs1.el[0][0].size() * 2), backs1.el[0][0]);
                p.drawImage(QRect(at, faces1.face[0][t].size() * 2), faces1.face[0][t]);
            } else {
                p.drawImage(at, backs2.el[0][0]);
                p.drawImage(at, faces2.face[0][t]);
            }
        }
        y += 2 * 96;
    }

    QSvgRenderer faceSvg(dir + QStringLiteral("/tiles-fg.svg"));
    for (const QString& name : backSheets) {
        const bool png = name.endsWith(QLatin1String(".png"));
        const Pictures b = png ? pngBacks(dir + QLatin1Char('/') + name) : svgBacks(dir + QLatin1Char('/') + name, 1.0);
        // PNG backs with the PNG faces, SVG backs with the SVG faces.
        const Faces f = png ? pngFaces(dir + QStringLiteral("/tiles-fg.png"), b)
                            : svgFaces(dir + QStringLiteral("/tiles-fg.svg"), b);
        label(p, 10, y + 14, name + (png ? QStringLiteral("  with tiles-fg.png") : QStringLiteral("  with tiles-fg.svg")));
        y += 22;
        int x = 10;
        // The own hand: plain, highlighted, plain.
        const int handTiles[3] = {13, 22, 27};
        for (int i = 0; i < 3; ++i) {
            const QImage& img = i == 1 ? b.handHighlight : b.hand;
            p.drawImage(x, y, img);
            p.drawImage(x, y + img.height() - b.handFace.height(), f.hand[handTiles[i]]);
            x += img.width();
        }
        x += 14;
        // Face-up tiles in the four orientations, then turned tiles.
        const int shown[4] = {4, 22, 31, 38};
        for (int o = 0; o < 4; ++o) {
            p.drawImage(x, y, b.el[o][0]);
            p.drawImage(x, y, f.face[o][shown[o]]);
            x += b.el[o][0].width() + 4;
        }
        for (int o = 0; o < 4; o += 2) {
            p.drawImage(x, y, b.el[o][2]);
            p.drawImage(x, y, f.face[(o + 1) % 4][shown[o]]);
            x += b.el[o][2].width() + 4;
        }
        x += 10;
        // Wall stacks one to three high and the dora tile, every orientation.
        for (int o = 0; o < 4; ++o) {
            for (int k : {5, 6, 7}) {
                p.drawImage(x, y + 60 - b.el[o][k].height(), b.el[o][k]);
                x += b.el[o][k].width() + 2;
            }
            p.drawImage(x, y + 60 - b.el[o][9].height(), b.el[o][9]);
            p.drawImage(x, y + 60 - b.el[o][9].height(), f.face[o][18 + o]);
            x += b.el[o][9].width() + 8;
        }
        // Concealed tiles of the other players.
        for (int o = 0; o < 4; ++o) {
            p.drawImage(x, y, b.el[o][4]);
            x += b.el[o][4].width() + 4;
        }
        // A row of face-down tiles, as a wall looks.
        int wx = 10;
        const int wy = y + 80;
        for (int i = 0; i < 17; ++i) {
            const QImage& img = b.el[0][6];
            p.drawImage(wx, wy, img);
            wx += img.width();
        }
        wx += 10;
        // A discard row.
        for (int i = 0; i < 12; ++i) {
            const int t = (i * 7 + 3) % 42;
            p.drawImage(wx, wy, b.el[0][0]);
            p.drawImage(wx, wy, f.face[0][t]);
            wx += b.el[0][0].width();
        }
        y += 150;
    }

    // On the table: the own hand on its rack, wind indicators, sticks.
    label(p, 10, y + 14, QStringLiteral("frame.svg, wind-indicators.svg, riichi-stick.svg, tile-highlights-red.png"));
    y += 22;
    {
        const Pictures b = svgBacks(dir + QStringLiteral("/tiles-blank-green.svg"), 1.0);
        const Faces f = svgFaces(dir + QStringLiteral("/tiles-fg.svg"), b);
        const int tiles[13] = {0, 1, 2, 11, 12, 13, 19, 19, 19, 27, 27, 31, 31};
        const int W = 35, Hi = b.hand.height();
        const int n = 13;
        QSvgRenderer frame(dir + QStringLiteral("/frame.svg"));
        const QRectF F = frame.boundsOnElement(QStringLiteral("frame"));
        QRectF A = frame.boundsOnElement(QStringLiteral("frameArea"));
        A.translate(-F.topLeft());
        const int origin = 10 + (n + 1) * W;
        const int w = n * W, m = W / 2;
        p.save();
        p.translate(origin - (w + m), y + Hi / 6);
        p.scale(double(w + 2 * m) / A.width(), double(Hi) / A.height());
        p.translate(-A.x(), -A.y());
        frame.render(&p, QStringLiteral("frame"), QRectF(0, 0, F.width(), F.height()));
        p.restore();
        for (int i = 0; i < n; ++i) {
            const int x = origin - (i + 1) * W;
            const QImage& img = i == 4 ? b.handHighlight : b.hand;
            p.drawImage(x, y, img);
            p.drawImage(x, y + img.height() - b.handFace.height(), f.hand[tiles[n - 1 - i]]);
        }
        int x = origin + 40;
        QSvgRenderer winds(dir + QStringLiteral("/wind-indicators.svg"));
        const char* names[4] = {"east", "south", "west", "north"};
        for (int o = 0; o < 4; ++o) {
            p.drawImage(x, y, windPicture(winds, QStringLiteral("blank"), 1.0, o, false));
            p.drawImage(x, y, windPicture(winds, QLatin1String(names[o]), 1.0, o, false));
            if (o == 0)
                p.drawImage(x, y, windPicture(winds, QStringLiteral("glow"), 1.0, o, false));
            x += 66;
        }
        p.drawImage(x, y, windPicture(winds, QStringLiteral("prevalentSouth"), 1.5, 0, true));
        x += 100;
        QSvgRenderer stick(dir + QStringLiteral("/riichi-stick.svg"));
        const QRectF sb = stick.boundsOnElement(QStringLiteral("stick"));
        const int t = 15, L = int(t * sb.width() / sb.height());
        for (int i = 0; i < 3; ++i)
            stick.render(&p, QStringLiteral("stick"), QRectF(x, y + i * t, L, t));
        // A highlighted face-up tile.
        const QImage highlights(dir + QStringLiteral("/tile-highlights-red.png"));
        const QImage hl = highlights.copy(43, 1, 29, 43).scaled(28, 35, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawImage(x + L + 20, y, b.el[0][0]);
        p.drawImage(x + L + 20, y, f.face[0][32]);
        p.drawImage(x + L + 20, y, hl);
    }
    p.end();
    return SheetRenderer::save(sheet.convertToFormat(QImage::Format_RGB32), out);
}
