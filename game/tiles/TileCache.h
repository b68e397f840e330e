#pragma once

#include <QString>
#include <QStringList>

class QIODevice;
class TileImages;

/// The disk cache of rendered tile sets: file names, the cache folder,
/// reading and atomic writing. Any thread.
///
/// The cache lives in "tilesets" under the system temporary directory, a
/// folder of this user's own that only this user may enter. Only regular
/// files of this user are read from it, never through a link; the install
/// switch's folder under the current directory is written, never read.
namespace TileCache {

/// "tileset_0x%1.dat", %1 the 8-digit hexadecimal hash of the inputs.
QString fileName(const QString& blankPath, const QString& facePath, double scale);
/// The install switch's file: "tilesets/" + name under the current directory.
QString installedFile(const QString& blankPath, const QString& facePath, double scale);
/// The cache folder: "tilesets" directly in the system temporary directory.
QString cacheDirectory();
/// The cache file: the name in cacheDirectory().
QString temporaryFile(const QString& blankPath, const QString& facePath, double scale);

/// Makes the cache folder when it is missing (mode 0700) and checks that it
/// is a folder (not a link) of this user that no one else may enter, taking
/// away others' rights on it if needed. False when it cannot be had so: the
/// cache is then neither read nor written.
bool prepareCacheDirectory();

/// The largest cache file taken for a set of this scale.
qint64 maxFileSize(double scale);

/// Reads a set of the given scale from a device; null when the data is not a
/// complete set of that scale (foreign, older, truncated, trailing bytes, a
/// picture too large for the scale, refused before it is decoded).
/// Never throws.
TileImages* read(QIODevice& device, double expectedScale);
/// Reads a cache file: null when it is missing, not a regular file (a FIFO
/// or a device is never opened for reading in a way that could wait), a
/// link, not this user's, larger than maxFileSize(), older than one of the
/// `sources`, or not a usable set as above.
TileImages* readFile(const QString& path, double expectedScale, const QStringList& sources = {});
/// Writes a set to a file atomically (a reader sees the old file or the
/// complete new one). A link or any other non-regular file at the path is
/// removed first, never followed or written into. When another thread is
/// writing the same file at the moment, nothing is written. False on any
/// failure.
bool writeFile(const QString& path, const TileImages& images);

} // namespace TileCache
