// Build step of the client: writes a picture's pixels as the splash screen
// shows them, so that the compiled splash is on the screen without the image
// readers being looked up and the file decoded first.
//
//   splash-pixels <picture> <output>
//
// The output: "PXL1", then width and height as 32-bit numbers, then the rows
// of 32-bit premultiplied ARGB pixels, all in this machine's byte order (the
// client is built for the machine that builds it).
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <picture> <output>\n", argv[0]);
        return 2;
    }
    const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    const quint32 size[2] = {quint32(image.width()), quint32(image.height())};
    out.write("PXL1", 4);
    out.write(reinterpret_cast<const char*>(size), sizeof size);
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(image.width()) * 4);
    return out.flush() && out.error() == QFileDevice::NoError ? 0 : 1;
}
