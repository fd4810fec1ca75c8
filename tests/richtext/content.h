#pragma once
// What a document holds as the editor sees it, for comparing documents
// after a trip through RTF.

#include "richtext/rtfdocument.h"

#include <QTextBlockFormat>
#include <ostream>
#include <utility>
#include <vector>

class QTextDocument;

namespace rtftest {

struct Paragraph {
    Qt::Alignment align;
    bool bullet = false;
    double leftMargin = 0;
    double rightMargin = 0;
    double textIndent = 0;
    double spaceBefore = 0;
    double spaceAfter = 0;
    // Adjacent fragments of equal attributes joined.
    std::vector<std::pair<QString, tl::rtf::TextAttributes>> runs;
    tl::rtf::TextAttributes mark; // compared for empty paragraphs only
    bool operator==(const Paragraph &o) const;
};

// Fonts and sizes left to the document's default count as that default.
std::vector<Paragraph> contentOf(const QTextDocument &doc);

void PrintTo(const Paragraph &p, std::ostream *os);

} // namespace rtftest
