#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"
#include "richtext/rtfreader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace tl::rtf {

namespace {

// Pictures decoded for one document, in pixels: past this they show as
// boxes (their bytes are kept all the same), so a note of huge pictures
// costs bounded time and memory.
constexpr qint64 kDecodedPixels = 40'000'000;
constexpr qint64 kReadPixels = 200'000'000;

struct DecodeBudget {
    qint64 decoded = kDecodedPixels;
    qint64 read = kReadPixels;
};

QString newPictureName()
{
    static std::atomic<quint64> next{0};
    return QStringLiteral("%1:%2").arg(QLatin1String(kPictureScheme)).arg(++next);
}

// What stands for a picture Qt cannot show: a grey box, drawn at the
// picture's size.
const QImage &boxImage()
{
    static const QImage box = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.fill(QColor(0xd8, 0xd8, 0xd8));
        return i;
    }();
    return box;
}

// A PNG or JPEG, at no more than twice the size it is shown at.
QImage decode(const QByteArray &data, Picture::Blip blip, QSize shown, DecodeBudget &budget)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, blip == Picture::Blip::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > budget.read)
        return {};
    budget.read -= pixels;
    QSize target = size;
    if (!shown.isEmpty() && size.width() > 2 * shown.width() && size.height() > 2 * shown.height())
        target = size.scaled(2 * shown, Qt::KeepAspectRatioByExpanding);
    const qint64 decoded = qint64(target.width()) * target.height();
    if (decoded > budget.decoded)
        return {};
    budget.decoded -= decoded;
    if (target != size)
        reader.setScaledSize(target);
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

// Adds a picture's resources to the document and gives the format that
// shows it; image, when given, is the picture already decoded.
QTextImageFormat pictureFormat(QTextDocument &doc, const Picture &p, const QTextCharFormat &base,
                               DecodeBudget &budget, const QImage *decoded = nullptr)
{
    QTextImageFormat f;
    f.merge(base);
    const QString name = newPictureName();
    f.setName(name);
    const QUrl url(name);
    QSize shown(int(std::lround(p.shownWidth / kTwipsPerUnit)), int(std::lround(p.shownHeight / kTwipsPerUnit)));
    QImage image = decoded ? *decoded
                   : p.blip != Picture::Blip::None ? decode(p.data, p.blip, shown, budget)
                                                   : QImage();
    if (!image.isNull()) {
        // A side the picture does not state follows the image's proportions.
        if (shown.width() <= 0 && shown.height() <= 0)
            shown = image.size();
        else if (shown.width() <= 0)
            shown.setWidth(std::max(1, int(std::lround(double(shown.height()) * image.width() / image.height()))));
        else if (shown.height() <= 0)
            shown.setHeight(std::max(1, int(std::lround(double(shown.width()) * image.height() / image.width()))));
    }
    if (shown.width() <= 0)
        shown.setWidth(32);
    if (shown.height() <= 0)
        shown.setHeight(32);
    f.setWidth(shown.width());
    f.setHeight(shown.height());
    doc.addResource(QTextDocument::ImageResource, url, image.isNull() ? boxImage() : image);

    if (!p.source.isEmpty()) {
        f.setProperty(prop::PictureKind, int(prop::KeptGroup));
        doc.addResource(kKeptResource, keptUrl(name), p.source);
    } else {
        f.setProperty(prop::PictureKind, int(p.blip == Picture::Blip::Jpeg ? prop::Jpeg : prop::Png));
        f.setProperty(prop::PictureWidth, p.width);
        f.setProperty(prop::PictureHeight, p.height);
        f.setProperty(prop::PictureGoalWidth, p.goalWidth);
        f.setProperty(prop::PictureGoalHeight, p.goalHeight);
        f.setProperty(prop::PictureScaleX, p.scaleX);
        f.setProperty(prop::PictureScaleY, p.scaleY);
        doc.addResource(kKeptResource, keptUrl(name), p.data);
    }
    return f;
}

QTextBlockFormat blockFormatOf(const ParaFormat &para)
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
    return block;
}

