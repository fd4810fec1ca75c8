// libFuzzer target: any bytes as a skin's picture (pledit.bmp, a button's
// bitmap) and as one of its cursors. A picture is either refused or comes
// within the size limit in the format the painter expects; a cursor's hot
// spot lies on its image.

#include "skins/skinfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = dir.filePath(QStringLiteral("pledit.bmp"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            std::abort();
    }
    for (const int side : {tl::skin::maxPictureSide, 256}) {
        const QImage image = tl::skin::readBitmap(path, side);
        if (!image.isNull() && (image.width() > side || image.height() > side || image.format() != QImage::Format_RGB32))
            std::abort();
    }
    if (const auto cursor = tl::skin::readCursor(path)) {
        const QRect on(QPoint(0, 0), cursor->image.size());
        if (cursor->image.isNull() || !on.contains(cursor->hotSpot))
            std::abort();
    }
    return 0;
}
