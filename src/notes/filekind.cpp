#include "notes/filekind.h"

#include <QFileInfo>

namespace tl {

QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

namespace {
// An encrypted file is named as the file it holds, with ".age" added.
QString withoutAge(const QString &path)
{
    return path.endsWith(QLatin1String(".age")) ? path.chopped(4) : path;
}
} // namespace

FileKind fileKindOf(const QString &path)
{
    const QString ext = extensionOf(path);
    if (ext == QLatin1String(".nts") || (ext == QLatin1String(".age") && extensionOf(withoutAge(path)) == QLatin1String(".nts")))
        return FileKind::Notes;
    if (ext == QLatin1String(".znts"))
        return FileKind::Compressed;
    return FileKind::Document;
}

bool writesRtf(const QString &path)
{
    return extensionOf(withoutAge(path)).toLower() == QLatin1String(".rtf");
}

bool isExistingFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace tl
