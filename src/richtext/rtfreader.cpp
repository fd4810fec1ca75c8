#include "richtext/rtfreader.h"

#include "platform/codepage.h"
#include "richtext/rtfkeywords.h"
#include "richtext/rtfpictures.h"
#include "richtext/rtftable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace tl::rtf {

namespace {

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Marker, Picture, Object, ObjResult, FieldInst };

// A field's target when its instruction is HYPERLINK: the URL, with "#name"
// for a \l place; empty otherwise.
QString hyperlinkTarget(const QString &inst)
{
    qsizetype i = 0;
    const qsizetype n = inst.size();
    auto blank = [&] {
        while (i < n && inst.at(i).isSpace())
            ++i;
    };
    // The next argument; quoted ones take \" and \\ for themselves.
    auto argument = [&](bool &isSwitch) {
        QString out;
        blank();
        isSwitch = false;
        if (i < n && inst.at(i) == u'"') {
            for (++i; i < n && inst.at(i) != u'"'; ++i) {
                if (inst.at(i) == u'\\' && i + 1 < n)
                    ++i;
                out.append(inst.at(i));
            }
            ++i;
            return out;
        }
        isSwitch = i < n && inst.at(i) == u'\\';
        while (i < n && !inst.at(i).isSpace() && inst.at(i) != u'"')
            out.append(inst.at(i++));
        return out;
    };
    bool isSwitch = false;
    if (argument(isSwitch).compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0 || isSwitch)
        return {};
    QString target, place;
    while (i < n) {
        const QString arg = argument(isSwitch);
        if (isSwitch) {
            const QString sw = arg.toLower();
            bool ignored = false;
            if (sw == QLatin1String("\\l"))
                place = argument(ignored);
            else if (sw == QLatin1String("\\o") || sw == QLatin1String("\\t"))
                argument(ignored);
        } else if (target.isEmpty()) {
            target = arg;
        }
    }
    target = target.trimmed();
    if (!place.isEmpty())
        target += u'#' + place;
    return target;
}

// Bytes that end a run of plain text.
constexpr std::array<bool, 256> makeSpecial()
{
    std::array<bool, 256> t{};
    for (int c = 0; c < 0x20; ++c)
        t[c] = true;
    t['\\'] = t['{'] = t['}'] = true;
    return t;
}
constexpr std::array<bool, 256> kSpecial = makeSpecial();

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Deeper groups than this share the state of the deepest kept one, so
// memory stays bounded however deep the input nests.
constexpr std::size_t kMaxDepth = 4096;

// Most a single pass of the text loop takes, so its room in the run stays
// small however long the paragraph.
constexpr std::size_t kTextChunk = 1 << 14;

// The run being collected. Its tail is written through a pointer without
// being cleared first.
class UnitBuffer {
public:
    bool empty() const { return m_size == 0; }
    std::size_t size() const { return m_size; }
    char16_t *data() { return m_data.get(); }
    char16_t &back() { return m_data[m_size - 1]; }
    void clear() { m_size = 0; }
    void push_back(char16_t c)
    {
        if (m_size == m_capacity)
            grow(1);
        m_data[m_size++] = c;
    }
    // Room for n more units; the writer ends with setEnd().
    char16_t *room(std::size_t n)
    {
        if (m_capacity - m_size < n)
            grow(n);
        return m_data.get() + m_size;
    }
    void setEnd(const char16_t *end) { m_size = static_cast<std::size_t>(end - m_data.get()); }
    void reserve(std::size_t n)
    {
        if (n > m_capacity)
            grow(n - m_size);
    }

private:
    void grow(std::size_t n)
    {
        std::size_t capacity = std::max({m_capacity * 2, m_size + n, std::size_t(64)});
        auto data = std::make_unique_for_overwrite<char16_t[]>(capacity);
        if (m_size)
            std::memcpy(data.get(), m_data.get(), m_size * sizeof(char16_t));
        m_data = std::move(data);
        m_capacity = capacity;
    }
    std::unique_ptr<char16_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace

struct Reader::Impl {
    struct Group {
        CharFormat chr;
        ParaFormat para;
        const CodePage *cp = nullptr;
        int uc = 1;
        Dest dest = Dest::Text;
        bool hidden = false;
        // In a skipped destination that holds the user's content: its
        // unheld:: bit, noted once anything shows in it.
        std::uint8_t contentBit = 0;
    };

    struct Field {
        std::size_t depth;
        QString instruction;
        int link = -1; // not looked at yet
    };

