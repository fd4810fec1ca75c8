#include "support/tempenv.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

namespace tltest {

static QString &sandboxPath()
{
    static QString path;
    return path;
}

void initSandbox()
{
    // Made before QTemporaryDir can see TMPDIR, under the system temp folder.
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tessaleaf-test-XXXXXX"));
    sandboxPath() = dir.path();
    for (const char *var : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "TMPDIR", "XDG_DATA_HOME", "HOME"}) {
        const QString sub = dir.path() + QLatin1Char('/') + QString::fromLatin1(var).toLower();
        QDir().mkpath(sub);
        QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(var, QFile::encodeName(sub));
    }
}

QString sandbox() { return sandboxPath(); }

QString freshFolder()
{
    const QString path = sandbox() + QStringLiteral("/case-") + QUuid::createUuid().toString(QUuid::Id128);
    QDir().mkpath(path);
    return path;
}

QString freshConfig()
{
    const QString path = freshFolder();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path));
    return path;
}

QString writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(data);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void rewriteInPlaceKeepingTime(const QString &path, const QByteArray &data)
{
    struct stat before {};
    if (::stat(QFile::encodeName(path).constData(), &before) != 0)
        qFatal("cannot stat %s", qPrintable(path));
    // Wait for the status change clock to move past the file's time: a
    // scratch file's status is changed until it shows a later time.
    const QString scratch = path + QStringLiteral(".tick");
    writeFile(scratch, {});
    for (int i = 0; i < 1000000; ++i) {
        struct stat now {};
        ::chmod(QFile::encodeName(scratch).constData(), i % 2 ? 0600 : 0644);
        ::stat(QFile::encodeName(scratch).constData(), &now);
        if (now.st_ctim.tv_sec != before.st_ctim.tv_sec || now.st_ctim.tv_nsec != before.st_ctim.tv_nsec)
            break;
    }
    QFile::remove(scratch);
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || f.size() != data.size())
        qFatal("cannot rewrite %s in place with as many bytes", qPrintable(path));
    f.write(data);
    f.close();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        qFatal("cannot set the times of %s", qPrintable(path));
}

} // namespace tltest
