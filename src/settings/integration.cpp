#include "settings/integration.h"

#include "platform/atomicfile.h"
#include "platform/desktopfile.h"
#include "platform/error.h"
#include "settings/fastshelllink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// The desktop entry and the MIME package live in data/ and are compiled in.
static void initDesktopResources()
{
    Q_INIT_RESOURCE(desktop);
}

namespace tl::integration {

namespace {
const QString DesktopId = QStringLiteral("tessaleaf.desktop");
const QString EntryGroup = QStringLiteral("Desktop Entry");
const QString Defaults = QStringLiteral("Default Applications");
const QString Added = QStringLiteral("Added Associations");
const QString Removed = QStringLiteral("Removed Associations");

QString mimeType(FileType type)
{
    switch (type) {
    case FileType::Nts:
        return QStringLiteral("application/x-tessaleaf-notes");
    case FileType::Znts:
        return QStringLiteral("application/x-tessaleaf-compressed-notes");
    case FileType::Txt:
        break;
    }
    return QStringLiteral("text/plain");
}

QByteArray resource(const QString &name)
{
    initDesktopResources();
    QFile f(QStringLiteral(":/desktop/") + name);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The built-in file \"%1\" is missing").arg(name));
    return f.readAll();
}

QString envPath(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return !v.isEmpty() && QDir::isAbsolutePath(v) ? QDir::cleanPath(v) : fallback;
}

QStringList envPaths(const char *name, const QStringList &fallback)
{
    QStringList out;
    for (const QString &p : qEnvironmentVariable(name).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(p))
            out << QDir::cleanPath(p);
    return out.isEmpty() ? fallback : out;
}

// The mimeapps.list files in the order they are looked up: per folder the
// desktop-specific ones first.
QStringList mimeAppsFiles(const DesktopPlaces &places)
{
    QStringList folders;
    folders << places.configHome << places.configDirs;
    folders << places.dataHome + QStringLiteral("/applications");
    for (const QString &d : places.dataDirs)
        folders << d + QStringLiteral("/applications");
    QStringList files;
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        for (const QString &desktop : places.desktops)
            files << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        files << folder + QStringLiteral("/mimeapps.list");
    }
    return files;
}

bool isInstalled(const DesktopPlaces &places, const QString &id)
{
    QStringList folders { places.dataHome };
    folders << places.dataDirs;
    for (const QString &d : folders)
        if (!d.isEmpty() && QFileInfo(d + QStringLiteral("/applications/") + id).isFile())
            return true;
    return false;
}

QString userMimeApps(const DesktopPlaces &places)
{
    return places.configHome + QStringLiteral("/mimeapps.list");
}

QString autostartFile(const DesktopPlaces &places)
{
    return places.configHome + QStringLiteral("/autostart/") + DesktopId;
}

void requireProgram(const DesktopPlaces &places)
{
    if (places.program.isEmpty())
        throw Error(QStringLiteral("The program's own path is not known"));
}

// The program's entry from the built-in template, run with the given
// arguments after the program.
DesktopFile programEntry(const DesktopPlaces &places, const QString &arguments)
{
    requireProgram(places);
    DesktopFile entry(resource(QStringLiteral("tessaleaf.desktop")));
    entry.setValue(EntryGroup, QStringLiteral("Exec"), execValue({ places.program }) + arguments);
    return entry;
}

void installMimePackage(const DesktopPlaces &places)
{
    const QString mime = places.dataHome + QStringLiteral("/mime");
    if (!writeIfChanged(
            mime + QStringLiteral("/packages/tessaleaf.xml"), resource(QStringLiteral("tessaleaf-mime.xml"))))
        return;
    // Without the tool the package waits for the next run of it by anyone.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty())
        return;
    QProcess update;
    // It warns that dataHome is not on XDG_DATA_DIRS, which is normal.
    update.setProcessChannelMode(QProcess::MergedChannels);
    update.setStandardOutputFile(QProcess::nullDevice());
    update.start(tool, { mime });
    if (update.waitForStarted() && !update.waitForFinished(30000))
        update.kill(), update.waitForFinished();
}

// Our id first in the type's list, or taken out; the line stays as it was
// when nothing changes. True when the list changed.
bool placeOurs(DesktopFile &file, const QString &group, const QString &type, bool first)
{
    const QStringList before = file.list(group, type);
    QStringList after = before;
    after.removeAll(DesktopId);
    if (first)
        after.prepend(DesktopId);
    if (after == before)
        return false;
    if (after.isEmpty())
        file.remove(group, type);
    else
        file.setList(group, type, after);
    return true;
}
} // namespace

