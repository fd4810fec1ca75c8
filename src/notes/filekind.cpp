#include "notes/filekind.h"

#include <QFileInfo>

namespace tl {

QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

FileKind fileKindOf(const QString &path)
{
    const QString ext = extensionOf(path);
    if (ext == QLatin1String(".nts"))
        return FileKind::Notes;
    if (ext == QLatin1String(".znts"))
        return FileKind::Compressed;
    return FileKind::Document;
}

bool writesRtf(const QString &path)
{
    return extensionOf(path).toLower() == QLatin1String(".rtf");
}

bool isExistingFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace tl
