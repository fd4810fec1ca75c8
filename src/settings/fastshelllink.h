#pragma once
// The shortcut component of the Preferences dialog: a launcher (.desktop
// file) for a program in one of the user's shell folders.

#include "settings/integration.h"

#include <QString>

namespace tl {

enum class TFastShellFolder { sfDesktop, sfStartMenu, sfProgramsMenu, sfStartup, sfMyDocuments };
enum class TRunAs { raNormal, raMinimized, raMaximized };

// Where the launcher goes.
class TCreateIn {
public:
    bool CreatePath = true; // create missing folders on the way
    TFastShellFolder ShellFolder = TFastShellFolder::sfDesktop;

    // A path below the shell folder, kept with a trailing "/"; "/" alone is "".
    const QString &Subfolder() const { return m_subfolder; }
    void setSubfolder(const QString &value);

private:
    QString m_subfolder;
};

class TFastShellLink {
public:
    explicit TFastShellLink(integration::DesktopPlaces places);

    TCreateIn CreateIn;
    QString LinkName = QStringLiteral("My New ShellLink"); // file name without ".desktop"
    QString LinkTarget;
    QString ParamString; // arguments, as a command line writes them
    QString WorkingDirectory; // Path= when not empty
    QString Icon; // Icon= when not empty
    TRunAs RunAs = TRunAs::raNormal; // launchers have no show state

    // The folder of a shell folder: the desktop, the applications menu, the
    // autostart folder, the documents folder.
    QString folderOf(TFastShellFolder folder) const;
    // Writes the launcher, replacing one of the same name, with the
    // executable bit set; on the desktop it is also marked trusted where the
    // desktop asks for it. Returns its path. Throws tl::Error naming the file.
    QString CreateLink() const;

private:
    integration::DesktopPlaces m_places;
};

} // namespace tl
