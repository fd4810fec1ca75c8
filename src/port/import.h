#pragma once
// Notes in from other notes programs: each importer reads a program's
// files (never writing them) and gives its notes as this program keeps
// them, in the source's order, with a report of what was taken and what was
// skipped, and why.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tl::port {

enum class ImportKind { Gnote, Tomboy, Xpad, Xfce4Notes, Sticky, KNotes, Files };

// By the names the command line takes: gnote, tomboy, xpad, xfce4-notes,
// sticky, knotes, files.
std::optional<ImportKind> importKindNamed(const QString &name);
QString importKindName(ImportKind kind);
QStringList importKindNames();

// Where the program keeps its notes, those that exist, most likely first;
// home, dataHome and configHome as the environment gives them.
QStringList usualPlaces(ImportKind kind, const QString &home, const QString &dataHome, const QString &configHome);
// The same from the environment (HOME, XDG_DATA_HOME, XDG_CONFIG_HOME).
QStringList usualPlaces(ImportKind kind);

struct ImportReport {
    struct Taken {
        QString source;  // the file, or the file and the entry in it
        QString title;   // the note's first line
    };
    struct Skipped {
        QString source;
        QString reason;
    };
    QStringList notes;  // as stored in a notes file, in order
    std::vector<Taken> taken;
    std::vector<Skipped> skipped;
    // Other things worth saying (what a note lost on the way).
    QStringList notices;
};

// Reads the source (a folder or a file, as the kind takes it). Throws
// tl::Error when the source itself cannot be read; a damaged note file in
// it is skipped and reported.
ImportReport importNotes(ImportKind kind, const QString &source);

// The report in lines for a person: "taken: ...", "skipped: ...: why".
QStringList reportLines(const ImportReport &report);

} // namespace tl::port
