#include "richtext/rtfreader.h"

#include "richtext/codepage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace tl::rtf {

namespace {

enum class Kw : std::uint8_t {
    None,
    // destinations
    SkipDest, FontTable, ColorTable, PnText, Pn, FldRslt, Field, Upr,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FCharset, Red, Green, Blue, Bin, U, Uc,
    // character
    F, Fs, Cf, B, I, Ul, UlNone, Strike, Plain, Hidden,
    // paragraph
    Par, Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Ls,
    Line, Tab, Cell, Row, NestRow,
    // characters by name
    Char,
};

struct Word {
    const char *name;
    Kw kw;
    char16_t ch = 0;
};

constexpr Word kWords[] = {
    // destinations whose text is not shown
    {"author", Kw::SkipDest}, {"annotation", Kw::SkipDest}, {"atnauthor", Kw::SkipDest},
    {"atndate", Kw::SkipDest}, {"atnicn", Kw::SkipDest}, {"atnid", Kw::SkipDest},
    {"atnparent", Kw::SkipDest}, {"atnref", Kw::SkipDest}, {"atntime", Kw::SkipDest},
    {"atrfend", Kw::SkipDest}, {"atrfstart", Kw::SkipDest}, {"bkmkend", Kw::SkipDest},
    {"bkmkstart", Kw::SkipDest}, {"buptim", Kw::SkipDest}, {"category", Kw::SkipDest},
    {"colorschememapping", Kw::SkipDest}, {"comment", Kw::SkipDest},
    {"company", Kw::SkipDest}, {"creatim", Kw::SkipDest}, {"datafield", Kw::SkipDest},
    {"datastore", Kw::SkipDest}, {"defchp", Kw::SkipDest}, {"defpap", Kw::SkipDest},
    {"do", Kw::SkipDest}, {"doccomm", Kw::SkipDest}, {"docvar", Kw::SkipDest},
    {"factoidname", Kw::SkipDest}, {"falt", Kw::SkipDest}, {"fchars", Kw::SkipDest},
    {"fldinst", Kw::SkipDest}, {"fldtype", Kw::SkipDest}, {"filetbl", Kw::SkipDest},
    {"fname", Kw::SkipDest}, {"fontemb", Kw::SkipDest}, {"fontfile", Kw::SkipDest},
    {"footer", Kw::SkipDest}, {"footerf", Kw::SkipDest}, {"footerl", Kw::SkipDest},
    {"footerr", Kw::SkipDest}, {"footnote", Kw::SkipDest}, {"formfield", Kw::SkipDest},
    {"ftncn", Kw::SkipDest}, {"ftnsep", Kw::SkipDest}, {"ftnsepc", Kw::SkipDest},
    {"aftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest}, {"aftnsepc", Kw::SkipDest},
    {"generator", Kw::SkipDest}, {"gridtbl", Kw::SkipDest}, {"header", Kw::SkipDest},
    {"headerf", Kw::SkipDest}, {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest},
    {"hlinkbase", Kw::SkipDest}, {"htmltag", Kw::SkipDest}, {"info", Kw::SkipDest},
    {"keycode", Kw::SkipDest}, {"keywords", Kw::SkipDest}, {"latentstyles", Kw::SkipDest},
    {"lchars", Kw::SkipDest}, {"leveltext", Kw::SkipDest}, {"levelnumbers", Kw::SkipDest},
    {"list", Kw::SkipDest}, {"listname", Kw::SkipDest}, {"listoverride", Kw::SkipDest},
    {"listoverridetable", Kw::SkipDest}, {"listpicture", Kw::SkipDest},
    {"liststylename", Kw::SkipDest}, {"listtable", Kw::SkipDest}, {"manager", Kw::SkipDest},
    {"mmathPr", Kw::SkipDest}, {"nonshppict", Kw::SkipDest}, {"object", Kw::SkipDest},
    {"objdata", Kw::SkipDest}, {"objclass", Kw::SkipDest}, {"objname", Kw::SkipDest},
    {"operator", Kw::SkipDest}, {"panose", Kw::SkipDest}, {"pgdsctbl", Kw::SkipDest},
    {"pict", Kw::SkipDest}, {"pnseclvl", Kw::SkipDest}, {"pntxta", Kw::SkipDest},
    {"pntxtb", Kw::SkipDest}, {"printim", Kw::SkipDest}, {"private", Kw::SkipDest},
    {"propname", Kw::SkipDest}, {"protusertbl", Kw::SkipDest}, {"result", Kw::SkipDest},
    {"revtbl", Kw::SkipDest}, {"revtim", Kw::SkipDest}, {"rsidtbl", Kw::SkipDest},
    {"shp", Kw::SkipDest}, {"shpgrp", Kw::SkipDest}, {"shpinst", Kw::SkipDest},
    {"shppict", Kw::SkipDest}, {"shprslt", Kw::SkipDest}, {"shptxt", Kw::SkipDest},
    {"sn", Kw::SkipDest}, {"sp", Kw::SkipDest}, {"staticval", Kw::SkipDest},
    {"stylesheet", Kw::SkipDest}, {"subject", Kw::SkipDest}, {"sv", Kw::SkipDest},
    {"tc", Kw::SkipDest}, {"template", Kw::SkipDest}, {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest}, {"txe", Kw::SkipDest}, {"ud", Kw::SkipDest},
    {"userprops", Kw::SkipDest}, {"xe", Kw::SkipDest}, {"xmlnstbl", Kw::SkipDest},
    {"xmlopen", Kw::SkipDest}, {"xmlclose", Kw::SkipDest}, {"wgrffmtfilter", Kw::SkipDest},
    {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
    {"pntext", Kw::PnText}, {"listtext", Kw::PnText}, {"pn", Kw::Pn},
    {"fldrslt", Kw::FldRslt}, {"field", Kw::Field}, {"upr", Kw::Upr},
    // document
    {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
    {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"fcharset", Kw::FCharset},
    {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue}, {"bin", Kw::Bin},
    {"u", Kw::U}, {"uc", Kw::Uc},
    // character
    {"f", Kw::F}, {"fs", Kw::Fs}, {"cf", Kw::Cf}, {"b", Kw::B}, {"i", Kw::I},
    {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldash", Kw::Ul}, {"uldashd", Kw::Ul},
    {"uldashdd", Kw::Ul}, {"uldb", Kw::Ul}, {"ulhwave", Kw::Ul}, {"ulldash", Kw::Ul},
    {"ulth", Kw::Ul}, {"ulthd", Kw::Ul}, {"ulthdash", Kw::Ul}, {"ulthdashd", Kw::Ul},
    {"ulthdashdd", Kw::Ul}, {"ulthldash", Kw::Ul}, {"ululdbwave", Kw::Ul}, {"ulw", Kw::Ul},
    {"ulwave", Kw::Ul}, {"ulnone", Kw::UlNone}, {"strike", Kw::Strike},
    {"striked", Kw::Strike}, {"plain", Kw::Plain}, {"v", Kw::Hidden},
    // paragraph
    {"par", Kw::Par}, {"page", Kw::Par}, {"sect", Kw::Par}, {"column", Kw::Par},
    {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj},
    {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri},
    {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"ls", Kw::Ls}, {"line", Kw::Line}, {"tab", Kw::Tab},
    {"cell", Kw::Cell}, {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::NestRow},
    // characters by name
    {"emdash", Kw::Char, u'\u2014'}, {"endash", Kw::Char, u'\u2013'},
    {"emspace", Kw::Char, u'\u2003'}, {"enspace", Kw::Char, u'\u2002'},
    {"qmspace", Kw::Char, u'\u2005'}, {"bullet", Kw::Char, u'\u2022'},
    {"lquote", Kw::Char, u'\u2018'}, {"rquote", Kw::Char, u'\u2019'},
    {"ldblquote", Kw::Char, u'\u201C'}, {"rdblquote", Kw::Char, u'\u201D'},
    {"zwj", Kw::Char, u'\u200D'}, {"zwnj", Kw::Char, u'\u200C'},
    {"zwbo", Kw::Char, u'\u200B'}, {"zwnbo", Kw::Char, u'\uFEFF'},
};

// Open-addressing table over kWords, built once.
class WordTable {
public:
    WordTable()
    {
        m_slots.fill(-1);
        for (int i = 0; i < int(std::size(kWords)); ++i) {
            std::string_view w = kWords[i].name;
            m_length[i] = static_cast<unsigned char>(w.size());
            std::size_t h = hash(w.data(), w.size()) & kMask;
            while (m_slots[h] >= 0)
                h = (h + 1) & kMask;
            m_slots[h] = static_cast<short>(i);
        }
    }
    const Word *find(const char *s, std::size_t n) const
    {
        std::size_t h = hash(s, n) & kMask;
        for (;;) {
            short i = m_slots[h];
            if (i < 0)
                return nullptr;
            if (m_length[i] == n && std::memcmp(kWords[i].name, s, n) == 0)
                return &kWords[i];
            h = (h + 1) & kMask;
        }
    }

private:
    static constexpr std::size_t kMask = 1023;
    static std::size_t hash(const char *s, std::size_t n)
    {
        std::uint32_t h = 2166136261u;
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
        return h ^ (h >> 15);
    }
    std::array<short, 1024> m_slots;
    std::array<unsigned char, std::size(kWords)> m_length;
};

const WordTable &words()
{
    static const WordTable table;
    return table;
}

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Marker };

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

constexpr std::array<signed char, 256> makeHex()
{
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = -1;
    for (int c = 0; c < 10; ++c)
        t['0' + c] = static_cast<signed char>(c);
    for (int c = 0; c < 6; ++c)
        t['a' + c] = t['A' + c] = static_cast<signed char>(10 + c);
    return t;
}
constexpr std::array<signed char, 256> kHex = makeHex();

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

    // Called before any visible text: ends a paragraph left pending and
    // starts a run in the current format.
    void beginText()
    {
        if (pendingPar) {
            flush();
            sink->endParagraph(pendingPara, pendingMark, false);
            pendingPar = false;
        }
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
        if (pendingPar) {
            flush();
            sink->endParagraph(pendingPara, pendingMark, false);
        }
        flush();
        pendingPar = true;
        pendingPara = top().para;
        pendingPara.bullet = pendingPara.bullet || paraMarker;
        pendingMark = top().chr;
        paraMarker = false;
        pendingTab = false;
    }

    void finish()
    {
        flush();
        if (pendingPar) {
            sink->endParagraph(pendingPara, pendingMark, true);
        } else {
            ParaFormat p = ended ? finalPara : top().para;
            p.bullet = p.bullet || paraMarker;
            sink->endParagraph(p, ended ? finalMark : top().chr, true);
        }
    }

    // ---- text by destination

    bool showing() const
    {
        const Group &g = stack.back();
        return g.dest == Dest::Text && !g.hidden;
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
        if (!showing())
            return;
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

    // False when the document's outermost group has closed.
    bool close()
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
        stack.pop_back();
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
        return stack.size() > 1;
    }

    // ---- control words

    void setDest(Dest d)
    {
        top().dest = d;
        pendingLead = -1;
    }

    void word(const char *name, std::size_t len, bool hasParam, long param,
              const char *&p, const char *end)
    {
        const bool starred = star;
        star = false;
        const Word *w = words().find(name, len);
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
        Group &g = top();
        const int n = static_cast<int>(param);
        switch (kw) {
        case Kw::None:
            break;
        case Kw::SkipDest:
            setDest(Dest::Skip);
            break;
        case Kw::FontTable:
            setDest(Dest::FontTable);
            fontPending = false;
            break;
        case Kw::ColorTable:
            setDest(Dest::ColorTable);
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
        case Kw::FldRslt:
        case Kw::Field:
            break; // their text is shown as it is
        case Kw::Upr:
            setDest(Dest::Skip);
            break;
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
            std::size_t skip = param > 0 ? static_cast<std::size_t>(param) : 0;
            p += std::min<std::size_t>(skip, static_cast<std::size_t>(end - p));
            if (ucSkip > 0)
                --ucSkip;
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
                } else if (showing()) {
                    unit(static_cast<char16_t>(v));
                }
            }
            ucSkip = g.uc;
            break;
        }
        case Kw::Uc:
            g.uc = std::clamp(n, 0, 100);
            break;
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
            if (showing()) {
                beginText();
                pendingTab = true;
            }
            break;
        case Kw::Row:
            if (g.dest == Dest::Text)
                paragraph();
            break;
        case Kw::NestRow:
            if (showing()) {
                pendingTab = false;
                unit(u'\u2028');
            }
            break;
        case Kw::Char:
            if (showing())
                unit(w->ch);
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
                if (!close())
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
        if (g.dest != Dest::Text || g.hidden)
            return;
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
