#include "support/tempenv.h"

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

} // namespace tltest