    // tables
    std::vector<Font> fonts;
    std::unordered_map<int, std::size_t> fontById;
    std::vector<QColor> colors;
    int docCodePage = 1252;
    int deff = -1;

    // font or colour being defined
    bool fontPending = false;
    std::size_t fontDepth = 0;
    Font fontDef;
    int red = 0, green = 0, blue = 0;
    bool colorGiven = false;

    // pictures, objects, fields
    const char *base = nullptr;
    PictureReader pictures;
    std::vector<Field> fields;
    std::vector<QString> links;

    // the table row being read
    RowReader rows;

    // unheld:: bits of what was skipped
    unsigned skipped = 0;

    // parse state
    std::vector<Group> stack;
    std::size_t excessDepth = 0;
    Sink *sink = nullptr;
    UnitBuffer run;
    bool wantsFormat = true;
    CharFormat runFormat;
    bool formatDirty = true;
    int ucSkip = 0;
    bool star = false;
    int pendingLead = -1;
    bool pendingPar = false;
    ParaFormat pendingPara;
    CharFormat pendingMark;
    bool paraMarker = false;
    bool pendingTab = false;
    bool begun = false; // the current paragraph has visible content
    bool ended = false;
    ParaFormat finalPara;
    CharFormat finalMark;

    Group &top() { return stack.back(); }

    const CodePage &docPage() const { return CodePage::get(docCodePage); }

    const CodePage *pageForFont(int id) const
    {
        if (const Font *f = findFont(id)) {
            if (int cp = codePageForCharset(f->charset))
                return &CodePage::get(cp);
        }
        return &docPage();
    }

    const Font *findFont(int id) const
    {
        auto it = fontById.find(id);
        return it == fontById.end() ? nullptr : &fonts[it->second];
    }

    CharFormat plainFormat() const
    {
        CharFormat f;
        f.font = findFont(deff) ? deff : -1;
        return f;
    }

    // ---- output

    void flush()
    {
        if (run.empty())
            return;
        if (isHigh(run.back()))
            run.back() = u'\uFFFD';
        sink->text(run.data(), run.size(), runFormat);
        run.clear();
    }

    // Paragraph ends go through here, so table cells and rows end where
    // the paragraphs leave them.
    void endPara(ParaFormat para, const CharFormat &mark, bool last)
    {
        if (!para.inTable) {
            rows.endRow(*sink);
            sink->endParagraph(para, mark, last);
            return;
        }
        sink->endParagraph(para, mark, false);
        rows.paragraphEnded();
        if (last) {
            // A table is always followed by a paragraph.
            rows.endRow(*sink);
            para.inTable = false;
            para.bullet = false;
            sink->endParagraph(para, mark, true);
        }
    }

    void endPendingPar()
    {
        if (pendingPar) {
            flush();
            pendingPar = false;
            endPara(pendingPara, pendingMark, false);
        }
    }

    // Ends the paragraph being read as one in a table cell.
    void endCellParagraph()
    {
        flush();
        ParaFormat p = top().para;
        p.inTable = true;
        p.bullet = p.bullet || paraMarker;
        endPara(p, top().chr, false);
        paraMarker = false;
        pendingTab = false;
        begun = false;
    }

    void cell()
    {
        endPendingPar();
        endCellParagraph();
        rows.endCell(*sink);
    }

    void rowEnd()
    {
        if (rows.empty() && !top().para.inTable) {
            paragraph(); // a row without a cell: only a paragraph's end
            return;
        }
        endPendingPar();
        if (begun || !run.empty() || pendingTab)
            endCellParagraph();
        rows.endRow(*sink);
        // Every writer starts a row's paragraphs with \intbl again; text
        // after the last row without a \pard is not in the table.
        top().para.inTable = false;
    }

    // Called before any visible text: ends a paragraph left pending and
    // starts a run in the current format.
    void beginText()
    {
        begun = true;
        endPendingPar();
        if (formatDirty) {
            if (!wantsFormat) {
                // Only a dangling high surrogate shows where runs would split.
                if (!run.empty() && isHigh(run.back()) && !(top().chr == runFormat))
                    run.back() = u'\uFFFD'; // as the flush would leave it
                runFormat = top().chr;
            } else if (!(top().chr == runFormat)) {
                flush();
                runFormat = top().chr;
            }
            formatDirty = false;
        }
        if (pendingTab) {
            pendingTab = false;
            run.push_back(u'\t');
        }
    }

