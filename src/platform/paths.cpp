#include "platform/paths.h"

#include "platform/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TESSALEAF_DATA_DIR
#define TESSALEAF_DATA_DIR "/usr/local/share/tessaleaf"
#endif

namespace tl::paths {

namespace {
// The XDG rule: a relative value counts as unset.
QString xdgFolder(const char *variable, const QString &fallback)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + fallback;
    return QDir::cleanPath(base + QStringLiteral("/Tessaleaf"));
}
} // namespace

QString configFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString dataFolder()
{
    return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

void makePrivateFolder(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        throw Error(QStringLiteral("Cannot create \"%1\": %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
}

QString settingsFile()
{
    return configFolder() + QStringLiteral("/settings.conf");
}

QString privateTempFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        ? QDir::cleanPath(runtime + QStringLiteral("/tessaleaf"))
        : QDir::cleanPath(QDir::tempPath() + QStringLiteral("/tessaleaf-%1").arg(::getuid()));
    makePrivateFolder(folder);
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        throw Error(QStringLiteral("The temporary folder \"%1\" is not a private folder of this user").arg(folder));
    if ((st.st_mode & 077) != 0)
        ::chmod(native.constData(), 0700);
    return folder;
}

QString programFolder()
{
    return programFolderFor(QCoreApplication::applicationDirPath());
}

QString programFolderFor(const QString &exeDir)
{
    if (QFileInfo(exeDir + QStringLiteral("/languages")).isDir()
        || QFileInfo(exeDir + QStringLiteral("/Languages")).isDir())
        return exeDir;
    // Installed: <prefix>/bin/tessaleaf beside <prefix>/share/tessaleaf,
    // wherever the prefix was moved to (a DESTDIR, a package's root).
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/../share/tessaleaf"));
    if (QFileInfo(installed + QStringLiteral("/languages")).isDir())
        return installed;
    return QStringLiteral(TESSALEAF_DATA_DIR);
}

QString longPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace tl::paths
