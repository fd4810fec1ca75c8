// libFuzzer target: any bytes as a file another notes program wrote (the
// first byte picks which), through its importer. What is taken is reported
// one for one, goes into a notes file and reads back the same, and the
// source file is never changed.

#include "platform/error.h"
#include "port/import.h"
#include "port/notesfile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

struct Source {
    tl::port::ImportKind kind;
    const char *fileName;
};
constexpr Source kSources[] = {{tl::port::ImportKind::Gnote, "a.note"},
                               {tl::port::ImportKind::Sticky, "notes.json"},
                               {tl::port::ImportKind::KNotes, "notes.ics"},
                               {tl::port::ImportKind::Files, "a.md"},
                               {tl::port::ImportKind::Files, "a.rtf"},
                               {tl::port::ImportKind::Xpad, "content-A"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_import";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    if (size == 0)
        return 0;

    const Source &source = kSources[data[0] % std::size(kSources)];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QTemporaryDir folder;
    if (!folder.isValid())
        return 0;
    const QString file = folder.filePath(QString::fromLatin1(source.fileName));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return 0;
    }
    try {
        const tl::port::ImportReport report = tl::port::importNotes(source.kind, folder.path());
        if (report.taken.size() != size_t(report.notes.size()))
            std::abort();
        if (!report.notes.isEmpty()) {
            const QString notes = folder.filePath(QStringLiteral("out.nts"));
            tl::port::writeNewNotesFile(notes, report.notes);
            QStringList back = tl::port::readAllNotes(notes);
            // The notes file keeps line ends as LF.
            QStringList expected = report.notes;
            for (QString &n : expected)
                n.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
            if (back != expected)
                std::abort();
        }
    } catch (const tl::Error &) {
        // A source refused whole is said, not taken.
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.readAll() != bytes)
        std::abort();
    return 0;
}
