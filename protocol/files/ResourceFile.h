#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

/// The one way in for a file named on a search path ("resources:/customui.css",
/// "textimages:ready.png", "sounds:/hover.wav"): only regular files are read.
///
/// A name with a search-path prefix stands for the first regular file along
/// the prefix's search path, compiled resources included; a FIFO, socket,
/// device or folder met on the way is passed over with a warning, so that
/// the next folder's file (in the end the program's own) is used, and nothing
/// ever waits on it. A name without a prefix stands for itself when it is a
/// regular file. Links are followed. Any thread.
namespace ResourceFile {

/// The regular file a name stands for: a path without a search-path prefix
/// (a file of the file system, or a compiled resource ":/..."); empty when
/// there is none.
QString path(const QString& name);

/// The program's own file of a name: as path(), with only the compiled
/// resources along the search path looked at ("resources:/x.svg" stands for
/// ":default/x.svg" beneath a folder of the user's); empty when there is none.
QString ownPath(const QString& name);

/// Opens the file a name stands for, for reading. What was opened is
/// checked, not only what was looked up: a FIFO put in the file's place in
/// between is neither waited on nor read. False when there is no such file
/// or it cannot be opened; `why` then says why.
bool open(const QString& name, QFile& file, QString* why = nullptr);

/// The bytes of the file a name stands for, opened as above, at most
/// maxBytes. Nothing when it cannot be opened or is longer; `why` then says
/// why.
std::optional<QByteArray> read(const QString& name, qint64 maxBytes, QString* why = nullptr);

} // namespace ResourceFile