    void unit(char16_t c)
    {
        if (c < 0x20 && c != u'\t')
            return;
        if (c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFC)
            return;
        beginText();
        if (isLow(c)) {
            if (run.empty() || !isHigh(run.back()))
                c = u'\uFFFD';
        } else if (!run.empty() && isHigh(run.back()) && !isHigh(c)) {
            run.back() = u'\uFFFD';
        } else if (!run.empty() && isHigh(run.back()) && isHigh(c)) {
            run.back() = u'\uFFFD';
        }
        run.push_back(c);
    }

    void paragraph()
    {
        endPendingPar();
        flush();
        pendingPar = true;
        pendingPara = top().para;
        pendingPara.bullet = pendingPara.bullet || paraMarker;
        pendingMark = top().chr;
        paraMarker = false;
        pendingTab = false;
        begun = false;
    }

    void finish()
    {
        flush();
        if (pendingPar) {
            pendingPar = false;
            endPara(pendingPara, pendingMark, true);
        } else {
            ParaFormat p = ended ? finalPara : top().para;
            p.bullet = p.bullet || paraMarker;
            if (!begun)
                p.inTable = false; // the paragraph after a table
            endPara(p, ended ? finalMark : top().chr, true);
        }
    }

    // ---- pictures and objects

    void emitPicture(const Picture &p)
    {
        if (!showing())
            return;
        beginText();
        flush();
        sink->picture(p, top().chr);
    }

    int linkOf(Field &f)
    {
        if (f.link < 0) {
            const QString target = hyperlinkTarget(f.instruction);
            if (target.isEmpty())
                f.link = 0;
            else if (!links.empty() && links.back() == target)
                f.link = int(links.size());
            else {
                links.push_back(target);
                f.link = int(links.size());
            }
        }
        return f.link;
    }

    void instructionChar(char16_t c)
    {
        QString &inst = fields.back().instruction;
        if (inst.size() < 2048)
            inst.append(QChar(c));
    }

    // ---- text by destination

    bool showing() const
    {
        const Group &g = stack.back();
        return g.dest == Dest::Text && !g.hidden;
    }

    // Something visible that is not shown: noted when it is the user's.
    void dropped()
    {
        const Group &g = stack.back();
        if (g.dest == Dest::Text && g.hidden)
            skipped |= unheld::HiddenText;
        else if (g.dest == Dest::Skip)
            skipped |= g.contentBit;
    }

    // Whether bytes of text hold anything but blanks and line ends.
    static bool inked(const char *s, const char *e)
    {
        for (; s < e; ++s) {
            if (static_cast<unsigned char>(*s) > 0x20)
                return true;
        }
        return false;
    }

    void byte(unsigned char b)
    {
        Group &g = top();
        if (g.dest == Dest::FontTable) {
            if (b == ';')
                commitFont();
            else
                fontChar(b);
            return;
        }
        if (g.dest == Dest::ColorTable) {
            if (b == ';')
                commitColor();
            return;
        }
        if (g.dest == Dest::Picture) {
            const char c = static_cast<char>(b);
            pictures.hex(&c, &c + 1);
            return;
        }
        if (g.dest == Dest::FieldInst) {
            if (!fields.empty())
                instructionChar(g.cp->single(b));
            return;
        }
        if (!showing()) {
            if (b > 0x20)
                dropped();
            return;
        }
        const CodePage &cp = *g.cp;
        if (pendingLead >= 0) {
            unit(cp.pair(static_cast<std::uint8_t>(pendingLead), b));
            pendingLead = -1;
            return;
        }
        if (cp.isDoubleByte() && cp.isLeadByte(b)) {
            pendingLead = b;
            return;
        }
        unit(cp.single(b));
    }

    void fontChar(unsigned char b)
    {
        if (!fontPending)
            startFont(fontDef.id);
        int cpn = codePageForCharset(fontDef.charset);
        const CodePage &cp = cpn ? CodePage::get(cpn) : docPage();
        if (pendingLead >= 0) {
            fontDef.name.append(QChar(cp.pair(static_cast<std::uint8_t>(pendingLead), b)));
            pendingLead = -1;
        } else if (cp.isDoubleByte() && cp.isLeadByte(b)) {
            pendingLead = b;
        } else if (b >= 0x20) {
            fontDef.name.append(QChar(cp.single(b)));
        }
    }

    void startFont(int id)
    {
        if (fontPending && !fontDef.name.trimmed().isEmpty())
            commitFont();
        fontPending = true;
        fontDepth = stack.size();
        fontDef = Font{};
        fontDef.id = id;
    }

