#pragma once
// Notes out to the formats other tools read: one HTML page, CommonMark,
// plain text, PDF, or a folder of RTF files, one per note.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tl::port {

enum class ExportFormat { Html, Markdown, Text, Pdf, RtfFolder };

// The formats by the names the command line takes: html, md, txt, pdf, rtf-dir.
std::optional<ExportFormat> exportFormatNamed(const QString &name);
QString exportFormatName(ExportFormat format);
QStringList exportFormatNames();

// One self-contained HTML5 page: a table of contents, then each note in its
// own section, its first line as its heading; bold, italic, underline,
// strikeout, colours, sizes, alignment, bullets, links (web, mail and file
// ones, and places in the page) and tables kept,
// pictures embedded as data: URIs.
QByteArray htmlOf(const QStringList &notes, const QString &title);
// CommonMark: each note's first line a heading, notes apart by a rule.
// Underline and strikeout go as inline HTML, tables as pipe tables.
QByteArray markdownOf(const QStringList &notes);
// Plain text, UTF-8: the notes apart by a line holding only a form feed.
QByteArray textOf(const QStringList &notes);
// A PDF, each note from a new page, the pages numbered.
QByteArray pdfOf(const QStringList &notes, const QString &title);
// The name of note index (from 0) in an RTF folder: "003 Shopping list.rtf".
QString rtfFileName(int index, const QString &note);

// What an export did beyond writing: notes whose RTF held what no other
// format takes (footnotes, comments, ...), each in a sentence.
struct ExportReport {
    int notes = 0;
    QStringList notices;
};

// Writes notes to output in format. Files are written beside and renamed;
// an RTF folder is made beside under another name and renamed once whole,
// and refused when output already exists. An output named like a notes file
// (.nts, .znts, .snts) is refused. Throws tl::Error.
ExportReport exportNotes(const QStringList &notes, ExportFormat format, const QString &output,
                         const QString &title);

} // namespace tl::port
