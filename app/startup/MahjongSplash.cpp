#include "MahjongSplash.h"

#include "PictureFile.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString splashName = QStringLiteral("resources:/splash.png");

QFuture<QImage>& imageAhead()
{
    static QFuture<QImage> image;
    return image;
}

QPixmap splashPixmap()
{
    QFuture<QImage>& ahead = imageAhead();
    QPixmap pixmap = ahead.isValid() ? QPixmap::fromImage(ahead.result()) : PictureFile::pixmap(splashName);
    ahead = {};
    if (pixmap.isNull()) {
        // Without the image the status line still needs somewhere to stand.
        qWarning().noquote() << "splash image resources:/splash.png not found";
        pixmap = QPixmap(480, 320);
        pixmap.fill(QColor(32, 48, 40));
    }
    return pixmap;
}

}

void MahjongSplash::readAhead()
{
    imageAhead() = QtConcurrent::run([] { return PictureFile::image(splashName); });
}

MahjongSplash::MahjongSplash()
    : QSplashScreen(splashPixmap())
{
}

MahjongSplash::~MahjongSplash() = default;

void MahjongSplash::hide()
{
    QSplashScreen::hide();
}

void MahjongSplash::show()
{
    QSplashScreen::show();
}

void MahjongSplash::setMessage(const QString& msg)
{
    message = msg;
    Q_EMIT messageChanged(msg);
    repaint();
}

void MahjongSplash::drawContents(QPainter* painter)
{
    const QRect r = rect();
    const QPointF origin(r.x() + 5, r.height() - 48);

    QTextDocument doc;
    doc.setTextWidth(r.width() - 10);
    QTextCursor cursor(&doc);
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(block);
    QTextCharFormat chars;
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(10);
    chars.setFont(font);
    chars.setForeground(QColor(255, 244, 189, 255));
    cursor.insertText(message, chars);

    painter->save();
    painter->translate(origin);
    doc.drawContents(painter);
    painter->restore();
}
