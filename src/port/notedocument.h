#pragma once
// One note as a document, the way the editor shows it: RTF read by the
// program's own reader, anything else as plain text.

#include <QString>

class QTextDocument;

namespace tl::port {

// Fills doc with the note; returns the rtf::unheld bits of what it left out.
unsigned readNote(const QString &note, QTextDocument &doc);

// The note's text without format, pictures left out.
QString plainTextOf(const QString &note);

// The note's first line that holds anything, trimmed; empty when none does.
QString titleOf(const QString &note);

// The note's RTF: as stored when it is RTF, written from its text otherwise.
QByteArray rtfOf(const QString &note);

} // namespace tl::port
