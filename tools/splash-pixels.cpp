// Build step of the client: writes a picture's pixels as the splash screen
// shows them, so that the compiled splash is on the screen without the image
// readers being looked up and the file decoded first.
//
//   splash-pixels <picture> <output>
//
// The output: "PXL2", then width, height and the QImage format as 32-bit
// numbers, then the rows of 32-bit pixels, all in this machine's byte order
// (the client is built for the machine that builds it). A picture without a
// pixel that is not opaque is written as RGB32, which a pixmap takes as it is;
// any other as premultiplied ARGB32.
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <picture> <output>\n", argv[0]);
        return 2;
    }
    QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        opaque = std::all_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; });
    }
    // Opaque premultiplied pixels are RGB32 pixels already.
    if (opaque)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    const quint32 header[3] = {quint32(image.width()), quint32(image.height()), quint32(image.format())};
    out.write("PXL2", 4);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(image.width()) * 4);
    return out.flush() && out.error() == QFileDevice::NoError ? 0 : 1;
}
