#include "skins/skinfiles.h"

#include "controls/builtinart.h"
#include "platform/archive.h"
#include "platform/error.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "settings/settingstable.h"
#include "skins/skinlayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <climits>
#include <cstdlib>
#include <optional>


namespace tl::skin {

SkinKind kindOf(const QString &name)
{
    if (name == QLatin1String(setting::NoSkin.data(), qsizetype(setting::NoSkin.size())))
        return SkinKind::BuiltIn;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return SkinKind::Folder;
    const QString ext = name.mid(dot);  // compared exactly: ".WSZ" is another extension
    if (ext == QLatin1String(".zip") || ext == QLatin1String(".wsz"))
        return SkinKind::Archive;
    return SkinKind::NoFolder;
}

quint32 pleditColour(const QString &value)
{
    const QString digits = value.mid(1, 6);
    if (digits.isEmpty())
        return 0;
    quint32 v = 0;
    for (QChar ch : digits) {
        const int d = QStringLiteral("0123456789abcdef").indexOf(ch.toLower());
        if (d < 0)
            return 0;
        v = v * 16 + quint32(d);
    }
    // Skin files write #RRGGBB; colours here are 0x00BBGGRR.
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

QString readIniValue(const QString &path, const QString &section, const QString &key, const QString &def)
{
    return IniFile::read(path).value(section, key, def);
}

QStringList listSkins(const QString &skinDir)
{
    QStringList skins;
    const QDir dir(skinDir);
    if (skinDir.isEmpty() || !dir.exists())
        return skins;
    const QDir::Filters hidden = QDir::Hidden | QDir::System;
    // The folder itself is no skin of the list: its name, ".", would load
    // the built-in skin.
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | hidden, QDir::Unsorted)) {
        if (kindOf(sub) != SkinKind::Folder)  // "Blue.zip/", "My.Skin/": the loader takes neither for a folder
            continue;
        const QDir d(dir.filePath(sub));
        const QStringList files = d.entryList(QDir::Files | hidden, QDir::Unsorted);
        if (std::any_of(files.cbegin(), files.cend(), [](const QString &f) {
                return f.startsWith(QLatin1String("pledit.bmp"), Qt::CaseInsensitive);
            }))
            skins << sub;
    }
    for (const char *ext : {".zip", ".wsz"}) {
        for (const QString &f : dir.entryList(QDir::Files | hidden, QDir::Unsorted))
            if (f.endsWith(QLatin1String(ext)) && f.size() > 4)
                skins << f;
    }
    return skins;
}

QString findNoCase(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    return {};
}