    void commitFont()
    {
        if (!fontPending)
            return;
        fontPending = false;
        fontDef.name = fontDef.name.trimmed();
        auto it = fontById.find(fontDef.id);
        if (it != fontById.end()) {
            fonts[it->second] = fontDef;
        } else if (fonts.size() < 100000) {
            fontById.emplace(fontDef.id, fonts.size());
            fonts.push_back(fontDef);
        }
    }

    void commitColor()
    {
        if (colors.size() < 100000)
            colors.push_back(colorGiven ? QColor(red, green, blue) : QColor());
        red = green = blue = 0;
        colorGiven = false;
    }

    // ---- groups

    void open()
    {
        ucSkip = 0;
        pendingLead = -1;
        if (stack.size() >= kMaxDepth) {
            ++excessDepth;
            return;
        }
        stack.push_back(stack.back());
    }

    // False when the document's outermost group has closed. end is where
    // the group's closing brace ends.
    bool close(std::size_t end)
    {
        ucSkip = 0;
        star = false;
        if (excessDepth) {
            --excessDepth;
            return true;
        }
        if (stack.size() <= 1) {
            finalPara = top().para;
            finalMark = top().chr;
            ended = true;
            return false;
        }
        if (stack.size() == 2) {
            // The document group ends: its state is the last paragraph's.
            finalPara = top().para;
            finalMark = top().chr;
            ended = true;
        }
        Dest was = top().dest;
        if (fontPending && stack.size() == fontDepth)
            commitFont();
        const bool pictureEnds = pictures.endsPicture(stack.size());
        const bool objectEnds = pictures.endsObject(stack.size());
        stack.pop_back();
        while (!fields.empty() && fields.back().depth > stack.size())
            fields.pop_back();
        if (was == Dest::FontTable && top().dest != Dest::FontTable) {
            commitFont();
            // Text before any \f is in the default font. The table belongs
            // in the header; elsewhere it is not worth a walk of the stack.
            if (stack.size() <= 2 && findFont(deff)) {
                for (Group &g : stack) {
                    if (g.chr.font < 0) {
                        g.chr.font = deff;
                        g.cp = pageForFont(deff);
                    }
                }
            }
        }
        formatDirty = true;
        pendingLead = -1;
        if (pictureEnds) {
            if (std::optional<Picture> p = pictures.endPicture(end))
                emitPicture(*p);
        }
        if (objectEnds)
            emitPicture(pictures.endObject(end));
        return stack.size() > 1;
    }

    // ---- control words

    // A destination skipped holds nothing of the user's until SkipContent
    // says so: bookmarks, authors and the like in a footnote are not.
    void setDest(Dest d)
    {
        top().dest = d;
        if (d == Dest::Skip)
            top().contentBit = 0;
        pendingLead = -1;
    }

    void word(const char *name, std::size_t len, bool hasParam, long param,
              const char *&p, const char *end)
    {
        const char *const backslash = name - 1;
        const bool starred = star;
        star = false;
        const Word *w = findWord(name, len);
        Kw kw = w ? w->kw : Kw::None;

        if (ucSkip > 0 && kw == Kw::U && isLow(char16_t(param < 0 ? param + 65536 : param))
            && !run.empty() && isHigh(run.back())) {
            ucSkip = 0; // the second half of a pair written without a fallback
        } else if (ucSkip > 0 && kw != Kw::Bin) {
            --ucSkip;
            return;
        }
        if (!w) {
            if (starred)
                setDest(Dest::Skip);
            return;
        }
        const int n = static_cast<int>(param);
        switch (w->group) {
        case KwGroup::Destination:
            destinationWord(*w);
            break;
        case KwGroup::Picture:
            pictureWord(*w, n, std::size_t(backslash - base));
            break;
        case KwGroup::Document:
            documentWord(kw, hasParam, param, backslash, p, end);
            break;
        case KwGroup::Character:
            characterWord(kw, hasParam, n);
            break;
        case KwGroup::Paragraph:
            paragraphWord(kw, n);
            break;
        case KwGroup::Row:
            // Rows of a table nested in a cell are not the cell's row.
            if (kw == Kw::Intbl)
                top().para.inTable = true;
            else if (top().dest == Dest::Text)
                rows.word(kw, n);
            break;
        case KwGroup::Char:
            if (showing())
                unit(w->value);
            else
                dropped();
            break;
        }
    }

