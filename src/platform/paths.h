#pragma once
// Where things live: settings, the private temporary folder, the program folder.

#include <QString>

namespace tl::paths {

// $XDG_CONFIG_HOME/Tessaleaf (default ~/.config/Tessaleaf).
QString configFolder();
// The settings file inside configFolder().
QString settingsFile();
// $XDG_DATA_HOME/Tessaleaf (default ~/.local/share/Tessaleaf).
QString dataFolder();

// Makes folder with mode 0700 unless it is there; throws tl::Error naming it
// when it cannot be made.
void makePrivateFolder(const QString &folder);

// The private per-user temporary folder ($XDG_RUNTIME_DIR/tessaleaf, else
// <system temp>/tessaleaf-<uid>), created with mode 0700. Throws tl::Error
// when it is a link or belongs to another user. Ends with no separator.
QString privateTempFolder();

// The folder that holds languages/, sounds and help: the executable's folder
// when it has a languages folder (build tree, portable copy), else
// ../share/tessaleaf beside it (installed under any prefix), else the share
// folder of the prefix the program was built for.
QString programFolder();
// The same for an executable in exeDir.
QString programFolderFor(const QString &exeDir);

// The absolute, cleaned form of a path (what a long path name was on Windows).
QString longPath(const QString &path);

} // namespace tl::paths
