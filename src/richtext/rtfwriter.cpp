#include "platform/codepage.h"
#include "richtext/alignment.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tl::rtf {

namespace {

constexpr const char *kBulletFont = "Symbol";

struct RunState {
    int font = -1;
    int halfPoints = -1;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int link = 0; // index + 1 into the link targets, 0 none
    bool image = false;
};

struct ParaState {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justify
    bool bullet = false;
    bool inTable = false;
    int left = 0, right = 0, first = 0; // twips
    int before = 0, after = 0;          // twips
    bool operator==(const ParaState &) const = default;
};

class Writer {
public:
    explicit Writer(const QTextDocument &doc)
        : m_doc(doc), m_cp(CodePage::get(1252))
    {
        const QFont def = doc.defaultFont();
        m_defaultFont = def.family();
        if (def.pointSizeF() > 0)
            m_defaultHalfPoints = int(std::lround(def.pointSizeF() * 2));
        else if (def.pixelSize() > 0)
            m_defaultHalfPoints = int(std::lround(def.pixelSize() * 1.5));
    }

    QByteArray write()
    {
        collectTables();
        m_rawText = m_doc.toRawText();
        m_raw = reinterpret_cast<const char16_t *>(m_rawText.constData());
        m_out.reserve(m_doc.characterCount() * 2 + 256);
        m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
        for (int i = 0; i < int(m_fonts.size()); ++i) {
            m_out += "{\\f";
            number(i);
            m_out += "\\fnil\\fcharset";
            m_out += m_fonts[i] == QLatin1String(kBulletFont) ? "2 " : "0 ";
            fontName(m_fonts[i]);
            m_out += ";}";
        }
        m_out += "}\n{\\colortbl ;";
        for (const QColor &c : m_colors) {
            m_out += "\\red";
            number(c.red());
            m_out += "\\green";
            number(c.green());
            m_out += "\\blue";
            number(c.blue());
            m_out += ';';
        }
        m_out += "}\n\\viewkind4\\uc1";
        m_delim = true;
        // Without frames, blocks lie end to end and their positions add up.
        if (m_doc.rootFrame()->childFrames().isEmpty()) {
            int pos = 0;
            for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
                paragraph(b, pos, false, false);
                pos += b.length();
            }
        } else {
            frame(*m_doc.rootFrame());
        }
        m_out += '}';
        return QByteArray(m_out.data(), qsizetype(m_out.size()));
    }

private:
    // A frame's blocks and tables in order; other frames give their blocks.
    void frame(const QTextFrame &f)
    {
        bool afterTable = true; // or at the frame's start
        for (QTextFrame::iterator it = f.begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *t = qobject_cast<const QTextTable *>(child))
                    table(*t);
                else
                    frame(*child);
                afterTable = true;
                continue;
            }
            const QTextBlock b = it.currentBlock();
            QTextFrame::iterator next = it;
            ++next;
            // The empty paragraph Qt keeps before a table came from no RTF.
            const bool joint = afterTable && b.length() == 1 && !next.atEnd()
                               && qobject_cast<const QTextTable *>(next.currentFrame())
                               && b.blockFormat().hasProperty(prop::Joint);
            afterTable = false;
            if (!joint)
                paragraph(b, b.position(), false, false);
        }
    }

    void table(const QTextTable &t)
    {
        const QList<QTextLength> widths = t.format().columnWidthConstraints();
        for (int r = 0; r < t.rows(); ++r) {
            const QTextTableCellFormat first = t.cellAt(r, 0).format().toTableCellFormat();
            auto intOf = [&](int property, int fallback) {
                return first.hasProperty(property) ? first.intProperty(property) : fallback;
            };
            // The row's cells, and any later one given text since.
            int count = std::clamp(intOf(prop::RowCells, t.columns()), 1, t.columns());
            for (int c = t.columns() - 1; c >= count; --c) {
                const QTextTableCell cell = t.cellAt(r, c);
                if (cell.lastPosition() > cell.firstPosition()) {
                    count = c + 1;
                    break;
                }
            }
            const bool borders = first.boolProperty(prop::RowBorders);
            const QList<int> cellx = first.property(prop::RowCellx).value<QList<int>>();
            word("\\trowd");
            word("\\trgaph", intOf(prop::RowGap, 108));
            int edge = intOf(prop::RowLeft, -108);
            word("\\trleft", edge);
            for (int c = 0; c < count; ++c) {
                if (c < cellx.size()) {
                    edge = cellx[c];
                } else {
                    const bool fixed = c < widths.size() && widths[c].type() == QTextLength::FixedLength;
                    edge += fixed ? int(std::lround(widths[c].rawValue() * kTwipsPerUnit)) : 1440;
                }
                if (borders)
                    m_out += "\\clbrdrt\\brdrw10\\brdrs\\clbrdrl\\brdrw10\\brdrs\\clbrdrb\\brdrw10\\brdrs"
                             "\\clbrdrr\\brdrw10\\brdrs";
                word("\\cellx", edge);
            }
            m_rowStart = true;
            for (int c = 0; c < count; ++c) {
                const QTextTableCell cell = t.cellAt(r, c);
                std::vector<QTextBlock> blocks;
                if (cell.row() == r && cell.column() == c)
                    blocksOf(cell.begin(), cell.end(), blocks);
                for (std::size_t i = 0; i < blocks.size(); ++i)
                    paragraph(blocks[i], blocks[i].position(), true, i + 1 == blocks.size());
                if (blocks.empty())
                    word("\\cell");
            }
            word("\\row");
            m_out += '\n';
            m_delim = false;
        }
    }

    static void blocksOf(QTextFrame::iterator it, QTextFrame::iterator end, std::vector<QTextBlock> &out)
    {
        for (; it != end; ++it) {
            if (const QTextFrame *f = it.currentFrame())
                blocksOf(f->begin(), f->end(), out);
            else
                out.push_back(it.currentBlock());
        }
    }

    // One paragraph from its position in the raw text; in a table it ends
    // with \cell when it is its cell's last.
    void paragraph(const QTextBlock &b, int pos, bool inTable, bool endsCell)
    {
        ParaState para = paraState(b);
        para.inTable = inTable;
        if (m_firstPara || m_rowStart || !(para == m_prev)) {
            word("\\pard");
            if (para.inTable)
                word("\\intbl");
            if (para.bullet) {
                bulletText();
                m_out.append("{\\*\\pn\\pnlvlblt\\pnf");
                number(m_bulletFont);
                m_out.append("\\pnindent0{\\pntxtb\\'B7}}");
                if (para.first)
                    word("\\fi", para.first);
                if (para.left)
                    word("\\li", para.left);
                if (para.right)
                    word("\\ri", para.right);
            } else {
                if (para.left)
                    word("\\li", para.left);
                if (para.right)
                    word("\\ri", para.right);
                if (para.first)
                    word("\\fi", para.first);
            }
            if (para.before)
                word("\\sb", para.before);
            if (para.after)
                word("\\sa", para.after);
            static const char *const kAlign[] = {nullptr, "\\qc", "\\qr", "\\qj"};
            if (para.align)
                word(kAlign[para.align]);
        } else if (para.bullet) {
            bulletText();
        }
        m_firstPara = false;
        m_rowStart = false;
        m_prev = para;

        bool any = false;
        // Fragments of a block lie end to end from the block's start, so
        // their text is a slice of the raw text, with no copy per fragment.
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const int length = frag.length();
            if (length == 0)
                continue;
            const int index = frag.charFormatIndex();
            const RunState &state = cached(index) ? m_states[m_stateOf[index]] : stateOf(index, frag.charFormat());
            if (state.link != m_openLink) {
                closeLink();
                if (state.link)
                    openLink(state.link);
            }
            runFormat(state);
            if (state.image) {
                const QTextImageFormat image = frag.charFormat().toImageFormat();
                for (int i = 0; i < length; ++i)
                    picture(image);
            } else {
                text(m_raw + pos, length);
            }
            pos += length;
            any = true;
        }
        closeLink();
        if (!any)
            runFormat(stateOf(b.charFormatIndex(), b.charFormat()));
        if (endsCell) {
            word("\\cell");
        } else {
            word("\\par");
            m_out += '\n';
            m_delim = false;
        }
    }

    // A link is a HYPERLINK field around its text; what the field's group
    // changes of the format ends with it.
    void openLink(int link)
    {
        const QString &target = m_links[std::size_t(link - 1)];
        m_out += "{\\field{\\*\\fldinst{HYPERLINK ";
        if (target.startsWith(u'#')) {
            m_out += "\\\\l ";
            quoted(QStringView(target).mid(1));
        } else {
            quoted(target);
        }
        m_out += "}}{\\fldrslt{";
        m_delim = false;
        m_linkState = m_state;
        m_openLink = link;
    }

    void closeLink()
    {
        if (!m_openLink)
            return;
        m_out += "}}}";
        m_delim = false;
        m_state = m_linkState;
        m_openLink = 0;
    }

    // A field argument in quotes: \ and " escaped for the field, then the
    // whole for RTF.
    void quoted(QStringView s)
    {
        m_out += '"';
        for (QChar qc : s) {
            const char16_t c = qc.unicode();
            if (c == '\\' || c == '"')
                m_out += "\\\\";
            if (c == '\\' || c == '{' || c == '}') {
                m_out += '\\';
                m_out += char(c);
            } else if (c >= 0x20 && c < 0x80) {
                m_out += char(c);
            } else if (c >= 0x80) {
                unicode(c);
            }
        }
        m_out += '"';
        m_delim = false;
    }

    // A picture as it came: its PNG or JPEG bytes, or the group kept whole.
    void picture(const QTextImageFormat &f)
    {
        const QString name = f.name();
        if (!name.startsWith(QLatin1String(kPictureScheme) + u':'))
            return;
        const QUrl url(name);
        const QVariant kept = m_doc.resource(kKeptResource, keptUrl(name));
        const QByteArray bytes = kept.userType() == QMetaType::QByteArray ? kept.toByteArray() : QByteArray();
        const int kind = f.intProperty(prop::PictureKind);
        if (kind == prop::KeptGroup && !bytes.isEmpty()) {
            m_out.append(bytes.constData(), std::size_t(bytes.size()));
            m_delim = false;
            return;
        }
        QByteArray data = bytes;
        bool jpeg = kind == prop::Jpeg;
        auto intOf = [&](int property, int fallback) {
            return f.hasProperty(property) ? f.intProperty(property) : fallback;
        };
        int width = intOf(prop::PictureWidth, 0), height = intOf(prop::PictureHeight, 0);
        int goalWidth = intOf(prop::PictureGoalWidth, 0), goalHeight = intOf(prop::PictureGoalHeight, 0);
        const int scaleX = intOf(prop::PictureScaleX, 100), scaleY = intOf(prop::PictureScaleY, 100);
        if (data.isEmpty() || (kind != prop::Png && kind != prop::Jpeg)) {
            // Only an image: PNG at the size it is shown.
            const QVariant shown = m_doc.resource(QTextDocument::ImageResource, url);
            const QImage image = shown.userType() == QMetaType::QImage ? shown.value<QImage>()
                                                                       : shown.value<QPixmap>().toImage();
            if (image.isNull())
                return;
            data.clear();
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            jpeg = false;
            width = image.width();
            height = image.height();
            goalWidth = int(std::lround((f.width() > 0 ? f.width() : width) * kTwipsPerUnit));
            goalHeight = int(std::lround((f.height() > 0 ? f.height() : height) * kTwipsPerUnit));
        }
        m_out += jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
        if (width)
            word("\\picw", width);
        if (height)
            word("\\pich", height);
        if (goalWidth)
            word("\\picwgoal", goalWidth);
        if (goalHeight)
            word("\\pichgoal", goalHeight);
        if (scaleX != 100)
            word("\\picscalex", scaleX);
        if (scaleY != 100)
            word("\\picscaley", scaleY);
        m_out += '\n';
        static const char hex[] = "0123456789abcdef";
        const qsizetype n = data.size();
        for (qsizetype i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(data[i]);
            m_out += hex[c >> 4];
            m_out += hex[c & 15];
            if (i % 64 == 63 && i + 1 < n)
                m_out += '\n';
        }
        m_out += '}';
        m_delim = false;
    }

    void collectTables()
    {
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
            if (!m_hasBullets && b.textList())
                m_hasBullets = true;
            bool any = false;
            for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (frag.isValid() && frag.length() > 0) {
                    if (!cached(frag.charFormatIndex()))
                        stateOf(frag.charFormatIndex(), frag.charFormat());
                    any = true;
                }
            }
            if (!any)
                stateOf(b.charFormatIndex(), b.charFormat());
        }
        if (m_fonts.empty())
            fontIndex(m_defaultFont);
        if (m_hasBullets)
            m_bulletFont = fontIndex(QString::fromLatin1(kBulletFont));
    }

    bool cached(int index) const
    {
        return index >= 0 && index < int(m_stateOf.size()) && m_stateOf[index] >= 0;
    }

    // Formats are shared by index, so each is looked at once.
    const RunState &stateOf(int index, const QTextCharFormat &f)
    {
        if (cached(index))
            return m_states[m_stateOf[index]];
        RunState s;
        const QString name = fontNameOf(f);
        s.font = fontIndex(name.isEmpty() ? m_defaultFont : name);
        s.halfPoints = f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0
                           ? int(std::lround(f.fontPointSize() * 2))
                           : m_defaultHalfPoints;
        s.color = colorIndex(f);
        const TextAttributes a = attributesOf(f);
        s.bold = a.bold;
        s.italic = a.italic;
        s.underline = a.underline;
        s.strike = a.strike;
        s.image = f.isImageFormat();
        if (f.isAnchor() && !f.anchorHref().isEmpty())
            s.link = linkIndex(f.anchorHref());
        if (index < 0)
            return m_scratch = s;
        if (index >= int(m_stateOf.size()))
            m_stateOf.resize(index + 1, -1);
        m_stateOf[index] = int(m_states.size());
        m_states.push_back(s);
        return m_states.back();
    }

    int linkIndex(const QString &target)
    {
        auto it = m_linkIndex.constFind(target);
        if (it != m_linkIndex.constEnd())
            return *it;
        m_links.push_back(target);
        const int i = int(m_links.size());
        m_linkIndex.insert(target, i);
        return i;
    }

    int fontIndex(const QString &name)
    {
        auto it = m_fontIndex.constFind(name);
        if (it != m_fontIndex.constEnd())
            return *it;
        const int i = int(m_fonts.size());
        m_fonts.push_back(name);
        m_fontIndex.insert(name, i);
        return i;
    }

    int colorIndex(const QTextCharFormat &f)
    {
        if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().style() == Qt::NoBrush)
            return 0;
        const QColor c = f.foreground().color();
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        auto it = m_colorIndex.constFind(rgb);
        if (it != m_colorIndex.constEnd())
            return *it;
        m_colors.push_back(c);
        const int i = int(m_colors.size());
        m_colorIndex.insert(rgb, i);
        return i;
    }

    // The list a block is in comes from its format's object index, so the
    // whole state depends on the format index alone.
    ParaState paraState(const QTextBlock &b)
    {
        const int index = b.blockFormatIndex();
        if (index >= 0 && index < int(m_paraOf.size()) && m_paraOf[index].known)
            return m_paraOf[index].state;
        const ParaState p = computeParaState(b);
        if (index >= 0) {
            if (index >= int(m_paraOf.size()))
                m_paraOf.resize(index + 1);
            m_paraOf[index] = {true, p};
        }
        return p;
    }

    static ParaState computeParaState(const QTextBlock &b)
    {
        ParaState p;
        const QTextBlockFormat f = b.blockFormat();
        const Qt::Alignment a = horizontalAlignment(f.alignment());
        p.align = a == Qt::AlignHCenter ? 1 : a == Qt::AlignRight ? 2 : a == Qt::AlignJustify ? 3 : 0;
        const QTextList *list = b.textList();
        p.bullet = list != nullptr;
        auto twips = [](double units) { return int(std::lround(units * kTwipsPerUnit)); };
        const int margin = twips(f.leftMargin());
        const int levels = f.indent() + (list ? list->format().indent() : 0);
        p.left = margin + levels * kTwipsPerLevel;
        p.right = twips(f.rightMargin());
        p.before = twips(f.topMargin());
        p.after = twips(f.bottomMargin());
        if (!p.bullet) {
            p.first = twips(f.textIndent());
        } else if (f.hasProperty(prop::BulletLeft)
                   && margin == std::max(0, f.intProperty(prop::BulletLeft) - levels * kTwipsPerLevel)) {
            // Still where the RTF put it: its own indents, hanging one too.
            p.left = f.intProperty(prop::BulletLeft);
            p.first = f.intProperty(prop::BulletFirst);
        } else {
            p.first = -kTwipsPerLevel;
        }
        return p;
    }

    void bulletText()
    {
        m_out.append("{\\pntext\\f");
        number(m_bulletFont);
        m_out.append("\\'B7\\tab}");
        m_delim = false;
    }

    void runFormat(const RunState &s)
    {
        if (s.color != m_state.color)
            word("\\cf", s.color);
        if (s.bold != m_state.bold)
            word(s.bold ? "\\b" : "\\b0");
        if (s.italic != m_state.italic)
            word(s.italic ? "\\i" : "\\i0");
        if (s.underline != m_state.underline)
            word(s.underline ? "\\ul" : "\\ulnone");
        if (s.strike != m_state.strike)
            word(s.strike ? "\\strike" : "\\strike0");
        if (s.font != m_state.font)
            word("\\f", s.font);
        if (s.halfPoints != m_state.halfPoints)
            word("\\fs", s.halfPoints);
        m_state = s;
    }

    void word(const char *w)
    {
        m_out.append(w);
        m_delim = true;
    }

    // A control word with a number, built without temporaries.
    void word(const char *w, int n)
    {
        m_out.append(w);
        number(n);
        m_delim = true;
    }

    void number(int n)
    {
        char buf[12];
        char *end = buf + sizeof buf;
        char *p = end;
        unsigned u = n < 0 ? 0u - unsigned(n) : unsigned(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (n < 0)
            *--p = '-';
        m_out.append(p, end - p);
    }

    void unicode(char16_t c)
    {
        const int n = c >= 0x8000 ? int(c) - 65536 : int(c);
        m_out.append("\\u");
        number(n);
        m_out += '?';
        m_delim = false;
    }

    // Text goes out through a buffer on the stack, a slice at a time, each
    // unit written by pointer: the most a unit takes is "\u-32768?" after
    // a delimiting space.
    void text(const char16_t *p, qsizetype length)
    {
        static const char hex[] = "0123456789abcdef";
        constexpr qsizetype kSlice = 512;
        constexpr qsizetype kMostPerUnit = 10;
        char buf[kSlice * kMostPerUnit];
        bool delim = m_delim;
        const char16_t *const end = p + length;
        while (p < end) {
            const char16_t *const sliceEnd = p + std::min(kSlice, qsizetype(end - p));
            char *o = buf;
            for (; p < sliceEnd; ++p) {
                const char16_t c = *p;
                if (c >= 0x20 && c < 0x80) {
                    if (c == '\\' || c == '{' || c == '}') {
                        *o++ = '\\';
                        delim = false;
                    } else if (delim) {
                        *o++ = ' ';
                        delim = false;
                    }
                    *o++ = char(c);
                } else if (c == '\t') {
                    o = put(o, "\\tab");
                    delim = true;
                } else if (c == 0x2028) {
                    o = put(o, "\\line");
                    delim = true;
                } else if (c == 0x00A0) {
                    o = put(o, "\\~");
                    delim = false;
                } else if (c < 0x20) {
                    continue; // no control characters in the editor's text
                } else if (const int b = encoded(c); b >= 0x80) {
                    *o++ = '\\';
                    *o++ = '\'';
                    *o++ = hex[b >> 4];
                    *o++ = hex[b & 15];
                    delim = false;
                } else {
                    o = put(o, "\\u");
                    o = putNumber(o, c >= 0x8000 ? int(c) - 65536 : int(c));
                    *o++ = '?';
                    delim = false;
                }
            }
            m_out.append(buf, std::size_t(o - buf));
        }
        m_delim = delim;
    }

    template <std::size_t N>
    static char *put(char *o, const char (&s)[N])
    {
        std::memcpy(o, s, N - 1);
        return o + (N - 1);
    }

    static char *putNumber(char *o, int n)
    {
        char tmp[12];
        char *const end = tmp + sizeof tmp;
        char *t = end;
        unsigned u = n < 0 ? 0u - unsigned(n) : unsigned(n);
        do {
            *--t = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (n < 0)
            *--t = '-';
        std::memcpy(o, t, std::size_t(end - t));
        return o + (end - t);
    }

    // The code page's byte for a unit, looked up once per unit: 0 not yet
    // known, 1 none.
    int encoded(char16_t c)
    {
        if (m_encoded.empty())
            m_encoded.assign(0x10000, 0);
        std::uint8_t &e = m_encoded[c];
        if (e == 0) {
            const int b = m_cp.encode(c);
            e = b >= 0x80 ? std::uint8_t(b) : 1;
        }
        return e;
    }

    void fontName(const QString &name)
    {
        m_delim = false;
        for (QChar qc : name) {
            const char16_t c = qc.unicode();
            if (c == ';' || c < 0x20)
                continue;
            if (c == '\\' || c == '{' || c == '}') {
                m_out += '\\';
                m_out += char(c);
            } else if (c < 0x80) {
                m_out += char(c);
            } else {
                unicode(c);
            }
        }
    }

    const QTextDocument &m_doc;
    const CodePage &m_cp;
    QString m_defaultFont;
    int m_defaultHalfPoints = 20;
    std::vector<QString> m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    bool m_hasBullets = false;
    int m_bulletFont = 0;
    RunState m_state;
    std::vector<int> m_stateOf;
    std::vector<RunState> m_states;
    RunState m_scratch;
    struct KnownPara {
        bool known = false;
        ParaState state;
    };
    std::vector<KnownPara> m_paraOf;
    std::vector<QString> m_links;
    QHash<QString, int> m_linkIndex;
    int m_openLink = 0;
    RunState m_linkState;
    const char16_t *m_raw = nullptr;
    QString m_rawText;
    bool m_firstPara = true;
    bool m_rowStart = false;
    ParaState m_prev;
    bool m_delim = false;
    std::string m_out; // appends inline, unlike QByteArray's
    std::vector<std::uint8_t> m_encoded;

};

} // namespace

QByteArray writeDocument(const QTextDocument &doc)
{
    return Writer(doc).write();
}

} // namespace tl::rtf