    void characterWord(Kw kw, bool hasParam, int n)
    {
        Group &g = top();
        switch (kw) {
        case Kw::F:
            if (g.dest == Dest::FontTable) {
                startFont(n);
            } else {
                g.chr.font = n;
                g.cp = pageForFont(n);
                formatDirty = true;
            }
            break;
        case Kw::Fs:
            g.chr.halfPoints = hasParam ? std::clamp(n, 2, 3276) : 24;
            formatDirty = true;
            break;
        case Kw::Cf:
            g.chr.color = std::max(0, n);
            formatDirty = true;
            break;
        case Kw::B:
            g.chr.bold = !hasParam || n != 0;
            formatDirty = true;
            break;
        case Kw::I:
            g.chr.italic = !hasParam || n != 0;
            formatDirty = true;
            break;
        case Kw::Ul:
            g.chr.underline = !hasParam || n != 0;
            formatDirty = true;
            break;
        case Kw::UlNone:
            g.chr.underline = false;
            formatDirty = true;
            break;
        case Kw::Strike:
            g.chr.strike = !hasParam || n != 0;
            formatDirty = true;
            break;
        case Kw::Plain:
            g.chr = plainFormat();
            g.cp = pageForFont(g.chr.font);
            g.hidden = false;
            formatDirty = true;
            break;
        case Kw::Hidden:
            g.hidden = !hasParam || n != 0;
            break;
        default:
            break;
        }
    }

    // Paragraph format, breaks, and the ends of cells and rows.
    void paragraphWord(Kw kw, int n)
    {
        Group &g = top();
        switch (kw) {
        case Kw::Par:
            if (g.dest == Dest::Text)
                paragraph();
            break;
        case Kw::Pard:
            g.para = ParaFormat{};
            break;
        case Kw::Ql:
            g.para.align = Align::Left;
            break;
        case Kw::Qc:
            g.para.align = Align::Center;
            break;
        case Kw::Qr:
            g.para.align = Align::Right;
            break;
        case Kw::Qj:
            g.para.align = Align::Justify;
            break;
        case Kw::Li:
            g.para.leftIndent = std::clamp(n, -31680, 31680);
            break;
        case Kw::Ri:
            g.para.rightIndent = std::clamp(n, -31680, 31680);
            break;
        case Kw::Fi:
            g.para.firstIndent = std::clamp(n, -31680, 31680);
            break;
        case Kw::Sb:
            g.para.spaceBefore = std::clamp(n, 0, 31680);
            break;
        case Kw::Sa:
            g.para.spaceAfter = std::clamp(n, 0, 31680);
            break;
        case Kw::Ls:
            if (n > 0)
                g.para.bullet = true;
            break;
        case Kw::Line:
            if (showing())
                unit(u'\u2028');
            break;
        case Kw::Tab:
            if (showing())
                unit(u'\t');
            break;
        case Kw::Cell:
            if (g.dest == Dest::Text)
                cell();
            break;
        case Kw::NestCell:
            // Tables inside a cell become its text: cells apart by tabs.
            if (showing()) {
                beginText();
                pendingTab = true;
            }
            break;
        case Kw::Row:
            if (g.dest == Dest::Text)
                rowEnd();
            break;
        case Kw::NestRow:
            if (showing()) {
                pendingTab = false;
                unit(u'\u2028');
            }
            break;
        default:
            break;
        }
    }

    void destinationWord(const Word &w)
    {
        Group &g = top();
        switch (w.kw) {
        case Kw::SkipDest:
            setDest(Dest::Skip);
            break;
        case Kw::SkipContent: {
            const bool users = showing() || g.contentBit;
            setDest(Dest::Skip);
            if (users)
                g.contentBit = std::uint8_t(w.value);
            break;
        }
        case Kw::Drawing:
            if (showing() || g.contentBit)
                skipped |= unheld::Drawings;
            setDest(Dest::Skip);
            break;
        // Tables inside pictures, objects and skipped text are not the
        // document's: a kept group written back would redefine its fonts.
        case Kw::FontTable:
            if (g.dest == Dest::Text) {
                setDest(Dest::FontTable);
                fontPending = false;
            } else {
                setDest(Dest::Skip);
            }
            break;
        case Kw::ColorTable:
            setDest(g.dest == Dest::Text ? Dest::ColorTable : Dest::Skip);
            break;
        case Kw::PnText:
            if (g.dest == Dest::Text)
                paraMarker = true;
            setDest(Dest::Marker);
            break;
        case Kw::Pn:
            if (stack.size() >= 2 && stack[stack.size() - 2].dest == Dest::Text)
                stack[stack.size() - 2].para.bullet = true;
            setDest(Dest::Skip);
            break;
        case Kw::Field:
            // Its result's text is shown as it is.
            if (fields.size() < kMaxDepth)
                fields.push_back({stack.size(), {}, -1});
            break;
        case Kw::FldInst:
            if (!fields.empty() && g.dest == Dest::Text)
                setDest(Dest::FieldInst);
            else
                setDest(Dest::Skip);
            break;
        case Kw::FldRslt:
            if (!fields.empty() && g.dest == Dest::Text && linkOf(fields.back()) > 0) {
                g.chr.link = fields.back().link;
                formatDirty = true;
            }
            break;
        case Kw::Upr:
            setDest(Dest::Skip);
            break;
        default:
            break;
        }
    }

