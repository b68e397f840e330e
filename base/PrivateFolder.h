#pragma once

#include <QString>

/// Folders for what is only the user's: the instance lock, the log, the tile
/// cache. Such a folder is a folder (not a link) of this user that no one
/// else may write, so that no other user of the machine can plant, hold or
/// remove anything in it; never a shared folder under a fixed name, never
/// the current folder. Any thread.
namespace PrivateFolder {

/// True when `path` is an absolute path of a folder, not a link, that this
/// user owns and no one else may write.
bool isPrivate(const QString& path);

/// Makes the folder when it is missing (mode 0700, its parents as needed)
/// and takes others' rights on it away when it is this user's; true when it
/// then is private (isPrivate()). On false, `why` says why.
bool prepare(const QString& path, QString* why = nullptr);

/// The program's own folder of this user, its cache folder ($XDG_CACHE_HOME,
/// else ~/.cache, then organisation and program name), prepared as above;
/// empty when it cannot be had, with the reason in `why`.
QString own(QString* why = nullptr);

} // namespace PrivateFolder
