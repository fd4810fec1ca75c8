#include "notes/recovery.h"

#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tl::recovery {

namespace {

const QString kTold = QStringLiteral(".told");

// A name from the document's own name: no separators, nothing hidden.
QString safeName(QString what)
{
    what.replace(QLatin1Char('/'), QLatin1Char('_'));
    what = what.trimmed();
    while (what.startsWith(QLatin1Char('.')))
        what.remove(0, 1);
    return what.left(120);
}

QString madeFolder()
{
    const QString f = folder();
    QDir().mkpath(QFileInfo(f).absolutePath());
    paths::makePrivateFolder(f);
    return f;
}

QStringList toldNames(const QString &dir)
{
    QFile list(dir + QLatin1Char('/') + kTold);
    if (!list.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

QString folder()
{
    return paths::dataFolder() + QStringLiteral("/recovered");
}

QString keep(const QString &what, const QString &suffix, const QByteArray &bytes, const QDateTime &when)
{
    const QString dir = madeFolder();
    QString stem = when.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    if (const QString name = safeName(what); !name.isEmpty())
        stem += QLatin1Char(' ') + name;
    QString path = dir + QLatin1Char('/') + stem + suffix;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir + QLatin1Char('/') + stem + QStringLiteral(" (%1)").arg(n) + suffix;
    AtomicFile file(path);
    file.setNewFileMode(0600);
    file.write(bytes.constData(), bytes.size());
    file.commit();
    return path;
}

QStringList untold()
{
    const QString dir = folder();
    const QStringList told = toldNames(dir);
    QStringList files;
    // Names start with the time: by name is oldest first.
    for (const QString &name : QDir(dir).entryList(QDir::Files, QDir::Name))
        if (!told.contains(name))
            files << dir + QLatin1Char('/') + name;
    return files;
}

void markTold(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QString dir = madeFolder();
    QStringList told = toldNames(dir);
    // Only names still there: the list does not grow past what the folder holds.
    const QStringList present = QDir(dir).entryList(QDir::Files);
    told.erase(std::remove_if(told.begin(), told.end(), [&](const QString &n) { return !present.contains(n); }),
               told.end());
    for (const QString &f : files)
        if (const QString name = QFileInfo(f).fileName(); !told.contains(name))
            told << name;
    AtomicFile list(dir + QLatin1Char('/') + kTold);
    list.setNewFileMode(0600);
    const QByteArray bytes = told.join(QLatin1Char('\n')).toUtf8() + '\n';
    list.write(bytes.constData(), bytes.size());
    list.commit();
}

} // namespace tl::recovery
