// libFuzzer target: any bytes as a notes file. The store either reads the
// file or refuses it with tl::Error. A refused file is never written, by any
// operation; a file it reads takes an appended note and a changed field and
// gives back every note it held before, unchanged.

#include "notes/recordstore.h"
#include "platform/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

template <typename F> bool refused(F &&op)
{
    try {
        op();
        return false;
    } catch (const tl::Error &) {
        return true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.nts"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            std::abort();
    }

    tl::RecordStore store([] { return tl::RecordStore::NewFileFields{QStringLiteral("a"), QStringLiteral("c")}; });
    int count = 0;
    if (refused([&] { count = store.noteCount(path); })) {
        // Every operation refuses it and leaves it byte for byte as it was.
        if (!refused([&] { store.loadNote(0, path); }) || !refused([&] { store.saveNote(0, path, QStringLiteral("x")); })
            || !refused([&] { store.removeNote(0, path); })
            || !refused([&] { store.setParam(path, QStringLiteral("AuthorName"), QStringLiteral("x")); }))
            std::abort();
        if (contentOf(path) != bytes)
            std::abort();
        return 0;
    }

    const int shown = std::min(count, 64);
    std::vector<QString> before;
    for (int i = 0; i < shown; ++i)
        before.push_back(store.loadNote(i, path));
    if (!refused([&] { store.loadNote(count, path); }))
        std::abort();
    for (const char *name : {"lastupdate", "authorname", "companyname", "comments", "realpath", "compresslevel"})
        (void)refused([&] { store.param(path, QLatin1String(name)); });

    // An information block without six fields refuses the change; the
    // notes themselves stay readable either way.
    const bool fieldSet = !refused([&] { store.setParam(path, QStringLiteral("Comments"), QStringLiteral("fuzzcrlf<&>")); });
    store.saveNote(count, path, QStringLiteral("{\\rtf1 appended & <kept>}"));

    tl::RecordStore fresh;
    int after = 0;
    const QString appended = fresh.loadNote(count, path, &after);
    if (after != count + 1 || appended != QStringLiteral("{\\rtf1 appended & <kept>}"))
        std::abort();
    for (int i = 0; i < shown; ++i)
        if (fresh.loadNote(i, path) != before[size_t(i)])
            std::abort();
    if (fieldSet && fresh.param(path, QStringLiteral("comments")) != QStringLiteral("fuzzcrlf<&>"))
        std::abort();
    if (!fresh.removeNote(count, path) || fresh.noteCount(path) != count)
        std::abort();
    return 0;
}