QTextBlockFormat jointFormat()
{
    QTextBlockFormat f;
    f.setProperty(prop::Joint, true);
    return f;
}

// Paragraphs go into the document as they end; those of a table wait for
// the table's end, when its shape is known.
class DocumentSink final : public Sink {
public:
    DocumentSink(QTextDocument &doc, const Reader &reader) : m_doc(doc), m_cursor(&doc), m_reader(reader)
    {
        m_cursor.beginEditBlock();
    }
    ~DocumentSink() override { m_cursor.endEditBlock(); }

    void text(const char16_t *run, std::size_t length, const CharFormat &format) override
    {
        m_runs.push_back({m_text.size(), qsizetype(length), format, -1});
        m_text.append(reinterpret_cast<const QChar *>(run), qsizetype(length));
    }

    void picture(const Picture &picture, const CharFormat &format) override
    {
        m_runs.push_back({m_text.size(), 0, format, int(m_pictures.size())});
        m_pictures.push_back(picture);
    }

    void endParagraph(const ParaFormat &para, const CharFormat &mark, bool) override
    {
        const Paragraph p{para, mark, m_paraRun, m_runs.size()};
        m_paraRun = m_runs.size();
        if (para.inTable) {
            m_paras.push_back(p);
            return;
        }
        if (!m_rows.empty())
            insertRows(m_rows.size(), m_shape.columns());
        insertParagraph(p, m_first || m_afterTable);
        m_first = false;
        m_afterTable = false;
        m_runs.clear();
        m_text.clear();
        m_pictures.clear();
        m_paraRun = 0;
        m_paras.clear();
        m_cells.clear();
        m_cellFirst = 0;
        m_rows.clear();
        m_rowFirst = 0;
        m_rowsDone = 0;
        m_shape.reset();
    }

    void endCell() override
    {
        m_cells.push_back({m_cellFirst, m_paras.size()});
        m_cellFirst = m_paras.size();
    }

    void endRow(const RowFormat &row) override
    {
        const int cells = int(m_cells.size() - m_rowFirst);
        if (!m_shape.join(cells)) {
            insertRows(m_rows.size(), m_shape.columns());
            m_shape.reset();
            m_shape.join(cells);
        }
        m_rows.push_back({m_rowFirst, m_cells.size(), row});
        m_rowFirst = m_cells.size();
    }

private:
    struct Run {
        qsizetype start;
        qsizetype length;
        CharFormat format;
        int picture; // index into m_pictures, -1 for text
    };
    struct Paragraph {
        ParaFormat para;
        CharFormat mark;
        std::size_t firstRun, endRun;
    };
    struct Cell {
        std::size_t firstParagraph, endParagraph;
    };
    struct Row {
        std::size_t firstCell, endCell;
        RowFormat format;
    };

