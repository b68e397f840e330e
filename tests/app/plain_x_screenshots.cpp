// Windows on an X server without a compositor (a plain Xvfb), taken from the
// screen as the user sees them: a modeless message box, a standard message
// box and the update dialog must show their text on an opaque background.
// Keeps msgbox-plain-x.png, qmessagebox-plain-x.png and update-dialog-plain-x.png.

#include "CommandLine.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "ModelessMsgBox.h"
#include "NewVersionDialog.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

namespace {

QImage grabOnScreen(QWidget* window)
{
    return window->screen()->grabWindow(window->winId()).toImage();
}

/// The share of pixels (every fourth in each direction) that are pure black.
double blackShare(const QImage& image)
{
    int black = 0;
    int all = 0;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            ++all;
            if ((image.pixel(x, y) & 0xFFFFFF) == 0)
                ++black;
        }
    }
    return all ? double(black) / all : 1.0;
}

/// Whether the area holds both light and dark pixels: text on a background.
bool hasContrast(const QImage& image, const QRect& area)
{
    int darkest = 255;
    int lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int v = qGray(image.pixel(x, y));
            darkest = std::min(darkest, v);
            lightest = std::max(lightest, v);
        }
    }
    return lightest - darkest > 100;
}

}

class TestPlainXScreenshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        setupSearchPaths({});
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(qApp)->loadStyleSheet();
    }

    void modelessBox()
    {
        ModelessMsgBox::MsgBox* box = ModelessMsgBox::information(nullptr, QStringLiteral("Table closed"),
            QStringLiteral("The table was closed by the server."));
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::qWait(300);
        const QImage image = grabOnScreen(box);
        QVERIFY(image.save(QDir::current().filePath(QStringLiteral("msgbox-plain-x.png"))));
        QVERIFY2(blackShare(image) < 0.2, qPrintable(QString::number(blackShare(image))));
        auto* text = box->findChild<QLabel*>(QStringLiteral("msgBoxText"));
        QVERIFY(text);
        QVERIFY(hasContrast(image, QRect(text->mapTo(box, QPoint(0, 0)), text->size())));
        box->close();
    }

    void standardBox()
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Download error"),
            QStringLiteral("Download failed: the file is empty."), QMessageBox::Ok);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::qWait(300);
        const QImage image = grabOnScreen(&box);
        QVERIFY(image.save(QDir::current().filePath(QStringLiteral("qmessagebox-plain-x.png"))));
        QVERIFY2(blackShare(image) < 0.2, qPrintable(QString::number(blackShare(image))));
        auto* text = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(text);
        QVERIFY(hasContrast(image, QRect(text->mapTo(&box, QPoint(0, 0)), text->size())));
    }

    void updateDialog()
    {
        NewVersionDialog dialog(nullptr, QStringLiteral("Quellmark - 1.6.0"),
            QStringLiteral("<p>Faster tables and <b>new sounds</b>.</p>"), QUrl(QStringLiteral("https://127.0.0.1/x.run")),
            false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(300);
        const QImage image = grabOnScreen(&dialog);
        QVERIFY(image.save(QDir::current().filePath(QStringLiteral("update-dialog-plain-x.png"))));
        QVERIFY2(blackShare(image) < 0.2, qPrintable(QString::number(blackShare(image))));
        auto* button = dialog.findChild<QWidget*>(QStringLiteral("downloadButton"));
        QVERIFY(button);
        QVERIFY(hasContrast(image, button->geometry()));
    }
};

int main(int argc, char** argv)
{
    MahjongApplication app(argc, argv);
    TestPlainXScreenshots test;
    return QTest::qExec(&test, argc, argv);
}

#include "plain_x_screenshots.moc"
