// Renders the splash screen and the start page on a real X server (Xvfb) and
// keeps them as PNG files in the test's directory for a look by eye:
// splash.png and start-page.png (also start-page-ja.png and start-page-zh.png).

#include "BridgedWebPage.h"
#include "EmbeddedWebPage.h"
#include "MahjongSplash.h"
#include "WebSchemes.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QWebEngineView>

namespace {

/// Enough distinct colours that the picture is not empty or one flat colour.
int colourCount(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

QImage grabOnScreen(QWidget* widget)
{
    // The web view draws through its own surface: take the pixels from the
    // screen, as the user sees them.
    return widget->screen()->grabWindow(widget->winId()).toImage();
}

}

class TestScreenshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        WebTest::useCompiledPages();
        QVERIFY(QGuiApplication::platformName() != QLatin1String("offscreen"));
    }

    void splash()
    {
        MahjongSplash splash;
        splash.show();
        splash.setMessage(QStringLiteral("Checking for updates..."));
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QTest::qWait(200);
        const QImage image = splash.grab().toImage();
        QVERIFY(image.width() >= 200 && image.height() >= 100);
        QVERIFY(image.save(QDir::current().filePath(QStringLiteral("splash.png"))));
        QVERIFY(colourCount(image) > 8);
        // Shown from the pixels compiled in beside it, the picture is still
        // splash.png's, pixel for pixel.
        const auto premultiplied = [](const QImage& i) { return i.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
        QCOMPARE(premultiplied(splash.pixmap().toImage()), premultiplied(QImage(QStringLiteral(":/parlor7/splash.png"))));
    }

    void startPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("file");
        QTest::newRow("en") << QString() << "start-page.png";
        QTest::newRow("ja") << "ja" << "start-page-ja.png";
        QTest::newRow("zh") << "zh" << "start-page-zh.png";
    }
    void startPage()
    {
        QFETCH(QString, language);
        QFETCH(QString, file);
        WebTest::useCompiledPages(language);
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: #1f3f2e; color: #fff4bd;"));
        window.resize(1024, 768);
        auto* page = new EmbeddedWebPage(&window);
        page->setGeometry(0, 0, 1024, 768);
        page->titleLabel()->setText(QStringLiteral("Start"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(WebTest::load(page->view(), QUrl(QStringLiteral("localwww:/welcome.html"))));
        QVERIFY(WebTest::waitForClient(page->page()));
        QTest::qWait(700); // let the compositor put the frame on screen
        const QImage image = grabOnScreen(&window);
        QVERIFY(image.save(QDir::current().filePath(file)));
        QVERIFY(colourCount(image) > 20);
        WebTest::useCompiledPages();
    }
};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    QApplication app(argc, argv);
    TestScreenshots test;
    return QTest::qExec(&test, argc, argv);
}

#include "web_screenshots.moc"