    // start: where the word is in the input.
    void pictureWord(const Word &w, int n, std::size_t start)
    {
        const Group &g = top();
        switch (w.kw) {
        case Kw::Pict:
            if (g.dest == Dest::Text && showing() && !pictures.pictureOpen())
                startPicture(false, start);
            else if (g.dest == Dest::ObjResult && !pictures.pictureOpen())
                startPicture(true, start);
            else {
                dropped();
                setDest(Dest::Skip);
            }
            break;
        case Kw::ShpPict:
            break; // the picture inside is the one to show
        case Kw::Object:
            if (g.dest == Dest::Text && showing() && !pictures.objectOpen() && !pictures.pictureOpen()) {
                pictures.startObject(start, stack.size());
                setDest(Dest::Object);
            } else {
                setDest(Dest::Skip);
            }
            break;
        case Kw::Result:
            setDest(g.dest == Dest::Object ? Dest::ObjResult : Dest::Skip);
            break;
        default:
            pictures.word(w, n, g.dest == Dest::Picture);
            break;
        }
    }

    void startPicture(bool forObject, std::size_t start)
    {
        pictures.startPicture(forObject, start, stack.size());
        setDest(Dest::Picture);
    }

    // Code pages, font and colour tables, raw bytes and Unicode characters.
    void documentWord(Kw kw, bool hasParam, long param, const char *backslash, const char *&p, const char *end)
    {
        Group &g = top();
        const int n = static_cast<int>(param);
        switch (kw) {
        case Kw::Ansi:
            docCodePage = 1252;
            refreshPages();
            break;
        case Kw::Mac:
            docCodePage = 10000;
            refreshPages();
            break;
        case Kw::Pc:
            docCodePage = 437;
            refreshPages();
            break;
        case Kw::Pca:
            docCodePage = 850;
            refreshPages();
            break;
        case Kw::AnsiCpg:
            docCodePage = CodePage::get(hasParam ? n : 0).number();
            refreshPages();
            break;
        case Kw::Deff:
            deff = n;
            break;
        case Kw::FCharset:
            if (g.dest == Dest::FontTable) {
                if (!fontPending)
                    startFont(fontDef.id);
                fontDef.charset = n;
            }
            break;
        case Kw::Red:
            red = std::clamp(n, 0, 255);
            colorGiven = true;
            break;
        case Kw::Green:
            green = std::clamp(n, 0, 255);
            colorGiven = true;
            break;
        case Kw::Blue:
            blue = std::clamp(n, 0, 255);
            colorGiven = true;
            break;
        case Kw::Bin: {
            // Raw bytes, never more than the input holds.
            const std::size_t skip = param > 0 ? static_cast<std::size_t>(param) : 0;
            const char *const data = p;
            p += std::min<std::size_t>(skip, static_cast<std::size_t>(end - p));
            if (ucSkip > 0)
                --ucSkip;
            pictures.bin(std::size_t(backslash - base), std::size_t(data - base), std::size_t(p - base),
                         g.dest == Dest::Picture);
            break;
        }
        case Kw::U: {
            long v = param;
            if (v < 0)
                v += 65536;
            if (v >= 0 && v <= 0xFFFF) {
                if (g.dest == Dest::FontTable) {
                    if (!fontPending)
                        startFont(fontDef.id);
                    fontDef.name.append(QChar(char16_t(v)));
                } else if (g.dest == Dest::FieldInst) {
                    if (!fields.empty())
                        instructionChar(char16_t(v));
                } else if (showing()) {
                    unit(static_cast<char16_t>(v));
                } else if (v > 0x20) {
                    dropped();
                }
            }
            ucSkip = g.uc;
            break;
        }
        case Kw::Uc:
            g.uc = std::clamp(n, 0, 100);
            break;
        default:
            break;
        }
    }

