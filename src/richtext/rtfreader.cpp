#include "richtext/rtfreader.h"

#include "platform/codepage.h"

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
    SkipDest, SkipContent, Drawing, FontTable, ColorTable, PnText, Pn, FldRslt, FldInst, Field, Upr,
    // pictures and objects
    Pict, PicKind, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, ShpPict,
    Object, Result, ObjW, ObjH, ObjScaleX, ObjScaleY,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FCharset, Red, Green, Blue, Bin, U, Uc,
    // character
    F, Fs, Cf, B, I, Ul, UlNone, Strike, Plain, Hidden,
    // paragraph
    Par, Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Ls,
    Line, Tab, Cell, NestCell, Row, NestRow,
    // table rows
    Trowd, Trgaph, Trleft, Cellx, Intbl, Border, BorderNone, BorderStyle,
    // characters by name
    Char,
};

struct Word {
    const char *name;
    Kw kw;
    char16_t ch = 0;
};

constexpr Word kWords[] = {
    // destinations whose text is not shown; for those that hold the user's
    // content, ch is its unheld:: bit
    {"author", Kw::SkipDest}, {"annotation", Kw::SkipContent, unheld::Comments}, {"atnauthor", Kw::SkipDest},
    {"atndate", Kw::SkipDest}, {"atnicn", Kw::SkipDest}, {"atnid", Kw::SkipDest},
    {"atnparent", Kw::SkipDest}, {"atnref", Kw::SkipDest}, {"atntime", Kw::SkipDest},
    {"atrfend", Kw::SkipDest}, {"atrfstart", Kw::SkipDest}, {"bkmkend", Kw::SkipDest},
    {"bkmkstart", Kw::SkipDest}, {"buptim", Kw::SkipDest}, {"category", Kw::SkipDest},
    {"colorschememapping", Kw::SkipDest}, {"comment", Kw::SkipDest},
    {"company", Kw::SkipDest}, {"creatim", Kw::SkipDest}, {"datafield", Kw::SkipDest},
    {"datastore", Kw::SkipDest}, {"defchp", Kw::SkipDest}, {"defpap", Kw::SkipDest},
    {"do", Kw::Drawing}, {"doccomm", Kw::SkipDest}, {"docvar", Kw::SkipDest},
    {"factoidname", Kw::SkipDest}, {"falt", Kw::SkipDest}, {"fchars", Kw::SkipDest},
    {"fldtype", Kw::SkipDest}, {"filetbl", Kw::SkipDest},
    {"fname", Kw::SkipDest}, {"fontemb", Kw::SkipDest}, {"fontfile", Kw::SkipDest},
    {"footer", Kw::SkipContent, unheld::HeadersFooters}, {"footerf", Kw::SkipContent, unheld::HeadersFooters}, {"footerl", Kw::SkipContent, unheld::HeadersFooters},
    {"footerr", Kw::SkipContent, unheld::HeadersFooters}, {"footnote", Kw::SkipContent, unheld::Footnotes}, {"formfield", Kw::SkipDest},
    {"ftncn", Kw::SkipDest}, {"ftnsep", Kw::SkipDest}, {"ftnsepc", Kw::SkipDest},
    {"aftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest}, {"aftnsepc", Kw::SkipDest},
    {"generator", Kw::SkipDest}, {"gridtbl", Kw::SkipDest}, {"header", Kw::SkipContent, unheld::HeadersFooters},
    {"headerf", Kw::SkipContent, unheld::HeadersFooters}, {"headerl", Kw::SkipContent, unheld::HeadersFooters}, {"headerr", Kw::SkipContent, unheld::HeadersFooters},
    {"hlinkbase", Kw::SkipDest}, {"htmltag", Kw::SkipDest}, {"info", Kw::SkipDest},
    {"keycode", Kw::SkipDest}, {"keywords", Kw::SkipDest}, {"latentstyles", Kw::SkipDest},
    {"lchars", Kw::SkipDest}, {"leveltext", Kw::SkipDest}, {"levelnumbers", Kw::SkipDest},
    {"list", Kw::SkipDest}, {"listname", Kw::SkipDest}, {"listoverride", Kw::SkipDest},
    {"listoverridetable", Kw::SkipDest}, {"listpicture", Kw::SkipDest},
    {"liststylename", Kw::SkipDest}, {"listtable", Kw::SkipDest}, {"manager", Kw::SkipDest},
    {"mmathPr", Kw::SkipDest}, {"nonshppict", Kw::SkipDest},
    {"objdata", Kw::SkipDest}, {"objclass", Kw::SkipDest}, {"objname", Kw::SkipDest},
    {"operator", Kw::SkipDest}, {"panose", Kw::SkipDest}, {"pgdsctbl", Kw::SkipDest},
    {"pnseclvl", Kw::SkipDest}, {"pntxta", Kw::SkipDest},
    {"pntxtb", Kw::SkipDest}, {"printim", Kw::SkipDest}, {"private", Kw::SkipDest},
    {"propname", Kw::SkipDest}, {"protusertbl", Kw::SkipDest},
    {"revtbl", Kw::SkipDest}, {"revtim", Kw::SkipDest}, {"rsidtbl", Kw::SkipDest},
    {"shp", Kw::Drawing}, {"shpgrp", Kw::Drawing}, {"shpinst", Kw::SkipDest},
    {"shprslt", Kw::SkipDest}, {"shptxt", Kw::SkipDest},
    {"sn", Kw::SkipDest}, {"sp", Kw::SkipDest}, {"staticval", Kw::SkipDest},
    {"stylesheet", Kw::SkipDest}, {"subject", Kw::SkipDest}, {"sv", Kw::SkipDest},
    {"tc", Kw::SkipDest}, {"template", Kw::SkipDest}, {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest}, {"txe", Kw::SkipDest}, {"ud", Kw::SkipDest},
    {"userprops", Kw::SkipDest}, {"xe", Kw::SkipDest}, {"xmlnstbl", Kw::SkipDest},
    {"xmlopen", Kw::SkipDest}, {"xmlclose", Kw::SkipDest}, {"wgrffmtfilter", Kw::SkipDest},
    {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
    {"pntext", Kw::PnText}, {"listtext", Kw::PnText}, {"pn", Kw::Pn},
    {"fldrslt", Kw::FldRslt}, {"fldinst", Kw::FldInst}, {"field", Kw::Field}, {"upr", Kw::Upr},
    // pictures and objects; ch is the kind of picture
    {"pict", Kw::Pict}, {"shppict", Kw::ShpPict},
    {"pngblip", Kw::PicKind, 1}, {"jpegblip", Kw::PicKind, 2}, {"dibitmap", Kw::PicKind, 3},
    {"wbitmap", Kw::PicKind, 3}, {"emfblip", Kw::PicKind, 4}, {"wmetafile", Kw::PicKind, 4},
    {"pmmetafile", Kw::PicKind, 4}, {"macpict", Kw::PicKind, 4},
    {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
    {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
    {"object", Kw::Object}, {"result", Kw::Result}, {"objw", Kw::ObjW}, {"objh", Kw::ObjH},
    {"objscalex", Kw::ObjScaleX}, {"objscaley", Kw::ObjScaleY},
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
    {"cell", Kw::Cell}, {"nestcell", Kw::NestCell}, {"row", Kw::Row}, {"nestrow", Kw::NestRow},
    // table rows
    {"trowd", Kw::Trowd}, {"trgaph", Kw::Trgaph}, {"trleft", Kw::Trleft}, {"cellx", Kw::Cellx},
    {"intbl", Kw::Intbl}, {"trbrdrt", Kw::Border}, {"trbrdrl", Kw::Border}, {"trbrdrb", Kw::Border},
    {"trbrdrr", Kw::Border}, {"trbrdrh", Kw::Border}, {"trbrdrv", Kw::Border}, {"clbrdrt", Kw::Border},
    {"clbrdrl", Kw::Border}, {"clbrdrb", Kw::Border}, {"clbrdrr", Kw::Border},
    {"brdrnone", Kw::BorderNone}, {"brdrs", Kw::BorderStyle}, {"brdrth", Kw::BorderStyle},
    {"brdrsh", Kw::BorderStyle}, {"brdrdb", Kw::BorderStyle}, {"brdrdot", Kw::BorderStyle},
    {"brdrdash", Kw::BorderStyle}, {"brdrhair", Kw::BorderStyle}, {"brdrtriple", Kw::BorderStyle},
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

enum class Dest : std::uint8_t { Text, Skip, FontTable, ColorTable, Marker, Picture, Object, ObjResult, FieldInst };

enum class PicKind : std::uint8_t { Unknown, Png, Jpeg, Bitmap, Metafile };

// Sizes stated in a picture or object, kept in range.
constexpr int kMaxTwips = 150000; // about 100 inches

int shownTwips(long long twips, int scale)
{
    return int(std::clamp(twips * std::clamp(scale, 1, 10000) / 100, 0LL, (long long)kMaxTwips));
}

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
        // In a skipped destination that holds the user's content: its
        // unheld:: bit, noted once anything shows in it.
        std::uint8_t contentBit = 0;
    };

    // The picture being read; a picture inside an object is its result.
    struct PictureRead {
        bool active = false;
        bool forObject = false;
        std::size_t depth = 0;
        std::size_t start = 0;
        PicKind kind = PicKind::Unknown;
        int nibble = -1;
        Picture picture;
    };
    struct ObjectRead {
        bool active = false;
        std::size_t depth = 0;
        std::size_t start = 0;
        int width = 0, height = 0, scaleX = 100, scaleY = 100;
        bool hasResult = false;
        Picture result;
    };
    // \binN inside a group that is kept as it is: where the word starts,
    // where its bytes start and end.
    struct BinSpan {
        std::size_t word, data, end;
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
    PictureRead pict;
    ObjectRead object;
    std::vector<BinSpan> bins;
    std::vector<Field> fields;
    std::vector<QString> links;

    // tables
    RowFormat row;
    int borderSides = 0;
    bool borderPending = false;
    bool cellOpen = false; // paragraphs were ended in a cell not yet ended
    int cellsInRow = 0;

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
            closeRow();
            sink->endParagraph(para, mark, last);
            return;
        }
        sink->endParagraph(para, mark, false);
        cellOpen = true;
        if (last) {
            // A table is always followed by a paragraph.
            closeRow();
            para.inTable = false;
            para.bullet = false;
            sink->endParagraph(para, mark, true);
        }
    }

    void closeRow()
    {
        if (cellOpen) {
            sink->endCell();
            cellOpen = false;
            ++cellsInRow;
        }
        if (cellsInRow > 0) {
            sink->endRow(row);
            cellsInRow = 0;
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
        if (cellsInRow < kMaxCells - 1) {
            sink->endCell();
            cellOpen = false;
            ++cellsInRow;
        }
    }

    void rowEnd()
    {
        if (cellsInRow == 0 && !cellOpen && !top().para.inTable) {
            paragraph(); // a row without a cell: only a paragraph's end
            return;
        }
        endPendingPar();
        if (begun || !run.empty() || pendingTab)
            endCellParagraph();
        closeRow();
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

    // start: where the \pict word is in the input.
    void startPicture(bool forObject, std::size_t start)
    {
        pict = PictureRead{};
        pict.active = true;
        pict.forObject = forObject;
        pict.depth = stack.size();
        pict.start = start;
        setDest(Dest::Picture);
    }

    bool keepsPictureData() const
    {
        return wantsFormat
               && (pict.kind == PicKind::Unknown || pict.kind == PicKind::Png || pict.kind == PicKind::Jpeg);
    }

    void pictureHex(const char *s, const char *e)
    {
        if (!keepsPictureData())
            return;
        QByteArray &data = pict.picture.data;
        const qsizetype at = data.size();
        data.resize(at + (e - s) / 2 + 1);
        char *out = data.data() + at;
        int nibble = pict.nibble;
        for (; s < e; ++s) {
            const int v = kHex[static_cast<unsigned char>(*s)];
            if (v < 0)
                continue;
            if (nibble < 0) {
                nibble = v;
            } else {
                *out++ = static_cast<char>(nibble * 16 + v);
                nibble = -1;
            }
        }
        pict.nibble = nibble;
        data.truncate(out - data.data());
    }

    // A group from its first word (start) to its closing brace (end), safe
    // to write back into RTF that must be pure ASCII: \bin data as hex, bytes above 127 as \'hh escapes, and
    // control bytes other than tabs and line ends as an empty group, which
    // like them ends a control word and adds nothing.
    QByteArray copyOf(std::size_t start, std::size_t end) const
    {
        static const char hex[] = "0123456789abcdef";
        QByteArray out;
        out.reserve(qsizetype(end - start) + 16);
        // Whatever came before the word in its group is not the picture's.
        out += '{';
        auto bin = std::lower_bound(bins.begin(), bins.end(), start,
                                    [](const BinSpan &b, std::size_t at) { return b.word < at; });
        auto escaped = [&](unsigned char c) {
            out += "\\'";
            out += hex[c >> 4];
            out += hex[c & 15];
        };
        std::size_t i = start;
        while (i < end) {
            if (bin != bins.end() && bin->word == i) {
                out += ' ';
                for (std::size_t j = bin->data; j < bin->end; ++j) {
                    const auto c = static_cast<unsigned char>(base[j]);
                    out += hex[c >> 4];
                    out += hex[c & 15];
                }
                i = bin->end;
                ++bin;
                continue;
            }
            const auto c = static_cast<unsigned char>(base[i++]);
            if (c == '\\' && i < end && !(bin != bins.end() && bin->word == i)) {
                // A control symbol stays whole; one on a high byte becomes the byte.
                const auto d = static_cast<unsigned char>(base[i]);
                if (d >= 0x80) {
                    escaped(d);
                } else if (d >= 0x20 || d == '\r' || d == '\n' || d == '\t') {
                    out += '\\';
                    out += char(d);
                } else {
                    out += "{}";
                }
                ++i;
            } else if (c >= 0x80) {
                escaped(c);
            } else if (c >= 0x20 || c == '\r' || c == '\n' || c == '\t') {
                out += char(c);
            } else {
                out += "{}";
            }
        }
        return out;
    }

    void endPicture(std::size_t end)
    {
        pict.active = false;
        Picture p = std::move(pict.picture);
        const bool bitmap = pict.kind != PicKind::Metafile;
        auto natural = [&](int size) { return bitmap ? size * 15LL : size * 1440LL / 2540; };
        p.shownWidth = shownTwips(p.goalWidth > 0 ? p.goalWidth : natural(std::max(p.width, 0)), p.scaleX);
        p.shownHeight = shownTwips(p.goalHeight > 0 ? p.goalHeight : natural(std::max(p.height, 0)), p.scaleY);
        if (pict.kind == PicKind::Png || pict.kind == PicKind::Jpeg) {
            p.blip = pict.kind == PicKind::Png ? Picture::Blip::Png : Picture::Blip::Jpeg;
        } else {
            p.data.clear();
            if (!pict.forObject && wantsFormat)
                p.source = copyOf(pict.start, end);
        }
        if (pict.forObject) {
            if (!object.hasResult) {
                object.result = std::move(p);
                object.hasResult = true;
            }
        } else {
            emitPicture(p);
        }
        if (!object.active)
            bins.clear();
    }

    void endObject(std::size_t end)
    {
        object.active = false;
        Picture p;
        if (object.hasResult) {
            p.blip = object.result.blip;
            p.data = std::move(object.result.data);
            p.shownWidth = object.result.shownWidth;
            p.shownHeight = object.result.shownHeight;
        }
        if (object.width > 0)
            p.shownWidth = shownTwips(object.width, object.scaleX);
        if (object.height > 0)
            p.shownHeight = shownTwips(object.height, object.scaleY);
        if (wantsFormat)
            p.source = copyOf(object.start, end);
        object = ObjectRead{};
        bins.clear();
        emitPicture(p);
    }

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
            pictureHex(&c, &c + 1);
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
        const bool pictureEnds = pict.active && stack.size() == pict.depth;
        const bool objectEnds = object.active && stack.size() == object.depth;
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
        if (pictureEnds)
            endPicture(end);
        if (objectEnds)
            endObject(end);
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
        case Kw::SkipContent: {
            const bool users = showing() || g.contentBit;
            setDest(Dest::Skip);
            if (users)
                g.contentBit = std::uint8_t(w->ch);
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
        case Kw::Pict:
            if (g.dest == Dest::Text && showing() && !pict.active)
                startPicture(false, std::size_t(backslash - base));
            else if (g.dest == Dest::ObjResult && !pict.active)
                startPicture(true, std::size_t(backslash - base));
            else {
                dropped();
                setDest(Dest::Skip);
            }
            break;
        case Kw::ShpPict:
            break; // the picture inside is the one to show
        case Kw::PicKind:
            if (pict.active && g.dest == Dest::Picture)
                pict.kind = static_cast<PicKind>(w->ch);
            break;
        case Kw::PicW:
            if (pict.active)
                pict.picture.width = std::clamp(n, 0, 1 << 20);
            break;
        case Kw::PicH:
            if (pict.active)
                pict.picture.height = std::clamp(n, 0, 1 << 20);
            break;
        case Kw::PicWGoal:
            if (pict.active)
                pict.picture.goalWidth = std::clamp(n, 0, kMaxTwips);
            break;
        case Kw::PicHGoal:
            if (pict.active)
                pict.picture.goalHeight = std::clamp(n, 0, kMaxTwips);
            break;
        case Kw::PicScaleX:
            if (pict.active)
                pict.picture.scaleX = std::clamp(n, 1, 10000);
            break;
        case Kw::PicScaleY:
            if (pict.active)
                pict.picture.scaleY = std::clamp(n, 1, 10000);
            break;
        case Kw::Object:
            if (g.dest == Dest::Text && showing() && !object.active && !pict.active) {
                object = ObjectRead{};
                object.active = true;
                object.depth = stack.size();
                object.start = std::size_t(backslash - base);
                setDest(Dest::Object);
            } else {
                setDest(Dest::Skip);
            }
            break;
        case Kw::Result:
            setDest(g.dest == Dest::Object ? Dest::ObjResult : Dest::Skip);
            break;
        case Kw::ObjW:
            if (object.active)
                object.width = std::clamp(n, 0, kMaxTwips);
            break;
        case Kw::ObjH:
            if (object.active)
                object.height = std::clamp(n, 0, kMaxTwips);
            break;
        case Kw::ObjScaleX:
            if (object.active)
                object.scaleX = std::clamp(n, 1, 10000);
            break;
        case Kw::ObjScaleY:
            if (object.active)
                object.scaleY = std::clamp(n, 1, 10000);
            break;
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
            // Raw bytes, never more than the input holds.
            const std::size_t skip = param > 0 ? static_cast<std::size_t>(param) : 0;
            const char *const data = p;
            p += std::min<std::size_t>(skip, static_cast<std::size_t>(end - p));
            if (ucSkip > 0)
                --ucSkip;
            if (pict.active && g.dest == Dest::Picture && keepsPictureData()) {
                pict.picture.data.append(data, p - data);
                pict.nibble = -1;
            }
            if (pict.active || object.active)
                bins.push_back({std::size_t(backslash - base), std::size_t(data - base), std::size_t(p - base)});
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
        case Kw::Char:
            if (showing())
                unit(w->ch);
            else
                dropped();
            break;
        case Kw::Trowd:
        case Kw::Trgaph:
        case Kw::Trleft:
        case Kw::Cellx:
        case Kw::Border:
        case Kw::BorderNone:
        case Kw::BorderStyle:
            // Rows of a table nested in a cell are not the cell's row.
            if (g.dest == Dest::Text)
                rowWord(kw, n);
            break;
        case Kw::Intbl:
            g.para.inTable = true;
            break;
        }
    }

    void rowWord(Kw kw, int n)
    {
        switch (kw) {
        case Kw::Trowd:
            row = RowFormat{};
            borderSides = 0;
            borderPending = false;
            break;
        case Kw::Trgaph:
            row.gap = std::clamp(n, 0, 31680);
            break;
        case Kw::Trleft:
            row.left = std::clamp(n, -31680, 31680);
            break;
        case Kw::Cellx:
            if (row.cellx.size() < std::size_t(kMaxCells))
                row.cellx.push_back(std::clamp(n, -31680, 2 * 31680));
            break;
        case Kw::Border:
            ++borderSides;
            borderPending = true;
            row.borders = true;
            break;
        case Kw::BorderNone:
            if (borderPending && --borderSides == 0)
                row.borders = false;
            borderPending = false;
            break;
        case Kw::BorderStyle:
            borderPending = false;
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
            pictureHex(s, e);
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
    s.pict = {};
    s.object = {};
    s.bins.clear();
    s.fields.clear();
    s.links.clear();
    s.row = {};
    s.cellOpen = false;
    s.cellsInRow = 0;
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

bool TableShape::join(int cells)
{
    cells = std::max(cells, 1);
    const int columns = std::max(m_columns, cells);
    const long long fillers = m_fillers + (long long)(columns - m_columns) * m_rows + (columns - cells);
    if (m_rows > 0 && fillers > m_cells + cells + kMaxCells)
        return false;
    ++m_rows;
    m_columns = columns;
    m_cells += cells;
    m_fillers = fillers;
    return true;
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
