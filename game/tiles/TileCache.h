#pragma once

#include <QString>

class QIODevice;
class TileImages;

/// The disk cache of rendered tile sets: file names, validity, reading and
/// atomic writing. Any thread.
namespace TileCache {

/// "tileset_0x%1.dat", %1 the 8-digit hexadecimal hash of the inputs.
QString fileName(const QString& blankPath, const QString& facePath, double scale);
/// The installed cache: "tilesets/" + name under the current directory.
QString installedFile(const QString& blankPath, const QString& facePath, double scale);
/// The temporary cache: the name directly in the system temporary directory.
QString temporaryFile(const QString& blankPath, const QString& facePath, double scale);

/// Whether a cache file exists and is not older than any of the sources.
bool isFresh(const QString& cacheFile, const QStringList& sources);

/// Reads a set of the given scale from a device; null when the data is not a
/// complete set of that scale (foreign, older, truncated, trailing bytes).
/// Never throws.
TileImages* read(QIODevice& device, double expectedScale);
/// Reads a cache file; null as above or when it cannot be opened.
TileImages* readFile(const QString& path, double expectedScale);
/// Writes a set to a file atomically (a reader sees the old file or the
/// complete new one). When another thread is writing the same file at the
/// moment, nothing is written. False on any failure.
bool writeFile(const QString& path, const TileImages& images);

} // namespace TileCache
