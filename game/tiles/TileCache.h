#pragma once

#include <QString>
#include <QStringList>

class QIODevice;
class TileImages;

/// The disk cache of rendered tile sets: file names, the cache folder,
/// reading and atomic writing. Any thread.
///
/// The cache lives in "tilesets" in the user's cache folder, a folder that
/// only this user may enter. Only regular files of this user are read from
/// it, never through a link. The install switch writes its sets into
/// "tilesets" beside the program, where every user's client reads them;
/// nothing is ever read from the current directory.
namespace TileCache {

/// Who may have written a file that is taken.
enum class Writer {
    User,       ///< this user only
    UserOrRoot, ///< this user or the system (an installer), and no one else may change it
};

/// "tileset_0x%1.dat", %1 the 8-digit hexadecimal hash of the inputs.
QString fileName(const QString& blankPath, const QString& facePath, double scale);
/// The install switch's folder: "tilesets" beside the program; empty
/// without an application object.
QString installedDirectory();
/// The install switch's file: the name in installedDirectory().
QString installedFile(const QString& blankPath, const QString& facePath, double scale);
/// The cache folder: "tilesets" in the user's cache folder (under
/// $XDG_CACHE_HOME or ~/.cache on Linux); empty when there is none.
QString cacheDirectory();
/// The cache file: the name in cacheDirectory().
QString temporaryFile(const QString& blankPath, const QString& facePath, double scale);

/// Makes the cache folder when it is missing (mode 0700, its parents as
/// needed) and checks that it
/// is a folder (not a link) of this user that no one else may enter, taking
/// away others' rights on it if needed. False when it cannot be had so: the
/// cache is then neither read nor written.
bool prepareCacheDirectory();

/// The cache folder keeps at most this many files and this many bytes of
/// them: past either bound the least recently used go first.
inline constexpr int maxCachedFiles = 40;
inline constexpr qint64 maxCacheBytes = 32 * 1024 * 1024;

/// Removes files from the cache folder, the least recently used first (by
/// their time of change, which a read of a set renews), until the folder is
/// within maxCachedFiles and maxCacheBytes; the newest file stays, whatever
/// its size. Half-written files a killed writer left count like sets.
void trimCacheDirectory();

/// The largest cache file taken for a set of this scale.
qint64 maxFileSize(double scale);

/// Reads a set of the given scale from a device; null when the data is not a
/// complete set of that scale (foreign, older, truncated, trailing bytes, a
/// picture too large for the scale, refused before it is decoded).
/// Never throws.
TileImages* read(QIODevice& device, double expectedScale);
/// Reads a cache file: null when it is missing, not a regular file (a FIFO
/// or a device is never opened for reading in a way that could wait), a
/// link, not written by the `writer`, larger than maxFileSize(), older than
/// one of the `sources`, or not a usable set as above. A set read from a
/// file of Writer::User has its time of change renewed (trimCacheDirectory()).
TileImages* readFile(const QString& path, double expectedScale, const QStringList& sources = {},
                     Writer writer = Writer::User);
/// Reads the installed set, as readFile() with Writer::UserOrRoot, when the
/// installed folder is a folder (not a link) of this user or the system
/// that no one else may change; null otherwise.
TileImages* readInstalled(const QString& blankPath, const QString& facePath, double scale,
                          const QStringList& sources);
/// Writes a set to a file atomically (a reader sees the old file or the
/// complete new one). A link or any other non-regular file at the path is
/// removed first, never followed or written into. When another thread is
/// writing the same file at the moment, nothing is written. False on any
/// failure.
bool writeFile(const QString& path, const TileImages& images);

} // namespace TileCache
