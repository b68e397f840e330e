#include "MahjongSplash.h"

#include "PictureFile.h"
#include "ResourceFile.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QResource>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cstring>

namespace {

const QString splashName = QStringLiteral("resources:/splash.png");

/// The pixels compiled in beside a compiled picture (see
/// tools/splash-pixels.cpp), null for a file of a folder or when they are
/// missing or not whole. The image uses the compiled data, read only.
QImage compiledPixels(const QString& picture)
{
    if (!picture.startsWith(u':'))
        return {};
    const QResource pixels(picture + QStringLiteral(".pixels"));
    constexpr qint64 headerSize = 16;
    constexpr quint32 maxSide = 4096;
    if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression || pixels.size() < headerSize
        || std::memcmp(pixels.data(), "PXL2", 4) != 0)
        return {};
    quint32 header[3]; // width, height, format
    std::memcpy(header, pixels.data() + 4, sizeof header);
    const auto format = QImage::Format(header[2]);
    if (header[0] == 0 || header[1] == 0 || header[0] > maxSide || header[1] > maxSide
        || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        || pixels.size() != headerSize + qint64(header[0]) * header[1] * 4)
        return {};
    return QImage(pixels.data() + headerSize, int(header[0]), int(header[1]), int(header[0]) * 4, format);
}

/// The splash picture found on the search path: the compiled picture's
/// pixels as they are, a picture of a folder decoded.
QPixmap splashPixmap()
{
    QImage compiled = compiledPixels(ResourceFile::path(splashName));
    QPixmap pixmap = QPixmap::fromImage(compiled.isNull() ? PictureFile::image(splashName) : std::move(compiled));
    if (pixmap.isNull()) {
        // Without the image the status line still needs somewhere to stand.
        qWarning().noquote() << "splash image resources:/splash.png not found";
        pixmap = QPixmap(480, 320);
        pixmap.fill(QColor(32, 48, 40));
    }
    return pixmap;
}

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
