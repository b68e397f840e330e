// Every picture the program names, looked up through the same search paths
// the program installs: it exists, loads, has the size its users cut or lay
// out by, and the SVG documents carry the element ids that are drawn by name.
#include "ArtSearchPaths.h"
#include "PictureFile.h"
#include "SvgDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

using namespace ArtSearchPaths;

namespace {

const char* const textImageNames[] = {"welcome.png", "howto.png", "timeout.png", "furiten.png", "washout.png",
    "ready.png", "claim-chow.png", "claim-chii.png", "claim-pong.png", "claim-pon.png", "claim-kong.png",
    "claim-kan.png", "claim-ron.png", "claim-tsumo.png", "claim-mahjong.png", "claim-mahjong-game-view.png",
    "claim-riichi.png", "claim-tenpai.png"};

} // namespace

class PictureSetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { install(); }

    void pictureLoads_data();
    void pictureLoads();
    void splashComesFromTheEditionTree();
    void svgElements_data();
    void svgElements();
    void windIndicatorsShareOneCentre();
    void tableBackground();
    void textImages_data();
    void textImages();
    void avatarFolder();
};

void PictureSetTest::pictureLoads_data()
{
    // name, exact size (0 x 0: any size, at least 1 x 1)
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    auto row = [](const QString& name, QSize size = QSize()) { QTest::newRow(qPrintable(name)) << name << size; };
    row(QStringLiteral("resources:/icon.png"));
    row(QStringLiteral("resources:/logo.png"));
    row(QStringLiteral("resources:/splash.png"));
    for (const char* tab : {"startpage", "lobby", "tournament", "preferences", "friends", "help"})
        row(QStringLiteral("resources:tabicons/%1.png").arg(QLatin1String(tab)));
    row(QStringLiteral("resources:/safe.png"));
    row(QStringLiteral("resources:/unsafe.png"));
    // Side bar and player panels, at the sizes their forms and style sheet assume.
    row(QStringLiteral("resources:/sb-hilight.png"), QSize(228, 97));
    row(QStringLiteral("resources:/sb-winds.png"), QSize(104, 21));
    row(QStringLiteral("resources:/sb-top.png"), QSize(228, 92));
    row(QStringLiteral("resources:/player-widget.png"), QSize(228, 98));
    row(QStringLiteral("resources:/riichi-stick.png"), QSize(80, 10));
    row(QStringLiteral("resources:/counter-stick.png"), QSize(80, 10));
    row(QStringLiteral("resources:/chat-top.png"));
    row(QStringLiteral("resources:/chat-bottom.png"));
    row(QStringLiteral("resources:/ingame-chatwindow-tile.png"));
    row(QStringLiteral("resources:/smiley-normal.png"));
    row(QStringLiteral("resources:/trophy-normal.png"));
    // Lobby seat pictures: 14 pixels high, the empty seat 13 wide.
    row(QStringLiteral("resources:/cap-empty.png"), QSize(13, 14));
    row(QStringLiteral("resources:/cap-bot.png"), QSize(14, 14));
    row(QStringLiteral("resources:/cap-human.png"), QSize(14, 14));
    row(QStringLiteral("resources:/checkbox-checked-normal.png"));
    row(QStringLiteral("resources:/empty-box.png"));
    // Dialog frame, claim chooser and score board.
    row(QStringLiteral("resources:meld_auction_frame.png"));
    row(QStringLiteral("resources:meld_auction_title_bar.png"));
    row(QStringLiteral("resources:redbackground.png"));
    row(QStringLiteral("resources:/meld_auction_separator.png"));
    for (const char* state : {"normal", "hover", "pressed"})
        row(QStringLiteral("resources:/dialog-close-%1.png").arg(QLatin1String(state)), QSize(16, 16));
    row(QStringLiteral("resources:score_dialog.png"));
    for (const char* tab : {"winning", "2nd", "3rd", "4th"})
        row(QStringLiteral("resources:score_dialog_%1_hand_tab.png").arg(QLatin1String(tab)));
    row(QStringLiteral("resources:/lobby-wood.png"));
    // Social.
    for (const char* a : {"1", "2", "blue", "brown", "brown2", "green", "purple", "red", "yellow"})
        row(QStringLiteral("resources:/avatar-default-%1.png").arg(QLatin1String(a)), QSize(64, 64));
    row(QStringLiteral("resources:/avatar-selected.png"));
    row(QStringLiteral("resources:/avatar-selectbg.png"));
    row(QStringLiteral("resources:/avatar-selectbg-innerframe.png"));
    row(QStringLiteral("avatars:/pig.png"), QSize(64, 64));
    for (const char* p : {"available", "away", "extended_away", "not_available", "unknown"})
        row(QStringLiteral("resources:xmpp_%1.png").arg(QLatin1String(p)), QSize(16, 16));
    row(QStringLiteral("resources:/game-bg-pattern.jpg"));
    // Scroll bars: 15 pixels across, long enough for their nine-part margins.
    const struct {
        const char* orientation;
        const char* parts[3];
        QSize slider;
    } bars[] = {{"vert", {"up", "down", "drag"}, QSize(15, 40)}, {"horiz", {"left", "right", "drag"}, QSize(40, 15)}};
    for (const auto& bar : bars) {
        const QString o = QLatin1String(bar.orientation);
        for (const char* part : bar.parts)
            for (const char* state : {"normal", "hover", "active"}) {
                const QString p = QLatin1String(part);
                row(QStringLiteral("resources:/scroll-%1-%2-%3.png").arg(o, p, QLatin1String(state)),
                    p == QLatin1String("drag") ? bar.slider : QSize(15, 15));
            }
        row(QStringLiteral("resources:/scroll-%1-empty-normal.png").arg(o), bar.slider);
    }
}

