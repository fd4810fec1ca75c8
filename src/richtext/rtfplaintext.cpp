#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tl::rtf {

namespace {

// Mirrors QTextDocument::toPlainText() of the document readDocument()
// builds: paragraphs joined by '\n', line breaks as '\n', no-break spaces
// as spaces, a picture as U+FFFC.
class PlainSink final : public Sink {
public:
    explicit PlainSink(QString &out) : m_out(out) {}

    void text(const char16_t *run, std::size_t length, const CharFormat &) override
    {
        const qsizetype at = m_out.size();
        m_out.resize(at + qsizetype(length));
        char16_t *dst = reinterpret_cast<char16_t *>(m_out.data()) + at;
        std::size_t i = 0;
#if defined(__SSE2__)
        // Eight units at a time: this copy is most of what a plain text costs.
        const __m128i nbsp = _mm_set1_epi16(short(0x00A0)), space = _mm_set1_epi16(short(' '));
        const __m128i ls = _mm_set1_epi16(short(0x2028)), nl = _mm_set1_epi16(short('\n'));
        for (; i + 8 <= length; i += 8) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(run + i));
            const __m128i a = _mm_cmpeq_epi16(v, nbsp), b = _mm_cmpeq_epi16(v, ls);
            v = _mm_or_si128(_mm_andnot_si128(_mm_or_si128(a, b), v),
                             _mm_or_si128(_mm_and_si128(a, space), _mm_and_si128(b, nl)));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), v);
        }
#endif
        for (; i < length; ++i) {
            const char16_t c = run[i];
            dst[i] = c == u'\u00A0' ? u' ' : c == u'\u2028' ? u'\n' : c;
        }
    }

    void picture(const Picture &, const CharFormat &) override
    {
        m_out.append(QChar(QChar::ObjectReplacementCharacter));
    }

    // A table's cells are paragraphs of their own. Qt keeps a paragraph
    // before a table (an empty one where the document starts with it) and
    // between two tables, and makes rows up with empty cells: those are
    // added once the table's shape is known.
    void endParagraph(const ParaFormat &para, const CharFormat &, bool last) override
    {
        if (para.inTable) {
            if (!m_inTable) {
                m_inTable = true;
                m_regionStart = m_paraStart;
                if (!m_anyParagraph)
                    m_insert.push_back({m_paraStart, 1});
            }
        } else if (m_inTable) {
            endTables();
        }
        if (!last)
            m_out.append(u'\n');
        m_anyParagraph = true;
        m_paraStart = m_out.size();
        if (para.inTable)
            m_cellParaEnd = m_paraStart;
    }

    // A cell may end after the text of the paragraph that follows the
    // table has come: it ends where its own last paragraph did.
    void endCell() override
    {
        m_cellEnd = m_cellParaEnd;
        ++m_cells;
    }

    void endRow(const RowFormat &) override
    {
        if (!m_shape.join(m_cells)) {
            addFillers();
            m_insert.push_back({m_rows.back().end, 1});
            m_rows.clear();
            m_shape.reset();
            m_shape.join(m_cells);
        }
        m_rows.push_back({m_cellEnd, m_cells});
        m_cells = 0;
    }

    bool wantsFormat() const override { return false; }

private:
    void addFillers()
    {
        for (const Row &r : m_rows) {
            if (r.cells < m_shape.columns())
                m_insert.push_back({r.end, m_shape.columns() - r.cells});
        }
    }

    void endTables()
    {
        addFillers();
        m_rows.clear();
        m_shape.reset();
        m_inTable = false;
        if (m_insert.empty())
            return;
        const QString tail = m_out.mid(m_regionStart);
        m_out.truncate(m_regionStart);
        m_out.reserve(m_regionStart + tail.size() + qsizetype(m_insert.size()));
        qsizetype from = m_regionStart;
        for (const Insert &i : m_insert) {
            m_out.append(QStringView(tail).mid(from - m_regionStart, i.at - from));
            m_out.append(QString(i.count, u'\n'));
            from = i.at;
        }
        m_out.append(QStringView(tail).mid(from - m_regionStart));
        m_insert.clear();
    }

    struct Row {
        qsizetype end;
        int cells;
    };
    struct Insert {
        qsizetype at;
        int count;
    };

    QString &m_out;
    bool m_anyParagraph = false;
    qsizetype m_paraStart = 0;
    bool m_inTable = false;
    qsizetype m_regionStart = 0;
    qsizetype m_cellParaEnd = 0;
    qsizetype m_cellEnd = 0;
    int m_cells = 0;
    TableShape m_shape;
    std::vector<Row> m_rows;
    std::vector<Insert> m_insert;
};

} // namespace

QString toPlainText(std::string_view rtf)
{
    QString out;
    out.reserve(qsizetype(rtf.size() / 2));
    PlainSink sink(out);
    Reader reader;
    reader.parse(rtf, sink);
    out.squeeze();
    return out;
}

} // namespace tl::rtf
