#include "settings/fastshelllink.h"

#include "platform/atomicfile.h"
#include "platform/desktopfile.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace tl {

void TCreateIn::setSubfolder(const QString &value)
{
    if (value == m_subfolder)
        return;
    QString v = value == QLatin1String("/") ? QString() : value;
    if (!v.isEmpty() && !v.endsWith(QLatin1Char('/')))
        v += QLatin1Char('/');
    m_subfolder = v;
}

TFastShellLink::TFastShellLink(integration::DesktopPlaces places)
    : m_places(std::move(places))
{
}

QString TFastShellLink::folderOf(TFastShellFolder folder) const
{
    switch (folder) {
    case TFastShellFolder::sfDesktop:
        return m_places.desktopFolder;
    case TFastShellFolder::sfStartMenu:
    case TFastShellFolder::sfProgramsMenu:
        return m_places.dataHome + QStringLiteral("/applications");
    case TFastShellFolder::sfStartup:
        return m_places.configHome + QStringLiteral("/autostart");
    case TFastShellFolder::sfMyDocuments:
        break;
    }
    return integration::userFolder(
        m_places.configHome, QDir::homePath(), QStringLiteral("XDG_DOCUMENTS_DIR"), QStringLiteral("Documents"));
}

namespace {
// GNOME's desktop shows a launcher only once it is marked trusted; the mark
// lives in the session's metadata store, reached through gio.
void markTrusted(const QString &path)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty() || qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(gio, { QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true") });
    if (p.waitForStarted() && !p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished();
    }
}
} // namespace

QString TFastShellLink::CreateLink() const
{
    const QString base = folderOf(CreateIn.ShellFolder);
    if (base.isEmpty())
        throw Error(QStringLiteral("Cannot create the launcher \"%1\": the folder is not known").arg(LinkName));
    const QString folder = QDir::cleanPath(base + QLatin1Char('/') + CreateIn.Subfolder());
    const QString path = folder + QLatin1Char('/') + LinkName + QStringLiteral(".desktop");
    if (CreateIn.CreatePath && !QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot write \"%1\": cannot create the folder \"%2\"")
                        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder)));

    QString exec = execValue({ LinkTarget });
    if (!ParamString.isEmpty())
        exec += QLatin1Char(' ') + ParamString;
    DesktopFile entry;
    const QString group = QStringLiteral("Desktop Entry");
    entry.setValue(group, QStringLiteral("Type"), QStringLiteral("Application"));
    entry.setValue(group, QStringLiteral("Name"), LinkName);
    entry.setValue(group, QStringLiteral("Exec"), exec);
    if (!WorkingDirectory.isEmpty())
        entry.setValue(group, QStringLiteral("Path"), WorkingDirectory);
    if (!Icon.isEmpty())
        entry.setValue(group, QStringLiteral("Icon"), Icon);
    entry.setValue(group, QStringLiteral("Terminal"), QStringLiteral("false"));
    writeFileAtomically(path, entry.toBytes());

    // Desktops start a launcher only when it may be executed.
    QFile file(path);
    const QFile::Permissions perms = file.permissions();
    QFile::Permissions exe = QFile::ExeOwner | QFile::ExeUser;
    if (perms & QFile::ReadGroup)
        exe |= QFile::ExeGroup;
    if (perms & QFile::ReadOther)
        exe |= QFile::ExeOther;
    if (!file.setPermissions(perms | exe))
        throw Error(QStringLiteral("Cannot make \"%1\" executable: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    if (CreateIn.ShellFolder == TFastShellFolder::sfDesktop)
        markTrusted(path);
    return path;
}

} // namespace tl