    // Code page words belong in the header; deeper down they change only
    // the group they are in, so repeating them costs no walk of the stack.
    void refreshPages()
    {
        if (stack.size() <= 2) {
            for (Group &g : stack)
                g.cp = pageForFont(g.chr.font);
        } else {
            top().cp = pageForFont(top().chr.font);
        }
    }

    void symbol(char c)
    {
        star = false;
        if (ucSkip > 0) {
            --ucSkip;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            byte(static_cast<unsigned char>(c));
            break;
        case '~':
            if (showing())
                unit(u'\u00A0');
            break;
        case '_':
            if (showing())
                unit(u'\u2011');
            break;
        case '\r':
        case '\n':
            if (top().dest == Dest::Text)
                paragraph();
            break;
        default:
            break; // \- optional hyphen, \| \: index marks, unknown symbols
        }
    }

    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // Shown text in a single-byte page with nothing pending: the common
    // case, which the loop below takes without the per-byte calls.
    bool simpleText() const
    {
        const Group &g = stack.back();
        return ucSkip == 0 && pendingLead < 0 && g.dest == Dest::Text && !g.hidden
            && !g.cp->isDoubleByte();
    }

    // Plain bytes, \'hh escapes, tabs and line ends from p, as the general
    // path would read them; stops at anything else. Returns where it stopped.
    const char *simpleRun(const char *p, const char *end)
    {
        star = false;
        const CodePage &cp = *top().cp;
        const char *const limit = p + std::min<std::size_t>(static_cast<std::size_t>(end - p), kTextChunk);
        char16_t *out = nullptr;
        auto start = [&] {
            beginText();
            if (!run.empty() && isHigh(run.back()))
                run.back() = u'\uFFFD';
            out = run.room(static_cast<std::size_t>(limit - p));
        };
        while (p < limit) {
            const unsigned char b = static_cast<unsigned char>(*p);
            if (!kSpecial[b]) {
                if (!out)
                    start();
                *out++ = cp.single(b);
                ++p;
                continue;
            }
            if (b == '\\') {
                if (limit - p < 4 || p[1] != '\'')
                    break;
                const int hi = kHex[static_cast<unsigned char>(p[2])];
                const int lo = kHex[static_cast<unsigned char>(p[3])];
                if ((hi | lo) < 0)
                    break;
                p += 4;
                const char16_t c = cp.single(static_cast<unsigned char>(hi * 16 + lo));
                if (c >= 0x20 && c < 0xD800 && c != 0x2029) {
                    if (!out)
                        start();
                    *out++ = c;
                } else {
                    // Control characters, surrogates and the like: the
                    // general rules, then a fresh start for what follows.
                    if (out)
                        run.setEnd(out);
                    out = nullptr;
                    unit(c);
                }
                continue;
            }
            if (b == '\t') {
                if (!out)
                    start();
                *out++ = u'\t';
                ++p;
                continue;
            }
            if (b == '{' || b == '}')
                break;
            ++p; // line ends and other control bytes carry nothing
        }
        if (out)
            run.setEnd(out);
        return p;
    }