namespace {

// Deletes the plain files of a folder, not entering sub-folders.
void clearFiles(const QString &folder)
{
    QDir dir(folder);
    for (const QFileInfo &fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(fi.filePath());
    // Links to folders count as entries to delete, never to enter.
    for (const QFileInfo &fi : dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (fi.isSymLink())
            QFile::remove(fi.filePath());
}

bool unpack(const QString &archivePath, const QString &target)
{
    try {
        archive::Reader zip(archivePath, maxMembers);
        // Checked whole before anything is written, so a refused archive
        // leaves nothing behind.
        struct Entry {
            const archive::Member *member;
            QString file;
        };
        std::vector<Entry> entries;
        qint64 declared = 0;
        for (const archive::Member &m : zip.members()) {
            const auto file = archive::memberFileName(m.name);
            if (!file)
                return false;
            if (m.size >= 0 && (declared += std::min<qint64>(m.size, maxUnpackedBytes + 1)) > maxUnpackedBytes)
                return false;
            if (file->isEmpty())
                continue;  // a folder entry
            entries.push_back({&m, *file});
        }

        // Later members win over earlier ones of the same name in any case,
        // as on a disk that ignores case.
        QHash<QString, QString> written;  // lower-case name -> name on disk
        qint64 total = 0;
        for (const Entry &e : entries) {
            const QString key = e.file.toLower();
            if (const auto it = written.constFind(key); it != written.constEnd())
                QFile::remove(target + QLatin1Char('/') + *it);
            const QString out = target + QLatin1Char('/') + e.file;
            zip.extractTo(*e.member, out, maxUnpackedBytes - total);
            written.insert(key, e.file);
            total += QFileInfo(out).size();
        }
        return true;
    } catch (const Error &) {
        return false;
    }
}

} // namespace

QString DecompressSkin(const QString &archivePath, const QString &tempRoot)
{
    const QString target = QDir(tempRoot).filePath(QFileInfo(archivePath).fileName().trimmed());
    const QFileInfo ti(target);
    if (ti.isSymLink())
        QFile::remove(target);
    QDir().mkpath(target);
    clearFiles(target);
    if (!unpack(archivePath, target))
        clearFiles(target);  // a broken or refused archive is a skin without pledit.bmp
    return target;
}

void KillSkin(const QString &name, const QString &tempRoot)
{
    if (!name.contains(QLatin1Char('.')))
        return;
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return;
    const QString folder = QDir(tempRoot).filePath(fileName);
    if (QFileInfo(folder).isSymLink()) {
        QFile::remove(folder);
        return;
    }
    clearFiles(folder);
    QDir().rmdir(folder);
}

void KillSkin(const QString &name)
{
    if (!name.contains(QLatin1Char('.')))
        return;
    try {
        KillSkin(name, paths::privateTempFolder());
    } catch (const std::exception &) {
    }
}

namespace {

struct BitmapHeader {
    QSize size;
    bool topDown = false;
    int bits = 0;
    quint32 compression = 0;
    qint64 offset = 0;
};

// The picture's header; nothing when the file is no bitmap, or is an
// uncompressed one that does not hold all its rows (the reader would fill a
// truncated one with black and call it good).
std::optional<BitmapHeader> bitmapHeader(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = f.read(54);
    if (head.size() < 54 || !head.startsWith("BM"))
        return std::nullopt;
    const auto *d = reinterpret_cast<const uchar *>(head.constData());
    BitmapHeader h;
    const quint32 headerSize = qFromLittleEndian<quint32>(d + 14);
    if (headerSize < 40) {  // the old core header, 16-bit sides; its rows are left to the reader
        h.size = QSize(qFromLittleEndian<quint16>(d + 18), qFromLittleEndian<quint16>(d + 20));
        return h;
    }
    h.offset = qFromLittleEndian<quint32>(d + 10);
    const qint64 width = std::abs(qint64(qFromLittleEndian<qint32>(d + 18)));
    const qint64 signedHeight = qFromLittleEndian<qint32>(d + 22);
    const qint64 height = std::abs(signedHeight);
    if (width > INT_MAX || height > INT_MAX)
        return std::nullopt;
    h.size = QSize{int(width), int(height)};
    h.topDown = signedHeight < 0;
    h.bits = qFromLittleEndian<quint16>(d + 28);
    h.compression = qFromLittleEndian<quint32>(d + 30);
    if (h.compression != 0 && h.compression != 3)
        return h;  // run-length data has no fixed size
    // Far beyond any picture taken, and before the size below could overflow.
    if (width > (1 << 20) || height > (1 << 20) || h.bits > 64)
        return std::nullopt;
    const qint64 stride = (width * h.bits + 31) / 32 * 4;
    if (h.offset + stride * height > f.size())
        return std::nullopt;
    return h;
}

// Plain 24-bit rows, the built-in picture's kind, copied straight: the
// general reader goes pixel by pixel through two conversions.
QImage read24(const QString &path, const BitmapHeader &h)
{
    const int w = h.size.width(), rows = h.size.height();
    const qint64 stride = (qint64(w) * 24 + 31) / 32 * 4;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(h.offset))
        return {};
    const QByteArray data = f.read(stride * rows);
    if (data.size() != stride * rows)
        return {};
    QImage image(w, rows, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    for (int y = 0; y < rows; ++y) {
        const uchar *src = bytes + stride * (h.topDown ? y : rows - 1 - y);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x, src += 3)
            dst[x] = qRgb(src[2], src[1], src[0]);
    }
    return image;
}

} // namespace

QImage readBitmap(const QString &path, int maxSide)
{
    // Sides checked before decoding, so a huge picture never takes the memory.
    const std::optional<BitmapHeader> header = bitmapHeader(path);
    if (!header || header->size.isEmpty() || header->size.width() > maxSide || header->size.height() > maxSide)
        return {};
    if (header->bits == 24 && header->compression == 0)
        return read24(path, *header);
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

namespace {

// The usual pointer image (32 bits a pixel with an alpha channel, no
// compression) read without the image plugin, whose loading costs more than
// the decoding. Anything else gives a null image and goes to the plugin.
QImage decodeAlphaCursor(const QByteArray &bytes)
{
    const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 size = qFromLittleEndian<quint32>(d + 6 + 8), offset = qFromLittleEndian<quint32>(d + 6 + 12);
    if (offset < 6 + 16 || qint64(offset) + 40 > bytes.size() || qint64(offset) + size > bytes.size())
        return {};
    const uchar *info = d + offset;
    const qint32 w = qFromLittleEndian<qint32>(info + 4), h2 = qFromLittleEndian<qint32>(info + 8);
    if (qFromLittleEndian<quint32>(info) != 40 || qFromLittleEndian<quint16>(info + 14) != 32
        || qFromLittleEndian<quint32>(info + 16) != 0 || w <= 0 || w > 256 || h2 <= 0 || h2 % 2 != 0 || h2 / 2 > 256)
        return {};
    const int h = h2 / 2;  // the colour rows; the mask rows follow
    const qint64 stride = qint64(w) * 4, maskStride = (qint64(w) + 31) / 32 * 4;
    const uchar *colours = info + 40;
    if (colours + (stride + maskStride) * h > d + bytes.size())
        return {};
    QImage image(w, h, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const uchar *src = colours + stride * (h - 1 - y);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x, src += 4) {
            dst[x] = qRgba(src[2], src[1], src[0], src[3]);
            anyAlpha |= src[3] != 0;
        }
    }
    return anyAlpha ? image : QImage();
}

} // namespace

std::optional<CursorImage> readCursor(const QString &path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly) || f.size() > (1 << 20))
        return std::nullopt;
    const QByteArray bytes = f.readAll();
    // ICONDIR: reserved 0, type 2 (cursor), count; then 16-byte entries
    // whose planes and bit-count fields hold the hot spot.
    if (bytes.size() < 6 + 16)
        return std::nullopt;
    const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
    if (qFromLittleEndian<quint16>(d) != 0 || qFromLittleEndian<quint16>(d + 2) != 2
        || qFromLittleEndian<quint16>(d + 4) == 0)
        return std::nullopt;
    const QPoint hot(qFromLittleEndian<quint16>(d + 6 + 4), qFromLittleEndian<quint16>(d + 6 + 6));
    QImage image = decodeAlphaCursor(bytes);
    if (image.isNull() && (!image.loadFromData(bytes, "CUR") || image.isNull()))
        return std::nullopt;
    return CursorImage{image, QPoint(std::min(hot.x(), image.width() - 1), std::min(hot.y(), image.height() - 1))};
}