void PictureSetTest::pictureLoads()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image = PictureFile::image(name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    if (size.isValid())
        QCOMPARE(image.size(), size);
    QVERIFY2(opaquePixels(image) > 0, qPrintable(name + QStringLiteral(" is fully transparent")));
}

void PictureSetTest::splashComesFromTheEditionTree()
{
    const QString path = QFileInfo(QStringLiteral("resources:/splash.png")).absoluteFilePath();
    QVERIFY2(path.contains(QLatin1String("parlor7")), qPrintable(path));
    const QImage splash = PictureFile::image(QStringLiteral("resources:/splash.png"));
    QVERIFY(splash.width() >= 300 && splash.height() >= 200);
    // The status line is drawn in light cream 48 pixels above the bottom: the
    // picture is dark there.
    const QImage argb = splash.convertToFormat(QImage::Format_ARGB32);
    const QRgb c = argb.pixel(argb.width() / 2, argb.height() - 40);
    QVERIFY(qGray(c) < 90);
}

void PictureSetTest::svgElements_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("wind indicators") << QStringLiteral("resources:/wind-indicators.svg")
                                     << QStringList{QStringLiteral("east"), QStringLiteral("south"),
                                            QStringLiteral("west"), QStringLiteral("north"),
                                            QStringLiteral("prevalentEast"), QStringLiteral("prevalentSouth"),
                                            QStringLiteral("prevalentWest"), QStringLiteral("prevalentNorth"),
                                            QStringLiteral("blank"), QStringLiteral("glow")};
    QTest::newRow("riichi stick") << QStringLiteral("resources:/riichi-stick.svg") << QStringList{QStringLiteral("stick")};
    QTest::newRow("hand frame") << QStringLiteral("resources:/frame.svg")
                                << QStringList{QStringLiteral("frame"), QStringLiteral("frameArea")};
    QTest::newRow("table cloth") << QStringLiteral("resources:/game-bg-image.svg") << QStringList{};
}

void PictureSetTest::svgElements()
{
    QFETCH(QString, path);
    QFETCH(QStringList, ids);
    QSvgRenderer svg(SvgDocument::read(path));
    QVERIFY2(svg.isValid(), qPrintable(path));
    for (const QString& id : ids) {
        QVERIFY2(svg.elementExists(id), qPrintable(id));
        QVERIFY2(!svg.boundsOnElement(id).isEmpty(), qPrintable(id));
    }
    if (ids.contains(QStringLiteral("stick"))) {
        const QRectF b = svg.boundsOnElement(QStringLiteral("stick"));
        QVERIFY(b.width() > 4 * b.height()); // a long stick: length = thickness x width / height
    }
    if (ids.contains(QStringLiteral("frameArea"))) {
        // The tiles stand in the area; the rack shows around it.
        const QRectF frame = svg.boundsOnElement(QStringLiteral("frame"));
        const QRectF area = svg.boundsOnElement(QStringLiteral("frameArea"));
        QVERIFY(frame.contains(area));
        QVERIFY(area.width() > area.height());
    }
}

