#pragma once
// Ties the program into the desktop through the freedesktop.org files: the
// notes types and their default application, the autostart entry and
// launchers. Every function reads or writes the files at once and keeps
// whatever else they hold.

#include <QString>
#include <QStringList>

namespace tl::integration {

// Where the desktop files live. fromEnvironment() follows the XDG variables
// (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CONFIG_DIRS, XDG_DATA_DIRS, the desktop
// folder of user-dirs.dirs); tests fill one in over a temporary tree.
struct DesktopPlaces {
    QString configHome;     // mimeapps.list, autostart/
    QString dataHome;       // applications/, mime/packages/
    QStringList configDirs; // read-only lookups of mimeapps.list
    QStringList dataDirs;   // read-only lookups of applications/mimeapps.list
    QString desktopFolder;  // the user's desktop
    QString program;        // the program's full path
    QStringList desktops;   // XDG_CURRENT_DESKTOP, lower-cased: $desktop-mimeapps.list first

    static DesktopPlaces fromEnvironment();
};

enum class FileType { Nts, Znts, Txt };

// This program is the default application of the type, looked up in the
// mime-apps order.
bool isAssociated(const DesktopPlaces &places, FileType type);
// On: the type's MIME package (notes types), the program's .desktop file and
// the default in mimeapps.list. Off: our default is taken out again, every
// other line stays. Throws tl::Error naming the file that could not be written.
void setAssociated(const DesktopPlaces &places, FileType type, bool on);

// The autostart entry that starts the program hidden ("start").
bool hasAutostart(const DesktopPlaces &places);
void setAutostart(const DesktopPlaces &places, bool on);

// The places of the "Add icon to:" list, in its order.
enum class LauncherPlace { StartMenu, ProgramsMenu, Desktop, QuickLaunch };
// Writes the launcher and returns its path; an existing one is replaced.
// Throws tl::Error with the reason when the place cannot take one.
// Desktop: a launcher "Tessaleaf.desktop" on the desktop. The three menu
// places (Quick Launch has no counterpart here) all write the program's own
// entry in $XDG_DATA_HOME/applications, so the menu shows it once.
QString addLauncher(const DesktopPlaces &places, LauncherPlace place);

// A folder of user-dirs.dirs in configHome (key as XDG_DESKTOP_DIR, "$HOME"
// expanded to home), else home + "/" + fallback.
QString userFolder(const QString &configHome, const QString &home, const QString &key, const QString &fallback);

} // namespace tl::integration
