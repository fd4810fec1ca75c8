#pragma once
// What the File Properties dialog counts and shows, without the dialog.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace tl {

struct SymbolCounts {
    qsizetype withSpaces = 0; // every character but line breaks
    qsizetype withoutSpaces = 0; // and without the space character (tabs still count)
};
// Counts the editor's plain text of the note shown.
SymbolCounts countSymbols(const QString &plainText);

// "Monday, 5 May 2025 г.,14:03:07" in the locale's names and long time
// format; "unknown" for a time the file system does not keep.
QString propertiesTime(const QDateTime &time, const QLocale &locale = QLocale::system());

// The comments field is stored on one line: line breaks become "crlf"; any
// "crlf" (in any case) comes back as a line break. Comments keep 255 characters.
inline constexpr int maxCommentLength = 255;
QString commentsToStored(const QString &shown);
QString commentsFromStored(const QString &stored);

} // namespace tl