QImage readGlyph(const QString &folder, const char *button)
{
    const QString own = findNoCase(folder, QLatin1String(button) + QLatin1String(".bmp"));
    if (!own.isEmpty()) {
        const QImage image = readBitmap(own, 256);
        if (!image.isNull())
            return image;
    }
    return readBitmap(builtin::buttonGlyphBmp(button));
}

namespace {

// A picture too small for every region lies over the built-in one: the
// part of a region past its edge shows the built-in pixels there.
QImage overBuiltInPicture(const QImage &own)
{
    QImage out = readBitmap(builtin::skinPicture).copy(QRect(QPoint(0, 0), own.size().expandedTo(pictureSize)));
    QPainter p(&out);
    p.drawImage(0, 0, own);
    return out;
}

// The built-in skin never changes; start-up loads the skin twice.
const SkinData &builtInSkin()
{
    static const SkinData data = [] {
        SkinData d;
        d.name = QLatin1String(setting::NoSkin.data(), qsizetype(setting::NoSkin.size()));
        d.picture = readBitmap(builtin::skinPicture);
        d.back = 0x000000;
        d.text = 0xC0C0C0;
        for (size_t i = 0; i < builtin::buttonGlyphs.size(); ++i)
            d.glyphs[i] = readGlyph(QString(), builtin::buttonGlyphs[i].button);
        for (const builtin::CursorArt &c : builtin::cursors)
            d.cursors[size_t(c.slot - 1)] = readCursor(builtin::cursorPath(c));
        return d;
    }();
    return data;
}

} // namespace

SkinData readSkin(const QString &name, const QString &skinDir, const QString &tempRoot)
{
    SkinData data;
    data.name = name;
    switch (kindOf(name)) {
    case SkinKind::BuiltIn:
    case SkinKind::NoFolder:
        break;
    case SkinKind::Folder:
        data.folder = QDir(skinDir).filePath(name) + QLatin1Char('/');
        break;
    case SkinKind::Archive:
        if (!tempRoot.isEmpty())
            data.folder = DecompressSkin(QDir(skinDir).filePath(name), tempRoot) + QLatin1Char('/');
        break;
    }

    const QString pictureFile = findNoCase(data.folder, QStringLiteral("pledit.bmp"));
    if (!pictureFile.isEmpty()) {
        data.picture = readBitmap(pictureFile);
        if (!data.picture.isNull() && data.picture.size() != data.picture.size().expandedTo(pictureSize))
            data.picture = overBuiltInPicture(data.picture);
    }
    const QString none = QLatin1String(setting::NoSkin.data(), qsizetype(setting::NoSkin.size()));
    if (data.picture.isNull() || data.name == none)
        return builtInSkin();
    const QString colours = findNoCase(data.folder, QStringLiteral("pledit.txt"));
    data.back = pleditColour(readIniValue(colours, QStringLiteral("Text"), QStringLiteral("NormalBG"), QStringLiteral("ff0000")));
    data.text = pleditColour(readIniValue(colours, QStringLiteral("Text"), QStringLiteral("Normal"), QStringLiteral("00ff00")));

    for (size_t i = 0; i < builtin::buttonGlyphs.size(); ++i)
        data.glyphs[i] = readGlyph(data.folder, builtin::buttonGlyphs[i].button);

    for (const builtin::CursorArt &c : builtin::cursors) {
        const size_t slot = size_t(c.slot - 1);
        // The editor's I-beam is always the built-in one.
        if (c.slot == 6)
            data.cursors[slot] = builtInSkin().cursors[slot];
        else
            data.cursors[slot] = readCursor(findNoCase(data.folder, QLatin1String(c.file)));
    }
    return data;
}

} // namespace tl::skin
