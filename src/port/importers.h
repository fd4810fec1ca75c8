#pragma once
// The importers' shared parts: a builder that makes a note's RTF the way
// the editor writes it, and one reader per source kind.

#include "port/import.h"

#include <QDateTime>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace tl::port::detail {

// A note built run by run, written as RTF.
class NoteBuilder {
public:
    NoteBuilder();
    // The first line, in bold, and the paragraph after it begun.
    void title(const QString &title);
    // text, each '\n' beginning a paragraph; list items where listItem.
    void text(const QString &text, const QTextCharFormat &format = {}, bool listItem = false);
    // Replaces the document with HTML (a source that keeps its notes so),
    // after the title if one was given.
    void html(const QString &html);
    void markdown(const QString &markdown);
    QTextDocument &document() { return m_doc; }
    QString rtf();

private:
    void placeBlock(bool listItem);
    QTextDocument m_doc;
    QTextCursor m_cursor;
};

// A note read, with what orders it.
struct Entry {
    QString source;
    QString note;
    QDateTime created;  // invalid: the source's own order only
};

// Taken entries into the report; ordered by creation time when every entry
// has one, else as they came.
void take(ImportReport &report, std::vector<Entry> entries);

// Fills entries and report.skipped; throws tl::Error for a source that
// cannot be read at all.
void readTomboyNotes(const QString &folder, std::vector<Entry> &entries, ImportReport &report);
void readXpad(const QString &folder, std::vector<Entry> &entries, ImportReport &report);
void readXfce4Notes(const QString &folder, std::vector<Entry> &entries, ImportReport &report);
void readSticky(const QString &source, std::vector<Entry> &entries, ImportReport &report);
void readKNotes(const QString &source, std::vector<Entry> &entries, ImportReport &report);
void readFiles(const QString &folder, std::vector<Entry> &entries, ImportReport &report);

// Helpers for the readers.
QByteArray readSourceFile(const QString &path);  // throws tl::Error
// Text of a source file as UTF-8; nullopt when it is not (then skipped).
std::optional<QString> utf8Text(const QByteArray &bytes);
// Entries of a folder, sorted by name; throws when it is no folder.
QStringList folderEntries(const QString &folder, bool folders);
QString shownPath(const QString &path);
// "Note 2" before "Note 10".
bool countingOrder(const QString &a, const QString &b);

} // namespace tl::port::detail
