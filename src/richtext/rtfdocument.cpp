#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"
#include "richtext/rtfreader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <vector>

namespace tl::rtf {

namespace {

class DocumentSink final : public Sink {
public:
    DocumentSink(QTextDocument &doc, const Reader &reader) : m_cursor(&doc), m_reader(reader)
    {
        m_cursor.beginEditBlock();
    }
    ~DocumentSink() override { m_cursor.endEditBlock(); }

    void text(const char16_t *run, std::size_t length, const CharFormat &format) override
    {
        m_runs.push_back({m_text.size(), qsizetype(length), format});
        m_text.append(reinterpret_cast<const QChar *>(run), qsizetype(length));
    }

    void endParagraph(const ParaFormat &para, const CharFormat &mark, bool) override
    {
        QTextBlockFormat block;
        switch (para.align) {
        case Align::Left: block.setAlignment(Qt::AlignLeft); break;
        case Align::Center: block.setAlignment(Qt::AlignHCenter); break;
        case Align::Right: block.setAlignment(Qt::AlignRight); break;
        case Align::Justify: block.setAlignment(Qt::AlignJustify); break;
        }
        if (para.bullet) {
            // The list's level shows the first 360 twips; the bullet hangs
            // before the text, whatever \fi says.
            block.setProperty(prop::BulletLeft, para.leftIndent);
            block.setProperty(prop::BulletFirst, para.firstIndent);
            if (para.leftIndent > kTwipsPerLevel)
                block.setLeftMargin((para.leftIndent - kTwipsPerLevel) / kTwipsPerUnit);
        } else {
            if (para.leftIndent)
                block.setLeftMargin(para.leftIndent / kTwipsPerUnit);
            if (para.firstIndent)
                block.setTextIndent(para.firstIndent / kTwipsPerUnit);
        }
        if (para.rightIndent)
            block.setRightMargin(para.rightIndent / kTwipsPerUnit);
        if (para.spaceBefore)
            block.setTopMargin(para.spaceBefore / kTwipsPerUnit);
        if (para.spaceAfter)
            block.setBottomMargin(para.spaceAfter / kTwipsPerUnit);
        // A list's later items go in with the list's object index already in
        // their format, which saves a format change per item.
        const bool joinList = para.bullet && m_list && !m_first;
        if (joinList)
            block.setObjectIndex(m_list->objectIndex());
        if (m_first) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(charFormat(mark));
            m_first = false;
        } else {
            m_cursor.insertBlock(block, charFormat(mark));
        }
        // The document copies the text; a view of the buffer saves a copy.
        for (const Run &r : m_runs)
            m_cursor.insertText(QString::fromRawData(m_text.constData() + r.start, r.length),
                                charFormat(r.format));
        m_runs.clear();
        m_text.clear();
        if (para.bullet) {
            if (!joinList) {
                QTextListFormat list;
                list.setStyle(QTextListFormat::ListDisc);
                list.setIndent(1);
                m_list = m_cursor.createList(list);
            }
        } else {
            m_list = nullptr;
        }
    }

private:
    struct Run {
        qsizetype start;
        qsizetype length;
        CharFormat format;
    };

    // Documents switch among a few formats; handing the same QTextCharFormat
    // back keeps its hash cached for the document's format lookup.
    const QTextCharFormat &charFormat(const CharFormat &f)
    {
        if (m_last < m_formats.size() && m_formats[m_last].from == f)
            return m_formats[m_last].format;
        for (std::size_t i = 0; i < m_formats.size(); ++i) {
            if (m_formats[i].from == f) {
                m_last = i;
                return m_formats[i].format;
            }
        }
        if (m_formats.size() >= kKnownFormats)
            m_formats.erase(m_formats.begin());
        QTextCharFormat q;
        if (const Font *font = m_reader.font(f.font); font && !font->name.isEmpty())
            q.setFontFamilies(QStringList{font->name});
        q.setFontPointSize(f.halfPoints / 2.0);
        if (QColor c = m_reader.color(f.color); c.isValid())
            q.setForeground(c);
        if (f.bold)
            q.setFontWeight(QFont::Bold);
        if (f.italic)
            q.setFontItalic(true);
        if (f.underline)
            q.setFontUnderline(true);
        if (f.strike)
            q.setFontStrikeOut(true);
        m_formats.push_back({f, q});
        m_last = m_formats.size() - 1;
        return m_formats.back().format;
    }

    QTextCursor m_cursor;
    const Reader &m_reader;
    bool m_first = true;
    QTextList *m_list = nullptr;
    QString m_text;
    std::vector<Run> m_runs;
    struct KnownFormat {
        CharFormat from;
        QTextCharFormat format;
    };
    static constexpr std::size_t kKnownFormats = 32;
    std::vector<KnownFormat> m_formats;
    std::size_t m_last = 0;
};

} // namespace

void readDocument(std::string_view rtf, QTextDocument &doc)
{
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    doc.setIndentWidth(kIndentWidth);
    {
        Reader reader;
        DocumentSink sink(doc, reader);
        reader.parse(rtf, sink);
    }
    doc.setUndoRedoEnabled(undo);
}

QString fontNameOf(const QTextCharFormat &format)
{
    if (format.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty())
            return families.first();
    }
    if (format.hasProperty(QTextFormat::FontFamily))
        return format.stringProperty(QTextFormat::FontFamily);
    return {};
}

TextAttributes attributesOf(const QTextCharFormat &format)
{
    TextAttributes a;
    a.fontName = fontNameOf(format);
    if (format.hasProperty(QTextFormat::FontPointSize))
        a.pointSize = format.fontPointSize();
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        a.color = format.foreground().color();
    a.bold = format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold;
    a.italic = format.fontItalic();
    a.underline = format.fontUnderline();
    a.strike = format.fontStrikeOut();
    return a;
}

} // namespace tl::rtf
