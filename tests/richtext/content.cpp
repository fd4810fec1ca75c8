#include "richtext/content.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace rtftest {

bool Paragraph::operator==(const Paragraph &o) const
{
    return align == o.align && bullet == o.bullet && runs == o.runs
           && (!runs.empty() || mark == o.mark) && leftMargin == o.leftMargin
           && rightMargin == o.rightMargin && textIndent == o.textIndent
           && spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter;
}

std::vector<Paragraph> contentOf(const QTextDocument &doc)
{
    auto resolved = [&](const QTextCharFormat &f) {
        tl::rtf::TextAttributes a = tl::rtf::attributesOf(f);
        if (a.fontName.isEmpty())
            a.fontName = doc.defaultFont().family();
        if (a.pointSize == 0)
            a.pointSize = doc.defaultFont().pointSizeF();
        return a;
    };
    std::vector<Paragraph> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Paragraph p;
        p.align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (!p.align || p.align == Qt::AlignLeading)
            p.align = Qt::AlignLeft;
        p.bullet = b.textList() != nullptr;
        const QTextBlockFormat f = b.blockFormat();
        p.leftMargin = f.leftMargin();
        p.rightMargin = f.rightMargin();
        p.textIndent = f.textIndent();
        p.spaceBefore = f.topMargin();
        p.spaceAfter = f.bottomMargin();
        p.mark = resolved(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const tl::rtf::TextAttributes a = resolved(it.fragment().charFormat());
            if (!p.runs.empty() && p.runs.back().second == a)
                p.runs.back().first += it.fragment().text();
            else
                p.runs.emplace_back(it.fragment().text(), a);
        }
        out.push_back(std::move(p));
    }
    return out;
}

void PrintTo(const Paragraph &p, std::ostream *os)
{
    *os << "{align " << int(p.align) << (p.bullet ? " bullet" : "") << " margins " << p.leftMargin
        << "/" << p.textIndent << "/" << p.rightMargin << " space " << p.spaceBefore << "/"
        << p.spaceAfter;
    for (const auto &[text, a] : p.runs) {
        *os << " [" << text.toStdString() << "|" << a.fontName.toStdString() << " " << a.pointSize
            << " " << (a.color.isValid() ? a.color.name().toStdString() : "auto")
            << (a.bold ? " b" : "") << (a.italic ? " i" : "") << (a.underline ? " u" : "")
            << (a.strike ? " s" : "") << "]";
    }
    *os << "}";
}

} // namespace rtftest
