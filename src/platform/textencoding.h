#pragma once
// Plain-text files in the encodings people have them in: how a file's bytes
// become text with '\n' line ends, and how that text goes back to bytes the
// same way, so that a file read and written unchanged is the same file.

#include <QByteArray>
#include <QString>

namespace tl {

struct TextFormat {
    enum class Encoding { Utf8, Utf16LE, Utf16BE, CodePage };
    enum class LineEnd { Lf, CrLf, Cr };

    Encoding encoding = Encoding::Utf8;
    int codePage = 0;  // the Windows single-byte page, for Encoding::CodePage
    bool bom = false;  // a byte-order mark leads the file
    LineEnd lineEnd = LineEnd::Lf;

    bool operator==(const TextFormat &) const = default;
};

struct DecodedText {
    QString text;  // line ends as '\n'
    TextFormat format;
    // Bytes that no text encoding explains (an archive, a picture, a
    // program): text is what they show as UTF-8, to look at, and such a
    // file is not to be written back.
    bool binary = false;
};

// UTF-8 (with or without a byte-order mark), UTF-16 after its byte-order
// mark, else the single-byte codePage, else Windows-1252. The line end is
// the one the file uses most; mixed ones are all read as '\n'.
DecodedText decodeText(const QByteArray &bytes, int codePage);

// The index of the first character of text that format has no bytes for,
// or -1 when all have (always, but for a code page).
qsizetype firstUnfit(const QString &text, const TextFormat &format);

// format, or UTF-8 with its line ends when text does not fit format.
TextFormat formatToHold(const QString &text, const TextFormat &format);

// The bytes of text in format: every '\n' (and the editor's line and
// paragraph separators) becomes the format's line end. Characters that do
// not fit (see firstUnfit) are written as '?'.
QByteArray encodeText(const QString &text, const TextFormat &format);

// The name people know the format's encoding by ("UTF-8", "Windows-1252").
QString encodingName(const TextFormat &format);

// The Windows single-byte page of a C library code set name
// ("ISO-8859-15", "KOI8-R", "CP1251"); 0 for UTF-8, ASCII, multi-byte and
// unknown sets.
int codePageForCodeset(const char *codeset);

// The code page of the locale's code set, Windows-1252 when it has none.
int localeCodePage();

} // namespace tl
