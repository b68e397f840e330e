#pragma once

#include <QString>

class QIcon;
class QImage;
class QPixmap;

/// The one way the program reads the pictures it names ("resources:/icon.png",
/// "textimages:ready.png", a default avatar): the regular file the name
/// stands for (ResourceFile), read through the picture decoder within the
/// bounds of a picture of the interface. Never a Qt image plugin chosen by
/// the file's content: a folder on the search path may hold anything under
/// a picture's name. A missing or refused picture is null, with one warning
/// for its name.
namespace PictureFile {

/// The largest picture of the interface read: a side, and all its pixels.
inline constexpr int maxSide = 4096;
inline constexpr qint64 maxPixels = 2048 * 2048;
inline constexpr qint64 maxFileSize = 16 * 1024 * 1024;

/// The picture a name stands for. Any thread.
QImage image(const QString& name);
/// image() as a pixmap, kept in the pixmap cache by its file and the file's
/// size and time of change, as Qt keeps a pixmap read by its path. GUI thread.
QPixmap pixmap(const QString& name);
/// pixmap() as an icon. GUI thread.
QIcon icon(const QString& name);

} // namespace PictureFile