    void insertParagraph(const Paragraph &p, bool here)
    {
        // A list's later items go in with the list's object index already in
        // their format, which saves a format change per item.
        const bool joinList = p.para.bullet && m_list && !here;
        const QTextBlockFormat &block = blockFormat(p.para, joinList ? m_list->objectIndex() : -1);
        if (here) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(charFormat(p.mark));
        } else {
            m_cursor.insertBlock(block, charFormat(p.mark));
        }
        // The document copies the text; a view of the buffer saves a copy.
        for (std::size_t i = p.firstRun; i < p.endRun; ++i) {
            const Run &r = m_runs[i];
            if (r.picture >= 0)
                m_cursor.insertImage(
                    pictureFormat(m_doc, m_pictures[std::size_t(r.picture)], charFormat(r.format), m_budget));
            else
                m_cursor.insertText(QString::fromRawData(m_text.constData() + r.start, r.length),
                                    charFormat(r.format));
        }
        if (p.para.bullet) {
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

    // The rows read and not yet in the document, up to end, as one table.
    void insertRows(std::size_t end, int columns)
    {
        if (m_rowsDone >= end)
            return;
        if (m_first || m_afterTable) {
            // Qt's paragraph before the table, in the table's first format.
            m_cursor.setBlockFormat(jointFormat());
            const Cell &cell = m_cells[m_rows[m_rowsDone].firstCell];
            if (cell.firstParagraph < cell.endParagraph)
                m_cursor.setBlockCharFormat(charFormat(m_paras[cell.firstParagraph].mark));
        }
        m_first = false;
        m_list = nullptr;
        const int rows = int(end - m_rowsDone);
        QTextTable *table = m_cursor.insertTable(rows, columns, tableFormat(m_rowsDone, end, columns));
        for (int r = 0; r < rows; ++r) {
            const Row &row = m_rows[m_rowsDone + std::size_t(r)];
            for (int c = 0; c < columns; ++c) {
                const std::size_t cell = row.firstCell + std::size_t(c);
                if (cell < row.endCell) {
                    bool here = true;
                    for (std::size_t i = m_cells[cell].firstParagraph; i < m_cells[cell].endParagraph; ++i) {
                        insertParagraph(m_paras[i], here);
                        here = false;
                    }
                    m_list = nullptr;
                } else if (const Cell &last = m_cells[row.endCell - 1]; last.firstParagraph < last.endParagraph) {
                    // A cell that makes the row up, in the format its last cell ends in.
                    m_cursor.setBlockCharFormat(charFormat(m_paras[last.endParagraph - 1].mark));
                }
                if (c == 0)
                    table->cellAt(r, 0).setFormat(rowCellFormat(row));
                m_cursor.movePosition(QTextCursor::NextBlock);
            }
        }
        m_rowsDone = end;
        m_afterTable = true;
    }

    QTextTableFormat tableFormat(std::size_t first, std::size_t end, int columns) const
    {
        // Column widths from the first of the widest rows.
        const Row *widest = &m_rows[first];
        for (std::size_t i = first; i < end; ++i) {
            if (m_rows[i].endCell - m_rows[i].firstCell > widest->endCell - widest->firstCell)
                widest = &m_rows[i];
        }
        QList<QTextLength> widths;
        int left = widest->format.left;
        for (int c = 0; c < columns; ++c) {
            int width = 1440;
            if (std::size_t(c) < widest->format.cellx.size()) {
                const int right = widest->format.cellx[std::size_t(c)];
                if (right > left)
                    width = right - left;
                left = right;
            }
            widths.append(QTextLength(QTextLength::FixedLength, std::max(1.0, width / kTwipsPerUnit)));
        }
        QTextTableFormat f;
        f.setColumnWidthConstraints(widths);
        f.setBorderCollapse(true);
        f.setBorder(1);
        const bool borders = widest->format.borders;
        f.setBorderStyle(borders ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_Dotted);
        f.setBorderBrush(borders ? QColor(Qt::black) : QColor(0xc0, 0xc0, 0xc0));
        f.setCellSpacing(0);
        f.setCellPadding(std::clamp(widest->format.gap / kTwipsPerUnit, 0.0, 30.0));
        f.setAlignment(Qt::AlignLeft);
        return f;
    }

    // The cell format is also the format of the cell's first paragraph mark.
    QTextTableCellFormat rowCellFormat(const Row &row)
    {
        QTextTableCellFormat f;
        if (row.firstCell < row.endCell) {
            const Cell &first = m_cells[row.firstCell];
            if (first.firstParagraph < first.endParagraph)
                f.merge(charFormat(m_paras[first.firstParagraph].mark));
        }
        f.setProperty(prop::RowGap, row.format.gap);
        f.setProperty(prop::RowLeft, row.format.left);
        f.setProperty(prop::RowBorders, row.format.borders);
        f.setProperty(prop::RowCellx, QVariant::fromValue(QList<int>(row.format.cellx.begin(), row.format.cellx.end())));
        f.setProperty(prop::RowCells, int(row.endCell - row.firstCell));
        return f;
    }

    // The same for paragraphs: a few formats, each built and hashed once.
    // Those of a list's later items carry the list, so they keep a slot of
    // their own for the list being read.
    const QTextBlockFormat &blockFormat(const ParaFormat &para, int list)
    {
        if (list >= 0) {
            if (m_listBlock.list != list || !(m_listBlock.from == para)) {
                m_listBlock = {para, list, blockFormatOf(para)};
                m_listBlock.format.setObjectIndex(list);
            }
            return m_listBlock.format;
        }
        if (m_lastBlock < m_blocks.size() && m_blocks[m_lastBlock].from == para)
            return m_blocks[m_lastBlock].format;
        for (std::size_t i = 0; i < m_blocks.size(); ++i) {
            if (m_blocks[i].from == para) {
                m_lastBlock = i;
                return m_blocks[i].format;
            }
        }
        if (m_blocks.size() >= kKnownFormats)
            m_blocks.erase(m_blocks.begin());
        m_blocks.push_back({para, -1, blockFormatOf(para)});
        m_lastBlock = m_blocks.size() - 1;
        return m_blocks.back().format;
    }

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
        if (f.link > 0) {
            q.setAnchor(true);
            q.setAnchorHref(m_reader.link(f.link));
        }
        m_formats.push_back({f, q});
        m_last = m_formats.size() - 1;
        return m_formats.back().format;
    }

