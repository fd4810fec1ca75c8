#pragma once
// The RTF tokenizer and interpreter. It turns RTF into runs of text with
// their character format, pictures, paragraph ends with their paragraph
// format and table cells and rows, and hands them to a sink: a document
// builder or a plain-text collector, so both see exactly the same text.
// Its parts: the words it knows (rtfkeywords.h), pictures and objects
// (rtfpictures.h) and table rows (rtftable.h).
//
// Any input is accepted: nothing throws, nesting depth costs no stack, time
// is linear in the input and memory grows with it, whatever numbers it holds.
//
// What is read and kept: text in font, size, colour, bold, italic,
// underline and strike; paragraphs with alignment, indents, spacing and
// bullets; pictures (PNG and JPEG shown; metafiles, device bitmaps and
// objects kept whole and shown as their result or a box); hyperlink fields;
// table rows and cells.
//
// What is skipped, and why:
// - Layout and bookkeeping, which no note's reader misses: \info,
//   \*\generator, style sheets, list, revision, rsid and theme tables,
//   page and section setup, tab stops, line spacing, highlight, sub- and
//   superscript, and any other word the reader does not know. Lists come
//   back as bullets, as the rich-edit control writes them.
// - Kept in part: a field other than HYPERLINK keeps its result as text;
//   a bookmark keeps no name, a link to it its "#name"; a table in a cell
//   keeps its text, cells ended by \nestcell separated by tabs; a row's
//   cells past kMaxCells join its last one; \nonshppict is the fallback of
//   a \shppict picture that is read instead.
// - The user's content the editor has no place for: footnotes, comments
//   (\annotation), headers and footers, shapes and drawing objects (\shp,
//   \do: text boxes, floating pictures) and hidden text (\v). They are
//   noted as unheld:: bits (Reader::unheldContent), so that a note holding
//   them is shown read-only instead of losing them on its next save.

#include <QByteArray>
#include <QColor>
#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace tl::rtf {

struct CharFormat {
    int font = -1;       // font id from the font table, -1 none
    int halfPoints = 24; // \fs
    int color = 0;       // colour table index, 0 automatic
    int link = 0;        // hyperlink target (Reader::link), 0 none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const CharFormat &) const = default;
};

enum class Align : std::uint8_t { Left, Center, Right, Justify };

struct ParaFormat {
    Align align = Align::Left;
    bool bullet = false;
    bool inTable = false; // \intbl: the paragraph belongs to a table cell
    int leftIndent = 0;  // twips
    int rightIndent = 0; // twips
    int firstIndent = 0; // twips
    int spaceBefore = 0; // twips
    int spaceAfter = 0;  // twips
    bool operator==(const ParaFormat &) const = default;
};

// Most cells a row keeps; the text of later ones joins the last.
constexpr int kMaxCells = 63;

// A table row's definition (\trowd ... \cellx) as it stood at the row's end.
struct RowFormat {
    int gap = 0;            // \trgaph: half the space between cells, twips
    int left = 0;           // \trleft: the first cell's left edge, twips
    bool borders = false;   // any row or cell border was drawn
    std::vector<int> cellx; // each cell's right edge, twips
};

// A picture or an embedded object.
struct Picture {
    enum class Blip : std::uint8_t { None, Png, Jpeg };
    // What data holds: a picture Qt can show. For an object, its result.
    Blip blip = Blip::None;
    QByteArray data;
    // Non-empty for what is only kept (metafiles, device bitmaps, objects):
    // the whole group, to be written back as it is. Pure ASCII: raw \bin
    // data is turned into hex, other bytes above 127 into \'hh.
    QByteArray source;
    // As the picture states them, for writing a PNG or JPEG back.
    int width = 0, height = 0;         // \picw, \pich
    int goalWidth = 0, goalHeight = 0; // \picwgoal, \pichgoal, twips
    int scaleX = 100, scaleY = 100;    // \picscalex, \picscaley, percent
    // The size to show, twips; 0 where the picture does not say.
    int shownWidth = 0, shownHeight = 0;
};

// What the reader skips although it is the user's content, not layout or
// bookkeeping: a document holding any of it comes out of a load and a save
// without it. One bit each.
namespace unheld {
enum : unsigned {
    Footnotes = 1,      // \footnote with text or a picture
    Comments = 2,       // \annotation with text or a picture
    HeadersFooters = 4, // \header..., \footer... with text or a picture
    Drawings = 8,       // \shp shapes (text boxes, floating pictures), \do
    HiddenText = 16,    // \v text or pictures in the document's text
};
}

struct Font {
    int id = 0;
    QString name;
    int charset = 1;
};

class Sink {
public:
    virtual ~Sink() = default;
    // A run of visible text. Never contains paragraph separators; line breaks
    // are U+2028, tabs '\t'.
    virtual void text(const char16_t *run, std::size_t length, const CharFormat &format) = 0;
    // Ends the current paragraph. mark is the format of its paragraph mark;
    // last is true for the document's final paragraph, which is always ended.
    virtual void endParagraph(const ParaFormat &para, const CharFormat &mark, bool last) = 0;
    // A picture in the text, in the format of the text around it.
    virtual void picture(const Picture &picture, const CharFormat &format) = 0;
    // Ends a table cell: the paragraphs (inTable) since the last cell or row
    // end. Comes after the endParagraph of its last paragraph.
    virtual void endCell() = 0;
    // Ends a table row: the cells since the last row end. A table is the run
    // of rows up to the next paragraph outside a table.
    virtual void endRow(const RowFormat &row) = 0;
    // False when the sink ignores the format of runs: the reader then need
    // not split the text where only the format changes, nor collect what
    // pictures hold.
    virtual bool wantsFormat() const { return true; }
};

class Reader {
public:
    Reader();
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    void parse(std::string_view rtf, Sink &sink);

    // Tables as read so far; valid while the sink is called and afterwards.
    const Font *font(int id) const;
    // The colour of a colour table index; invalid for automatic or unknown.
    QColor color(int index) const;
    // The target of a hyperlink index (CharFormat::link): a URL, or
    // "#name" for a place in the document.
    QString link(int index) const;
    int documentCodePage() const;
    // The unheld:: bits of what the last parse skipped.
    unsigned unheldContent() const;

private:
    struct Impl;
    Impl *d;
};

// Which rows make one table, as both sinks must agree: a row with fewer
// cells than the table's widest is made up with empty cells at its end, and
// a row starts a new table when those would outnumber the cells read.
class TableShape {
public:
    // Whether a row of this many cells joins the table; if it does, it is
    // counted in. A row refused starts the next table: reset(), then join().
    bool join(int cells);
    void reset() { *this = TableShape(); }
    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

private:
    int m_rows = 0;
    int m_columns = 0;
    long long m_cells = 0;
    long long m_fillers = 0;
};

// A QString holding RTF (as stored in a notes file) as the bytes the reader
// takes: Latin-1 characters as bytes, anything else as an \u escape.
QByteArray rtfBytes(const QString &rtf);

// True when text is to be read as RTF rather than plain text.
bool looksLikeRtf(QStringView text);
bool looksLikeRtf(std::string_view bytes);

} // namespace tl::rtf
