#include "platform/paths.h"

#include "platform/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TESSALEAF_DATA_DIR
#define TESSALEAF_DATA_DIR "/usr/local/share/tessaleaf"
#endif

namespace tl::paths {

QString configFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/Tessaleaf"));
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
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        throw Error(QStringLiteral("Cannot create the temporary folder \"%1\"").arg(folder));
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