    QTextDocument &m_doc;
    QTextCursor m_cursor;
    const Reader &m_reader;
    bool m_first = true;       // the document's first paragraph is still empty
    bool m_afterTable = false; // the cursor is in the paragraph Qt puts after a table
    QTextList *m_list = nullptr;
    DecodeBudget m_budget;

    // Read and not yet in the document: the paragraph being read, or a
    // table's paragraphs, cells and rows.
    QString m_text;
    std::vector<Run> m_runs;
    std::vector<Picture> m_pictures;
    std::size_t m_paraRun = 0;
    std::vector<Paragraph> m_paras;
    std::vector<Cell> m_cells;
    std::size_t m_cellFirst = 0;
    std::vector<Row> m_rows;
    std::size_t m_rowFirst = 0;
    std::size_t m_rowsDone = 0;
    TableShape m_shape;

    struct KnownFormat {
        CharFormat from;
        QTextCharFormat format;
    };
    static constexpr std::size_t kKnownFormats = 32;
    std::vector<KnownFormat> m_formats;
    std::size_t m_last = 0;
    struct KnownBlock {
        ParaFormat from;
        int list; // the list's object index, -1 none
        QTextBlockFormat format;
    };
    std::vector<KnownBlock> m_blocks;
    std::size_t m_lastBlock = 0;
    KnownBlock m_listBlock{{}, -1, {}};
};

} // namespace

QTextImageFormat addPngPicture(QTextDocument &doc, const QImage &image, const QTextCharFormat &base)
{
    Picture p;
    p.blip = Picture::Blip::Png;
    QBuffer buffer(&p.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    p.width = image.width();
    p.height = image.height();
    p.goalWidth = int(std::lround(image.width() * kTwipsPerUnit));
    p.goalHeight = int(std::lround(image.height() * kTwipsPerUnit));
    p.shownWidth = p.goalWidth;
    p.shownHeight = p.goalHeight;
    DecodeBudget unused;
    return pictureFormat(doc, p, base, unused, &image);
}

unsigned readDocument(std::string_view rtf, QTextDocument &doc)
{
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    doc.setIndentWidth(kIndentWidth);
    unsigned skipped = 0;
    {
        Reader reader;
        DocumentSink sink(doc, reader);
        reader.parse(rtf, sink);
        skipped = reader.unheldContent();
    }
    doc.setUndoRedoEnabled(undo);
    return skipped;
}

QString unheldText(unsigned bits)
{
    static const struct {
        unsigned bit;
        const char *text;
    } kNames[] = {
        {unheld::Footnotes, "footnotes"},
        {unheld::Comments, "comments"},
        {unheld::HeadersFooters, "headers and footers"},
        {unheld::Drawings, "drawings"},
        {unheld::HiddenText, "hidden text"},
    };
    QStringList names;
    for (const auto &n : kNames) {
        if (bits & n.bit)
            names.append(QString::fromLatin1(n.text));
    }
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QLatin1String(", ")) + QLatin1String(" and ") + last;
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
