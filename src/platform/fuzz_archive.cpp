// libFuzzer target: any bytes as a ZIP archive, read as a compressed notes
// file and as an archive skin. A refused archive leaves the working copy as
// it was and no partial file behind; a skin unpacks flat into its own folder
// and nowhere else; a notes file that unpacks packs and unpacks again to the
// same bytes.

#include "notes/compressed.h"
#include "platform/archive.h"
#include "platform/error.h"
#include "skins/skinfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString archive = dir.filePath(QStringLiteral("Diary.znts"));
    writeBytes(archive, bytes);

    constexpr qint64 limit = 1 << 20;
    try {
        tl::archive::Reader zip(archive, 64);
        for (const tl::archive::Member &m : zip.members()) {
            (void)tl::archive::memberFileName(m.name);
            try {
                if (zip.read(m, limit).size() > limit)
                    std::abort();
            } catch (const tl::Error &) {
            }
        }
    } catch (const tl::Error &) {
    }

    const QString work = dir.filePath(QStringLiteral("work"));
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    const QString copy = work + QStringLiteral("/Diary.nts");
    writeBytes(copy, "the working copy before");
    bool unpacked = true;
    try {
        tl::compressed::unpackNotes(archive, copy);
    } catch (const tl::Error &) {
        unpacked = false;
    }
    if (QDir(work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() != 1)
        std::abort();
    if (!unpacked && bytesOf(copy) != "the working copy before")
        std::abort();
    if (unpacked) {
        const QByteArray notes = bytesOf(copy);
        const QString again = work + QStringLiteral("/Again.znts");
        const QString back = work + QStringLiteral("/Again.nts");
        tl::compressed::packNotes(copy, again, size > 0 ? data[0] % 10 : 0);
        tl::compressed::unpackNotes(again, back);
        if (bytesOf(back) != notes)
            std::abort();
    }

    const QString root = dir.filePath(QStringLiteral("skins"));
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    const QString skinArchive = dir.filePath(QStringLiteral("Fuzz.wsz"));
    QFile::remove(skinArchive);
    QFile::copy(archive, skinArchive);
    const QString folder = tl::skin::DecompressSkin(skinArchive, root);
    if (QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) != QStringList{QStringLiteral("Fuzz.wsz")})
        std::abort();
    qint64 total = 0;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System); it.hasNext();) {
        const QFileInfo f(it.next());
        if (!f.isFile() || f.isSymLink())
            std::abort();
        total += f.size();
    }
    if (total > tl::skin::maxUnpackedBytes)
        std::abort();
    tl::skin::KillSkin(QStringLiteral("Fuzz.wsz"), root);
    if (QFileInfo::exists(folder))
        std::abort();
    return 0;
}
