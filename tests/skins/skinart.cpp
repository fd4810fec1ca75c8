#include "skinart.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <zip.h>

namespace skintest {

namespace rg = tl::skin::region;

QImage syntheticPicture(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    auto fill = [&](QRect r, QRgb c) { p.fillRect(r, QColor::fromRgb(c)); };
    fill(rg::titleLeft, titleLeft);
    fill(rg::titleCentre, titleCentre);
    fill(rg::titleFiller, titleFiller);
    fill(rg::titleRight, titleRight);
    fill(rg::leftSide, leftRest);
    fill(QRect(0, 42, 25, 1), leftRow42);  // only this row may show
    fill(rg::rightSide, rightSide);
    fill(rg::thumb, thumb);
    fill(rg::thumbPressed, thumbPressed);
    fill(rg::footLeft, footLeft);
    fill(rg::footFiller, footFiller);
    fill(rg::grip, grip);
    return img;
}

namespace {

void put16(QByteArray &b, int v)
{
    char d[2];
    qToLittleEndian<quint16>(quint16(v), d);
    b.append(d, 2);
}
void put32(QByteArray &b, qint64 v)
{
    char d[4];
    qToLittleEndian<quint32>(quint32(v), d);
    b.append(d, 4);
}

} // namespace

QByteArray bmpBytes(const QImage &source, int bits, bool rle)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    QByteArray pixels;
    QList<QRgb> palette;
    if (bits == 8) {
        QHash<QRgb, int> index;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!index.contains(img.pixel(x, y))) {
                    index.insert(img.pixel(x, y), int(palette.size()));
                    palette.append(img.pixel(x, y));
                }
        for (int y = h - 1; y >= 0; --y) {
            if (rle) {
                for (int x = 0; x < w;) {
                    const int v = index.value(img.pixel(x, y));
                    int n = 1;
                    while (x + n < w && n < 255 && index.value(img.pixel(x + n, y)) == v)
                        ++n;
                    pixels.append(char(n)).append(char(v));
                    x += n;
                }
                pixels.append(char(0)).append(char(0));  // end of line
            } else {
                for (int x = 0; x < w; ++x)
                    pixels.append(char(index.value(img.pixel(x, y))));
                while (pixels.size() % 4)
                    pixels.append(char(0));
            }
        }
        if (rle)
            pixels.append(char(0)).append(char(1));  // end of bitmap
    } else {
        for (int y = h - 1; y >= 0; --y) {
            const int start = int(pixels.size());
            for (int x = 0; x < w; ++x) {
                const QRgb c = img.pixel(x, y);
                pixels.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
                if (bits == 32)
                    pixels.append(char(0));
            }
            while ((pixels.size() - start) % 4)
                pixels.append(char(0));
        }
    }
    const int paletteBytes = int(palette.size()) * 4;
    const int offset = 14 + 40 + paletteBytes;
    QByteArray out("BM");
    put32(out, offset + pixels.size());
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, bits);
    put32(out, rle ? 1 : 0);
    put32(out, pixels.size());
    put32(out, 2835);
    put32(out, 2835);
    put32(out, palette.size());
    put32(out, 0);
    for (QRgb c : palette)
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    return out + pixels;
}

QByteArray zipBytes(const std::vector<std::pair<QString, QByteArray>> &members)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    // libzip reads the buffers when the archive is closed.
    std::vector<QByteArray> kept;
    kept.reserve(members.size());
    for (const auto &[name, bytes] : members) {
        const QByteArray &copy = kept.emplace_back(bytes);
        zip_source_t *src = zip_source_buffer(z, copy.constData(), zip_uint64_t(copy.size()), 0);
        zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
    }
    zip_close(z);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray curBytes(QPoint hotSpot, QRgb colour)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(colour);
    QByteArray ico;
    QBuffer buf(&ico);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "ICO");
    // An icon becomes a cursor: type 2, and the entry's planes and bit
    // count fields hold the hot spot.
    qToLittleEndian<quint16>(2, ico.data() + 2);
    qToLittleEndian<quint16>(quint16(hotSpot.x()), ico.data() + 6 + 4);
    qToLittleEndian<quint16>(quint16(hotSpot.y()), ico.data() + 6 + 6);
    return ico;
}

} // namespace skintest