    void parseBytes(std::string_view in)
    {
        const char *p = in.data();
        const char *const end = p + in.size();
        while (p < end) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if ((!kSpecial[c] || (c == '\\' && end - p >= 4 && p[1] == '\'')) && simpleText()) {
                const char *q = simpleRun(p, end);
                if (q != p) {
                    p = q;
                    continue;
                }
            }
            if (!kSpecial[c]) {
                const char *s = p;
                while (p < end && !kSpecial[static_cast<unsigned char>(*p)])
                    ++p;
                text(s, p);
                continue;
            }
            ++p;
            switch (c) {
            case '{':
                open();
                break;
            case '}':
                if (!close(std::size_t(p - in.data())))
                    return;
                break;
            case '\\': {
                if (p >= end)
                    return;
                const char d = *p;
                if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                    const char *name = p;
                    while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')))
                        ++p;
                    std::size_t len = std::min<std::size_t>(p - name, 32);
                    bool neg = false, hasParam = false;
                    long long v = 0;
                    if (p < end && *p == '-' && p + 1 < end && p[1] >= '0' && p[1] <= '9') {
                        neg = true;
                        ++p;
                    }
                    while (p < end && *p >= '0' && *p <= '9') {
                        hasParam = true;
                        if (v < 100000000000LL)
                            v = v * 10 + (*p - '0');
                        ++p;
                    }
                    if (neg)
                        v = -v;
                    v = std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL);
                    if (p < end && *p == ' ')
                        ++p;
                    word(name, len, hasParam, static_cast<long>(v), p, end);
                } else if (d == '\'') {
                    ++p;
                    int hi = p < end ? hexValue(*p) : -1;
                    if (hi < 0) {
                        star = false;
                        break;
                    }
                    ++p;
                    int lo = p < end ? hexValue(*p) : -1;
                    star = false;
                    if (lo < 0)
                        break; // half an escape carries no byte
                    ++p;
                    const int value = hi * 16 + lo;
                    if (ucSkip > 0) {
                        --ucSkip;
                        break;
                    }
                    hexByte(static_cast<unsigned char>(value));
                } else if (d == '*') {
                    ++p;
                    star = true;
                } else {
                    ++p;
                    symbol(d);
                }
                break;
            }
            case '\t':
                if (ucSkip > 0)
                    --ucSkip;
                else if (showing())
                    unit(u'\t');
                break;
            default:
                break; // line ends and other control bytes carry nothing
            }
        }
    }

    void hexByte(unsigned char b)
    {
        // An escaped byte is text even where it looks like a delimiter.
        Group &g = top();
        if (g.dest == Dest::FontTable) {
            fontChar(b);
            return;
        }
        if (g.dest == Dest::FieldInst) {
            byte(b);
            return;
        }
        if (g.dest != Dest::Text || g.hidden) {
            dropped();
            return;
        }
        byte(b);
    }

    void text(const char *s, const char *e)
    {
        star = false;
        if (ucSkip > 0) {
            std::size_t n = std::min<std::size_t>(ucSkip, e - s);
            ucSkip -= static_cast<int>(n);
            s += n;
            if (s == e)
                return;
        }
        Group &g = top();
        if (g.dest == Dest::Picture) {
            pictures.hex(s, e);
            return;
        }
        if (g.dest == Dest::Skip || g.dest == Dest::Object || g.dest == Dest::ObjResult) {
            if (g.contentBit && inked(s, e))
                dropped();
            return;
        }
        if (g.dest == Dest::Text && !g.hidden && !g.cp->isDoubleByte() && pendingLead < 0) {
            beginText();
            if (!run.empty() && isHigh(run.back()))
                run.back() = u'\uFFFD';
            const CodePage &cp = *g.cp;
            char16_t *out = run.room(static_cast<std::size_t>(e - s));
            for (; s < e; ++s)
                *out++ = cp.single(static_cast<unsigned char>(*s));
            run.setEnd(out);
            return;
        }
        for (; s < e; ++s)
            byte(static_cast<unsigned char>(*s));
    }
};

Reader::Reader() : d(new Impl) {}
Reader::~Reader() { delete d; }

void Reader::parse(std::string_view rtf, Sink &sink)
{
    Impl &s = *d;
    s.sink = &sink;
    s.stack.clear();
    s.stack.emplace_back();
    s.stack.back().cp = &s.docPage();
    s.stack.back().dest = Dest::Text;
    s.run.clear();
    s.run.reserve(std::min<std::size_t>(rtf.size(), 1 << 16));
    s.wantsFormat = sink.wantsFormat();
    s.base = rtf.data();
    s.pictures.begin(rtf.data(), s.wantsFormat);
    s.fields.clear();
    s.links.clear();
    s.rows.reset();
    s.begun = false;
    s.skipped = 0;
    s.parseBytes(rtf);
    s.finish();
    s.sink = nullptr;
}

const Font *Reader::font(int id) const { return d->findFont(id); }

QColor Reader::color(int index) const
{
    if (index <= 0 || index >= int(d->colors.size()))
        return {};
    return d->colors[index];
}

int Reader::documentCodePage() const { return d->docCodePage; }

unsigned Reader::unheldContent() const { return d->skipped; }

QString Reader::link(int index) const
{
    if (index <= 0 || index > int(d->links.size()))
        return {};
    return d->links[index - 1];
}

QByteArray rtfBytes(const QString &rtf)
{
    QByteArray out;
    out.reserve(rtf.size());
    for (QChar ch : rtf) {
        char16_t c = ch.unicode();
        if (c < 0x100) {
            out.append(static_cast<char>(c));
        } else {
            out.append("{\\uc0\\u");
            out.append(QByteArray::number(int(c)));
            out.append(" }");
        }
    }
    return out;
}

bool looksLikeRtf(QStringView text) { return text.startsWith(u"{\\rtf"); }
bool looksLikeRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

} // namespace tl::rtf
