#include "platform/rtf/rtfdocument.h"
#include "platform/rtf/rtfreader.h"

namespace tl::rtf {

namespace {

// Mirrors QTextDocument::toPlainText(): paragraphs joined by '\n', line
// breaks as '\n', no-break spaces as spaces.
class PlainSink final : public Sink {
public:
    explicit PlainSink(QString &out) : m_out(out) {}

    void text(const char16_t *run, std::size_t length, const CharFormat &) override
    {
        const qsizetype at = m_out.size();
        m_out.resize(at + qsizetype(length));
        char16_t *dst = reinterpret_cast<char16_t *>(m_out.data()) + at;
        for (std::size_t i = 0; i < length; ++i) {
            char16_t c = run[i];
            if (c == u'\u00A0')
                c = u' ';
            else if (c == u'\u2028')
                c = u'\n';
            dst[i] = c;
        }
    }

    void endParagraph(const ParaFormat &, const CharFormat &, bool last) override
    {
        if (!last)
            m_out.append(u'\n');
    }

private:
    QString &m_out;
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
