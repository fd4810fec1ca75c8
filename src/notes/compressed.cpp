#include "notes/compressed.h"

#include "notes/recordstore.h"
#include "platform/archive.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace tl::compressed {
namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

QString memberNameFor(const QString &archivePath)
{
    return QFileInfo(archivePath).fileName().chopped(4) + QStringLiteral("nts");
}

QString workingCopyPath(const QString &archivePath, const QString &tempFolder)
{
    return tempFolder + QLatin1Char('/') + memberNameFor(archivePath);
}

QString archivePathFor(const QString &notesPath)
{
    return notesPath.chopped(3) + QStringLiteral("znts");
}

QString recoveredCopyPath(const QString &archivePath, const QDateTime &when)
{
    const QFileInfo fi(archivePath);
    return fi.absolutePath() + QLatin1Char('/') + fi.fileName().chopped(5)
        + when.toString(QStringLiteral(" '(recovered' yyyy-MM-dd HH-mm-ss')'")) + QStringLiteral(".nts");
}

void unpackNotes(const QString &archivePath, const QString &path)
{
    archive::Reader zip(archivePath);
    const QString expected = memberNameFor(archivePath);
    const archive::Member *found = nullptr;
    QStringList others;
    // Every member is looked at: one that would leave its folder makes the
    // whole archive suspect.
    for (const archive::Member &m : zip.members()) {
        const auto file = archive::memberFileName(m.name);
        if (!file)
            throw Error(
                QStringLiteral("\"%1\" holds \"%2\", which would unpack outside its folder; nothing was unpacked.")
                    .arg(shown(archivePath), m.name));
        if (file->isEmpty())
            continue; // a folder entry
        if (file->compare(expected, Qt::CaseInsensitive) == 0) {
            if (!found)
                found = &m;
        } else {
            others << *file;
        }
    }
    if (!found) {
        if (others.isEmpty())
            throw Error(QStringLiteral("\"%1\" is empty: it should hold the notes file \"%2\".")
                            .arg(shown(archivePath), expected));
        throw Error(QStringLiteral("\"%1\" holds \"%2\", not the notes file \"%3\" its name calls for.")
                        .arg(shown(archivePath), others.join(QStringLiteral("\", \"")), expected));
    }
    if (found->size > maxNotesBytes)
        throw Error(QStringLiteral("\"%1\" in \"%2\" unpacks to %3 bytes, more than a notes file of %4 bytes may hold.")
                        .arg(found->name, shown(archivePath))
                        .arg(found->size)
                        .arg(maxNotesBytes));
    // Out to a name of its own first: a failure leaves what was at path.
    const QString part = QFileInfo(path).absolutePath() + QStringLiteral("/.") + QFileInfo(path).fileName()
        + QStringLiteral(".unpacking");
    zip.extractTo(*found, part, maxNotesBytes);
    if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(part);
        throw Error(QStringLiteral("Cannot write \"%1\"").arg(shown(path)));
    }
}

void packNotes(const QString &notesPath, const QString &archivePath, int level)
{
    archive::writeSingleMember(archivePath, memberNameFor(archivePath), notesPath, level);
}

bool sameNotes(const QString &a, const QString &b)
{
    RecordStore left, right;
    const int count = left.noteCount(a);
    if (count != right.noteCount(b))
        return false;
    for (const char *field : { "lastupdate", "authorname", "companyname", "comments", "compresslevel" })
        if (left.param(a, QLatin1String(field)) != right.param(b, QLatin1String(field)))
            return false;
    for (int i = 0; i < count; ++i)
        if (left.loadNote(i, a) != right.loadNote(i, b))
            return false;
    return true;
}

} // namespace tl::compressed
