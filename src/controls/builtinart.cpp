#include "controls/builtinart.h"

#include <QImageReader>
#include <QPixmap>
#include <QtCore/qglobal.h>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initArtResource() { Q_INIT_RESOURCE(art); }

namespace tl::builtin {

void initArt() { initArtResource(); }

QImage readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon pngIcon(const QString &path)
{
    return QIcon(QPixmap::fromImage(readPng(path)));
}

QIcon programWindowIcon()
{
    QIcon icon;
    for (int size : programIconSizes)
        if (size <= 128)
            icon.addPixmap(QPixmap::fromImage(readPng(programIcon(size))));
    return icon;
}

} // namespace tl::builtin