void PictureSetTest::windIndicatorsShareOneCentre()
{
    // Each indicator is drawn in a square fitted to the largest of "east",
    // "blank" and "glow"; the wind sign must be smaller than the disc under it.
    QSvgRenderer svg(SvgDocument::read(QStringLiteral("resources:/wind-indicators.svg")));
    const QRectF blank = svg.boundsOnElement(QStringLiteral("blank"));
    const QRectF glow = svg.boundsOnElement(QStringLiteral("glow"));
    for (const char* w : {"east", "south", "west", "north"}) {
        const QRectF sign = svg.boundsOnElement(QLatin1String(w));
        QVERIFY2(sign.width() < blank.width() * 0.8 && sign.height() < blank.height() * 0.8, w);
    }
    QVERIFY(glow.width() >= blank.width() && glow.height() >= blank.height());
    // The prevalent indicators are scaled to their own width: round, not flat.
    for (const char* w : {"prevalentEast", "prevalentSouth", "prevalentWest", "prevalentNorth"}) {
        const QRectF b = svg.boundsOnElement(QLatin1String(w));
        QVERIFY2(qAbs(b.width() - b.height()) < 1, w);
    }
}

void PictureSetTest::tableBackground()
{
    // The cloth is rendered to the table's size; the pattern is multiplied
    // over it, so it must be close to white or it darkens the table.
    const QSvgRenderer picture(SvgDocument::read(QStringLiteral("resources:/game-bg-image.svg")));
    QVERIFY(picture.isValid());
    QVERIFY(picture.defaultSize().width() >= 800 && picture.defaultSize().height() >= 600);
    const QImage pattern = PictureFile::image(QStringLiteral("resources:/game-bg-pattern.jpg")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!pattern.isNull());
    qint64 sum = 0;
    for (int y = 0; y < pattern.height(); ++y)
        for (int x = 0; x < pattern.width(); ++x)
            sum += qGray(pattern.pixel(x, y));
    const double mean = double(sum) / (pattern.width() * pattern.height());
    QVERIFY2(mean > 220, qPrintable(QString::number(mean)));
}

void PictureSetTest::textImages_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << QStringLiteral("en");
    QTest::newRow("Japanese") << QStringLiteral("ja");
    QTest::newRow("Chinese") << QStringLiteral("zh");
}

void PictureSetTest::textImages()
{
    QFETCH(QString, lang);
    useLanguage(lang);
    for (const char* name : textImageNames) {
        const QString path = QStringLiteral("textimages:") + QLatin1String(name);
        const QImage image = PictureFile::image(path);
        QVERIFY2(!image.isNull(), qPrintable(lang + QLatin1Char(' ') + QLatin1String(name)));
        QVERIFY2(opaquePixels(image) > 50, name);
        const QString file = QFileInfo(path).absoluteFilePath();
        if (lang == QLatin1String("en")) {
            // English is the common fallback at the top of the folder.
            QVERIFY2(file.endsWith(QStringLiteral("/text-images/") + QLatin1String(name)), qPrintable(file));
        } else {
            // Each language has its own picture, not the English fallback.
            QVERIFY2(file.contains(QStringLiteral("/text-images/") + lang + QLatin1Char('/')), qPrintable(file));
            QVERIFY(image != PictureFile::image(QStringLiteral("resources:/text-images/") + QLatin1String(name)));
        }
    }
    // The player panel's claim label is 99 x 47: ready and claim images fit it.
    for (const char* name : textImageNames) {
        const QString n = QLatin1String(name);
        if (n == QLatin1String("ready.png") || (n.startsWith(QLatin1String("claim-")) && !n.contains(QLatin1String("game-view"))))
            QCOMPARE(PictureFile::image(QStringLiteral("textimages:") + n).size(), QSize(99, 47));
    }
    install();
}

void PictureSetTest::avatarFolder()
{
    // The avatar chooser lists the picture files of the avatar folder by name:
    // 32 pictures, the plain "z_default_avatar_" ones last.
    const QStringList dirs = QDir::searchPaths(QStringLiteral("avatars"));
    QCOMPARE(dirs.size(), 1);
    const QDir dir(dirs.first());
    QVERIFY2(dir.exists(), qPrintable(dir.absolutePath()));
    const QStringList files = dir.entryList({QStringLiteral("*.png"), QStringLiteral("*.gif"), QStringLiteral("*.jpg"),
                                                QStringLiteral("*.bmp")},
        QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 32);
    QVERIFY(files.contains(QStringLiteral("pig.png")));
    bool plain = false;
    for (const QString& f : files) {
        const bool isPlain = f.startsWith(QLatin1String("z_default_avatar_"));
        QVERIFY2(!plain || isPlain, qPrintable(f + QStringLiteral(" sorts after the plain pictures")));
        plain = plain || isPlain;
        const QImage image = PictureFile::image(dir.absoluteFilePath(f));
        QVERIFY2(!image.isNull(), qPrintable(f));
        QVERIFY2(image.width() <= 64 && image.height() <= 64, qPrintable(f));
    }
    QVERIFY(plain);
}

QTEST_MAIN(PictureSetTest)

#include "tst_picture_set.moc"