DesktopPlaces DesktopPlaces::fromEnvironment()
{
    const QString home = QDir::homePath();
    DesktopPlaces p;
    p.configHome = envPath("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    p.dataHome = envPath("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    p.configDirs = envPaths("XDG_CONFIG_DIRS", { QStringLiteral("/etc/xdg") });
    p.dataDirs = envPaths("XDG_DATA_DIRS", { QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share") });
    for (const QString &d : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        p.desktops << d.toLower();
    p.desktopFolder = userFolder(p.configHome, home, QStringLiteral("XDG_DESKTOP_DIR"), QStringLiteral("Desktop"));
    if (QCoreApplication::instance())
        p.program = QCoreApplication::applicationFilePath();
    return p;
}

bool isAssociated(const DesktopPlaces &places, FileType type)
{
    const QString mime = mimeType(type);
    for (const QString &path : mimeAppsFiles(places)) {
        if (!QFileInfo(path).isFile())
            continue;
        const DesktopFile file = DesktopFile::read(path);
        // The first installed application of the first list that names one.
        for (const QString &id : file.list(Defaults, mime))
            if (isInstalled(places, id))
                return id == DesktopId;
    }
    return false;
}

void setAssociated(const DesktopPlaces &places, FileType type, bool on)
{
    const QString mime = mimeType(type);
    if (on) {
        if (type != FileType::Txt)
            installMimePackage(places);
        programEntry(places, QStringLiteral(" %F"))
            .save(places.dataHome + QStringLiteral("/applications/") + DesktopId);
    }
    // The user's desktop-specific lists win over mimeapps.list: where one
    // names a default for the type, it is changed as well.
    QStringList files;
    for (const QString &desktop : places.desktops) {
        const QString path = places.configHome + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
        if (DesktopFile::read(path).hasKey(Defaults, mime))
            files << path;
    }
    files << userMimeApps(places);
    for (const QString &path : files) {
        DesktopFile file = DesktopFile::read(path);
        bool changed = placeOurs(file, Defaults, mime, on);
        if (path == userMimeApps(places)) {
            changed = placeOurs(file, Added, mime, on) || changed;
            if (on)
                changed = placeOurs(file, Removed, mime, false) || changed;
        }
        if (changed)
            file.save(path);
    }
}

bool hasAutostart(const DesktopPlaces &places)
{
    const QString path = autostartFile(places);
    if (!QFileInfo(path).isFile())
        return false;
    return DesktopFile::read(path).value(EntryGroup, QStringLiteral("Hidden")) != QLatin1String("true");
}

void setAutostart(const DesktopPlaces &places, bool on)
{
    const QString path = autostartFile(places);
    if (!on) {
        QFile file(path);
        if (file.exists() && !file.remove())
            throw Error(
                QStringLiteral("Cannot remove \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    DesktopFile entry = programEntry(places, QStringLiteral(" start"));
    entry.remove(EntryGroup, QStringLiteral("MimeType")); // starts the program, opens nothing
    entry.save(path);
}

QString addLauncher(const DesktopPlaces &places, LauncherPlace place)
{
    requireProgram(places);
    if (place != LauncherPlace::Desktop) {
        // The menus read $XDG_DATA_HOME/applications, where the program's own
        // entry also serves the associations: one entry, so the menu shows
        // the program once. Quick Launch has no folder here and goes there too.
        const QString path = places.dataHome + QStringLiteral("/applications/") + DesktopId;
        programEntry(places, QStringLiteral(" %F")).save(path);
        return path;
    }
    TFastShellLink link(places);
    link.LinkName = QStringLiteral("Tessaleaf");
    link.LinkTarget = places.program;
    link.Icon = QStringLiteral("tessaleaf");
    link.CreateIn.ShellFolder = TFastShellFolder::sfDesktop;
    link.CreateIn.setSubfolder(QString());
    return link.CreateLink();
}

QString userFolder(const QString &configHome, const QString &home, const QString &key, const QString &fallback)
{
    const QString path = configHome + QStringLiteral("/user-dirs.dirs");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // Lines of the form XDG_DESKTOP_DIR="$HOME/Desktop" or an absolute path.
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(QLatin1Char('#')) || !line.startsWith(key + QLatin1Char('=')))
                continue;
            QString value = line.mid(key.size() + 1);
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            value.replace(QLatin1String("\\\""), QLatin1String("\""));
            if (value == QLatin1String("$HOME") || value.startsWith(QLatin1String("$HOME/")))
                value = home + value.mid(5);
            if (QDir::isAbsolutePath(value))
                return QDir::cleanPath(value);
        }
    }
    return QDir::cleanPath(home + QLatin1Char('/') + fallback);
}

} // namespace tl::integration
