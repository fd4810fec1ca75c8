#pragma once
// What a document holds as the editor sees it, for comparing documents
// after a trip through RTF.

#include "richtext/rtfdocument.h"

#include <QTextBlockFormat>
#include <ostream>
#include <vector>

class QTextDocument;

namespace rtftest {

struct Run {
    QString text;
    tl::rtf::TextAttributes attributes;
    QString link;    // the anchor's target
    QString picture; // for a picture: its kind, size shown, image and kept bytes
    bool operator==(const Run &) const = default;
};

struct Paragraph {
    Qt::Alignment align;
    bool bullet = false;
    double leftMargin = 0;
    double rightMargin = 0;
    double textIndent = 0;
    double spaceBefore = 0;
    double spaceAfter = 0;
    QString cell; // "table row column" for a paragraph in a table cell
    // Adjacent fragments of equal attributes joined.
    std::vector<Run> runs;
    tl::rtf::TextAttributes mark; // compared for empty paragraphs only
    bool operator==(const Paragraph &o) const;
};

// Fonts and sizes left to the document's default count as that default.
std::vector<Paragraph> contentOf(const QTextDocument &doc);

// What shows of a picture and what it keeps, as one text.
QString pictureOf(const QTextDocument &doc, const QTextImageFormat &format);

void PrintTo(const Paragraph &p, std::ostream *os);

// A plain white picture as PNG bytes: large ones test the decoding budget.
QByteArray whitePng(int width, int height);

} // namespace rtftest
