#pragma once
// RTF in and out of a QTextDocument, and RTF straight to plain text.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QTextFormat>

#include <string_view>

class QImage;
class QTextDocument;

namespace tl::rtf {

// The indent of one list level in document units, as readDocument() sets
// it: the 360 twips of a bullet written by the Windows rich-edit control.
constexpr double kIndentWidth = 24;

// The document's text exactly as QTextDocument::toPlainText() gives it after
// readDocument() of the same input, without building a document.
QString toPlainText(std::string_view rtf);

// Replaces the document's content with the RTF's text and format, and sets
// the document's indent width to kIndentWidth. Pictures are shown at the
// size the RTF gives them: PNG and JPEG ones as they are, anything else
// (metafiles, device bitmaps, embedded objects) as its PNG or JPEG result or
// a grey box, kept to be written back as it came. Hyperlink fields become
// anchors, tables QTextTables. Returns the unheld:: bits (rtfreader.h) of
// the user's content it had to leave out.
unsigned readDocument(std::string_view rtf, QTextDocument &doc);

// What unheld:: bits name, in a sentence: "footnotes and hidden text".
QString unheldText(unsigned bits);

// The whole document as one RTF document, shaped like the output of the
// Windows rich-edit control: font and colour tables, \fsN, \b, \i, \ul,
// \strike, \cfN, \qc/\qr/\qj, \pntext bullets, \par, \line, \tab, and \uN?
// for text outside code page 1252; pictures as \pict groups with their own
// bytes, links as HYPERLINK fields, tables as \trowd ... \cell ... \row.
// Pure ASCII.
QByteArray writeDocument(const QTextDocument &doc);

// A picture for the document from an image (a pasted one): kept and written
// as PNG, shown at its size in pixels, in base's character format. Insert it
// with QTextCursor::insertImage().
QTextImageFormat addPngPicture(QTextDocument &doc, const QImage &image, const QTextCharFormat &base = {});

// The attributes the editor keeps for a run of text, as the writer sees them.
struct TextAttributes {
    QString fontName;     // empty: the document's default font
    double pointSize = 0; // 0: the document's default size
    QColor color;         // invalid: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const TextAttributes &) const = default;
};

TextAttributes attributesOf(const QTextCharFormat &format);
QString fontNameOf(const QTextCharFormat &format);

} // namespace tl::rtf
