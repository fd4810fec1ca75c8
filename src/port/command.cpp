#include "port/command.h"

#include "port/export.h"
#include "port/import.h"
#include "port/notesfile.h"
#include "platform/error.h"

#include <QFileInfo>
#include <QTextStream>

namespace tl::port {

namespace {

int usageError(QTextStream &err, const QString &message)
{
    err << "tessaleaf: " << message << "\n" << "Usage:\n" << portUsage();
    err.flush();
    return 2;
}

int runExport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 4)
        return usageError(err, QStringLiteral("--export takes a format, a notes file and an output"));
    const std::optional<ExportFormat> format = exportFormatNamed(args[1]);
    if (!format)
        return usageError(err, QStringLiteral("unknown export format \"%1\" (formats: %2)")
                                   .arg(args[1], exportFormatNames().join(QLatin1String(", "))));
    try {
        const QFileInfo source(args[2]), output(args[3]);
        if (source.exists() && output.exists() && source.canonicalFilePath() == output.canonicalFilePath())
            throw Error(QStringLiteral("\"%1\" is the notes file itself: the notes go out to another file").arg(args[3]));
        const QStringList notes = readAllNotes(args[2]);
        const ExportReport report = exportNotes(notes, *format, args[3], QFileInfo(args[2]).completeBaseName());
        for (const QString &notice : report.notices)
            err << "tessaleaf: " << notice << "\n";
        out << "tessaleaf: " << report.notes << (report.notes == 1 ? " note" : " notes") << " written to "
            << args[3] << "\n";
    } catch (const Error &e) {
        err << "tessaleaf: " << e.message() << "\n";
        err.flush();
        return 1;
    }
    out.flush();
    err.flush();
    return 0;
}

int runImport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 4)
        return usageError(err, QStringLiteral("--import takes a kind, a source and a new notes file"));
    const std::optional<ImportKind> kind = importKindNamed(args[1]);
    if (!kind)
        return usageError(err, QStringLiteral("unknown import kind \"%1\" (kinds: %2)")
                                   .arg(args[1], importKindNames().join(QLatin1String(", "))));
    if (!args[3].endsWith(QLatin1String(".nts")))
        return usageError(err, QStringLiteral("the notes go into a new notes file, named *.nts"));
    try {
        const ImportReport report = importNotes(*kind, args[2]);
        for (const QString &line : reportLines(report))
            out << "tessaleaf: " << line << "\n";
        if (report.notes.isEmpty()) {
            out.flush();
            err << "tessaleaf: no notes to take from " << args[2] << "; nothing written\n";
            err.flush();
            return 1;
        }
        writeNewNotesFile(args[3], report.notes);
        out << "tessaleaf: " << report.notes.size() << (report.notes.size() == 1 ? " note" : " notes")
            << " written to " << args[3] << "\n";
    } catch (const Error &e) {
        out.flush();
        err << "tessaleaf: " << e.message() << "\n";
        err.flush();
        return 1;
    }
    out.flush();
    return 0;
}

} // namespace

bool isPortCommand(const QStringList &args)
{
    return !args.isEmpty() && (args[0] == QLatin1String("--export") || args[0] == QLatin1String("--import"));
}

int runPortCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (!args.isEmpty() && args[0] == QLatin1String("--export"))
        return runExport(args, out, err);
    if (!args.isEmpty() && args[0] == QLatin1String("--import"))
        return runImport(args, out, err);
    return usageError(err, QStringLiteral("unknown command"));
}

QString portUsage()
{
    return QStringLiteral("  tessaleaf --export FORMAT NOTESFILE OUTPUT\n"
                          "               write every note of a notes file (.nts or .znts) to OUTPUT;\n"
                          "               FORMAT: %1\n"
                          "  tessaleaf --import KIND SOURCE OUTPUT.nts\n"
                          "               take the notes of another notes program (its folder or file)\n"
                          "               into a new notes file; the source is only read;\n"
                          "               KIND: %2\n")
        .arg(exportFormatNames().join(QLatin1String(", ")), importKindNames().join(QLatin1String(", ")));
}

} // namespace tl::port
