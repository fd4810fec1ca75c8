#pragma once
// The RTF tokenizer and interpreter. It turns RTF into runs of text with
// their character format and paragraph ends with their paragraph format, and
// hands them to a sink: a document builder or a plain-text collector, so both
// see exactly the same text.
//
// Any input is accepted: nothing throws, nesting depth costs no stack, and
// time is linear in the input.

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
    int leftIndent = 0;  // twips
    int rightIndent = 0; // twips
    int firstIndent = 0; // twips
    int spaceBefore = 0; // twips
    int spaceAfter = 0;  // twips
    bool operator==(const ParaFormat &) const = default;
};

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
    // False when the sink ignores the format of runs: the reader then need
    // not split the text where only the format changes.
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
    int documentCodePage() const;

private:
    struct Impl;
    Impl *d;
};

// A QString holding RTF (as stored in a notes file) as the bytes the reader
// takes: Latin-1 characters as bytes, anything else as an \u escape.
QByteArray rtfBytes(const QString &rtf);

// True when text is to be read as RTF rather than plain text.
bool looksLikeRtf(QStringView text);
bool looksLikeRtf(std::string_view bytes);

} // namespace tl::rtf
