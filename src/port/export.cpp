#include "port/export.h"

#include "editor/printing.h"
#include "port/notedocument.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "richtext/rtfdocument.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QUuid>

namespace tl::port {

namespace {

struct Named {
    ExportFormat format;
    const char *name;
};
constexpr Named kFormats[] = {{ExportFormat::Html, "html"},
                              {ExportFormat::Markdown, "md"},
                              {ExportFormat::Text, "txt"},
                              {ExportFormat::Pdf, "pdf"},
                              {ExportFormat::RtfFolder, "rtf-dir"}};

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// The block that gives a note its heading: the first one before any table
// or list that holds anything; invalid when there is none.
QTextBlock headingBlock(const QTextDocument &doc)
{
    for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame())
            return {};
        const QTextBlock block = it.currentBlock();
        if (block.textList())
            return {};
        if (!block.text().trimmed().isEmpty())
            return block;
    }
    return {};
}

QImage imageOf(const QTextDocument &doc, const QTextImageFormat &format)
{
    const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    return v.value<QImage>();
}

QByteArray pngDataUri(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + png.toBase64();
}

// Link targets a page may carry: no script runs from a click on a note's link.
bool safeHref(const QString &href)
{
    if (href.startsWith(QLatin1Char('#')))
        return true;
    const QString scheme = QUrl(href).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")
           || scheme == QLatin1String("ftp") || scheme == QLatin1String("file");
}

bool isBold(const QTextCharFormat &f) { return f.fontWeight() > QFont::Medium; }
QColor colorOf(const QTextCharFormat &f)
{
    return f.foreground().style() == Qt::NoBrush ? QColor() : f.foreground().color();
}

// --- HTML

QString escapedHtml(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case 0x2028: out += QLatin1String("<br>"); break;
        case 0xfffc: break;
        default: out += c;
        }
    }
    return out;
}

class HtmlWriter {
public:
    explicit HtmlWriter(const QTextDocument &doc) : m_doc(doc) {}

    QString inlineOf(const QTextBlock &block) const
    {
        QString out;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                const QImage picture = imageOf(m_doc, image);
                if (picture.isNull())
                    continue;
                out += QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"\">")
                           .arg(QString::fromLatin1(pngDataUri(picture)))
                           .arg(qRound(image.width() > 0 ? image.width() : picture.width()))
                           .arg(qRound(image.height() > 0 ? image.height() : picture.height()));
                continue;
            }
            QString text = escapedHtml(fragment.text());
            if (text.isEmpty())
                continue;
            QStringList style;
            if (const QColor color = colorOf(f); color.isValid())
                style << QStringLiteral("color:%1").arg(color.name());
            if (f.fontPointSize() > 0 && qAbs(f.fontPointSize() - 12) > 0.01)
                style << QStringLiteral("font-size:%1pt").arg(f.fontPointSize());
            if (!style.isEmpty())
                text = QStringLiteral("<span style=\"%1\">%2</span>").arg(style.join(QLatin1Char(';')), text);
            if (f.fontStrikeOut())
                text = QStringLiteral("<s>%1</s>").arg(text);
            if (f.fontUnderline() && !f.isAnchor())
                text = QStringLiteral("<u>%1</u>").arg(text);
            if (f.fontItalic())
                text = QStringLiteral("<i>%1</i>").arg(text);
            if (isBold(f))
                text = QStringLiteral("<b>%1</b>").arg(text);
            if (f.isAnchor() && safeHref(f.anchorHref()))
                text = QStringLiteral("<a href=\"%1\">%2</a>").arg(escapedHtml(f.anchorHref()), text);
            out += text;
        }
        return out;
    }

    // The blocks and tables from begin to its end, skip left out.
    QString blocksOf(QTextFrame::iterator it, const QTextBlock &skip = {}) const
    {
        QString out;
        const QTextList *openList = nullptr;
        auto closeList = [&] {
            if (openList)
                out += openList->format().style() == QTextListFormat::ListDecimal ? QLatin1String("</ol>\n")
                                                                                   : QLatin1String("</ul>\n");
            openList = nullptr;
        };
        for (; !it.atEnd(); ++it) {
            if (QTextFrame *frame = it.currentFrame()) {
                closeList();
                if (auto *table = qobject_cast<QTextTable *>(frame))
                    out += tableOf(*table);
                else
                    out += blocksOf(frame->begin());
                continue;
            }
            const QTextBlock block = it.currentBlock();
            if (skip.isValid() && block == skip)
                continue;
            const QTextList *list = block.textList();
            if (list != openList) {
                closeList();
                if (list) {
                    out += list->format().style() == QTextListFormat::ListDecimal ? QLatin1String("<ol>\n")
                                                                                   : QLatin1String("<ul>\n");
                    openList = list;
                }
            }
            const QString content = inlineOf(block);
            if (list) {
                out += QStringLiteral("<li>%1</li>\n").arg(content);
                continue;
            }
            out += QStringLiteral("<p%1>%2</p>\n").arg(alignmentOf(block), content.isEmpty() ? QStringLiteral("<br>") : content);
        }
        closeList();
        return out;
    }

    static QString alignmentOf(const QTextBlock &block)
    {
        const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            return QStringLiteral(" style=\"text-align:center\"");
        if (a & Qt::AlignRight)
            return QStringLiteral(" style=\"text-align:right\"");
        if (a & Qt::AlignJustify)
            return QStringLiteral(" style=\"text-align:justify\"");
        return {};
    }

    QString tableOf(const QTextTable &table) const
    {
        QString out = QStringLiteral("<table>\n");
        for (int r = 0; r < table.rows(); ++r) {
            out += QLatin1String("<tr>");
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;  // covered by a spanning cell
                QString span;
                if (cell.rowSpan() > 1)
                    span += QStringLiteral(" rowspan=\"%1\"").arg(cell.rowSpan());
                if (cell.columnSpan() > 1)
                    span += QStringLiteral(" colspan=\"%1\"").arg(cell.columnSpan());
                out += QStringLiteral("<td%1>%2</td>").arg(span, blocksOf(cell.begin()).trimmed());
            }
            out += QLatin1String("</tr>\n");
        }
        return out + QStringLiteral("</table>\n");
    }

private:
    const QTextDocument &m_doc;
};

// --- Markdown

// Backslash escapes for what CommonMark reads as markup anywhere in a line.
QString escapedMarkdown(QStringView text)
{
    QString out;
    for (QChar c : text) {
        if (QStringView(u"\\`*_[]<>#|~&").contains(c))
            out += QLatin1Char('\\');
        if (c == QChar::ObjectReplacementCharacter)
            continue;
        if (c == QChar::LineSeparator) {
            out += QLatin1String("\\\n");
            continue;
        }
        out += c;
    }
    return out;
}

// Emphasis markers must touch the text: spaces at either end go outside.
QString wrapped(const QString &text, const QString &open, const QString &close)
{
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].isSpace())
        ++start;
    while (end > start && text[end - 1].isSpace())
        --end;
    if (start == end)
        return text;
    return text.left(start) + open + text.mid(start, end - start) + close + text.mid(end);
}

class MarkdownWriter {
public:
    explicit MarkdownWriter(const QTextDocument &doc) : m_doc(doc) {}

    QString inlineOf(const QTextBlock &block) const
    {
        QString out;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (f.isImageFormat()) {
                const QImage picture = imageOf(m_doc, f.toImageFormat());
                if (!picture.isNull())
                    out += QStringLiteral("![](%1)").arg(QString::fromLatin1(pngDataUri(picture)));
                continue;
            }
            QString text = escapedMarkdown(fragment.text());
            if (text.trimmed().isEmpty()) {
                out += text;
                continue;
            }
            if (f.fontStrikeOut())
                text = wrapped(text, QStringLiteral("<s>"), QStringLiteral("</s>"));
            if (f.fontUnderline() && !f.isAnchor())
                text = wrapped(text, QStringLiteral("<u>"), QStringLiteral("</u>"));
            if (f.fontItalic())
                text = wrapped(text, QStringLiteral("*"), QStringLiteral("*"));
            if (isBold(f))
                text = wrapped(text, QStringLiteral("**"), QStringLiteral("**"));
            if (f.isAnchor() && safeHref(f.anchorHref())) {
                QString href = f.anchorHref();
                href.replace(QLatin1Char('<'), QLatin1String("%3C")).replace(QLatin1Char('>'), QLatin1String("%3E"));
                text = wrapped(text, QStringLiteral("["), QStringLiteral("](<%1>)").arg(href));
            }
            out += text;
        }
        return out;
    }

    // Text that would start a list, a heading or a rule at a line's start.
    static QString safeStart(QString line)
    {
        static const QRegularExpression numbered(QStringLiteral("^(\\d+)([.)])"));
        if (line.startsWith(QLatin1Char('-')) || line.startsWith(QLatin1Char('+')) || line.startsWith(QLatin1Char('=')))
            line.prepend(QLatin1Char('\\'));
        else if (const auto m = numbered.match(line); m.hasMatch())
            line.insert(m.capturedLength(1), QLatin1Char('\\'));
        // Four leading spaces would make code of the line.
        qsizetype spaces = 0;
        while (spaces < line.size() && line[spaces] == QLatin1Char(' '))
            ++spaces;
        return spaces ? line.mid(spaces) : line;
    }

    QString blocksOf(QTextFrame::iterator it, const QTextBlock &skip = {}) const
    {
        QString out;
        bool inList = false;
        for (; !it.atEnd(); ++it) {
            if (QTextFrame *frame = it.currentFrame()) {
                if (inList)
                    out += QLatin1Char('\n');
                inList = false;
                if (auto *table = qobject_cast<QTextTable *>(frame))
                    out += tableOf(*table) + QLatin1Char('\n');
                else
                    out += blocksOf(frame->begin());
                continue;
            }
            const QTextBlock block = it.currentBlock();
            if (skip.isValid() && block == skip)
                continue;
            const QString content = inlineOf(block);
            if (const QTextList *list = block.textList()) {
                const bool numbered = list->format().style() == QTextListFormat::ListDecimal;
                QString item = content;
                item.replace(QLatin1Char('\n'), QLatin1String("\n   "));
                out += (numbered ? QStringLiteral("%1. ").arg(list->itemNumber(block) + 1) : QStringLiteral("- "))
                       + item + QLatin1Char('\n');
                inList = true;
                continue;
            }
            if (inList)
                out += QLatin1Char('\n');
            inList = false;
            if (content.trimmed().isEmpty())
                continue;  // paragraphs are apart by a blank line anyway
            out += safeStart(content) + QStringLiteral("\n\n");
        }
        if (inList)
            out += QLatin1Char('\n');
        return out;
    }

    QString tableOf(const QTextTable &table) const
    {
        QString out;
        for (int r = 0; r < table.rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                QStringList parts;
                for (QTextFrame::iterator it = cell.begin(); it != cell.end(); ++it)
                    if (!it.currentFrame())
                        parts << inlineOf(it.currentBlock()).replace(QLatin1String("\\\n"), QLatin1String(" "));
                cells << parts.join(QLatin1Char(' ')).trimmed();
            }
            out += QStringLiteral("| %1 |\n").arg(cells.join(QLatin1String(" | ")));
            if (r == 0)
                out += QStringLiteral("|%1\n").arg(QStringLiteral(" --- |").repeated(table.columns()));
        }
        return out;
    }

private:
    const QTextDocument &m_doc;
};

QString headingText(const QString &note, int index)
{
    const QString title = titleOf(note);
    return title.isEmpty() ? QStringLiteral("Note %1").arg(index + 1) : title;
}

// A file name from a note's first line: no slashes, control characters or
// leading dots, at most 60 characters.
QString safeFileName(const QString &text)
{
    QString name;
    for (QChar c : text) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control
            || c == QLatin1Char(':') || c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"')
            || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|'))
            name += QLatin1Char('_');
        else
            name += c;
    }
    name = name.simplified().left(60).trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name;
}

QString unheldNotice(int index, unsigned unheld)
{
    return QStringLiteral("note %1: left out %2").arg(index + 1).arg(rtf::unheldText(unheld));
}

} // namespace

std::optional<ExportFormat> exportFormatNamed(const QString &name)
{
    for (const Named &n : kFormats)
        if (name == QLatin1String(n.name))
            return n.format;
    return std::nullopt;
}

QString exportFormatName(ExportFormat format)
{
    for (const Named &n : kFormats)
        if (n.format == format)
            return QString::fromLatin1(n.name);
    return {};
}

QStringList exportFormatNames()
{
    QStringList names;
    for (const Named &n : kFormats)
        names << QString::fromLatin1(n.name);
    return names;
}

QByteArray htmlOf(const QStringList &notes, const QString &title)
{
    QString body, toc;
    for (int i = 0; i < notes.size(); ++i) {
        QTextDocument doc;
        readNote(notes[i], doc);
        HtmlWriter writer(doc);
        const QTextBlock heading = headingBlock(doc);
        const QString id = QStringLiteral("note-%1").arg(i + 1);
        toc += QStringLiteral("<li><a href=\"#%1\">%2</a></li>\n").arg(id, escapedHtml(headingText(notes[i], i)));
        body += QStringLiteral("<section id=\"%1\">\n<h2>%2</h2>\n").arg(
            id, heading.isValid() ? writer.inlineOf(heading) : escapedHtml(headingText(notes[i], i)));
        body += writer.blocksOf(doc.rootFrame()->begin(), heading);
        body += QLatin1String("</section>\n");
    }
    const QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
                                        "<title>%2</title>\n<style>\n"
                                        "body { max-width: 50em; margin: 2em auto; padding: 0 1em; font-family: sans-serif; }\n"
                                        "section { border-top: 1px solid #ccc; margin-top: 2em; }\n"
                                        "table { border-collapse: collapse; }\n"
                                        "td { border: 1px solid #999; padding: 0.2em 0.5em; vertical-align: top; }\n"
                                        "td p { margin: 0; }\n"
                                        "</style>\n</head>\n<body>\n<h1>%2</h1>\n<nav>\n<ol>\n%3</ol>\n</nav>\n%4"
                                        "</body>\n</html>\n")
                             .arg(QLocale().bcp47Name(), escapedHtml(title), toc, body);
    return page.toUtf8();
}

QByteArray markdownOf(const QStringList &notes)
{
    QString out;
    for (int i = 0; i < notes.size(); ++i) {
        if (i > 0)
            out += QLatin1String("---\n\n");
        QTextDocument doc;
        readNote(notes[i], doc);
        MarkdownWriter writer(doc);
        const QTextBlock heading = headingBlock(doc);
        QString title = heading.isValid() ? writer.inlineOf(heading) : escapedMarkdown(headingText(notes[i], i));
        title.replace(QLatin1String("\\\n"), QLatin1String(" "));
        out += QStringLiteral("## %1\n\n").arg(title.trimmed());
        out += writer.blocksOf(doc.rootFrame()->begin(), heading);
    }
    return out.toUtf8();
}

QByteArray textOf(const QStringList &notes)
{
    QString out;
    for (int i = 0; i < notes.size(); ++i) {
        if (i > 0)
            out += QLatin1String("\f\n");
        QString text = port::plainTextOf(notes[i]);
        if (!text.endsWith(QLatin1Char('\n')))
            text += QLatin1Char('\n');
        out += text;
    }
    return out.toUtf8();
}

QByteArray pdfOf(const QStringList &notes, const QString &title)
{
    QTextDocument all;
    QTextCursor cursor(&all);
    for (int i = 0; i < notes.size(); ++i) {
        QTextDocument doc;
        readNote(notes[i], doc);
        // Pictures are the note's resources: the page document needs them too.
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it)
                if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat()) {
                    const QString name = f.toImageFormat().name();
                    all.addResource(QTextDocument::ImageResource, QUrl(name),
                                    doc.resource(QTextDocument::ImageResource, QUrl(name)));
                }
        if (i > 0) {
            cursor.insertBlock();
            QTextBlockFormat breakBefore;
            breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(breakBefore);
        }
        cursor.insertFragment(QTextDocumentFragment(&doc));
    }
    // Laid out on pages by the printing path, which numbers them.
    return print::pdfOf(all, title);
}

QString rtfFileName(int index, const QString &note)
{
    const QString name = safeFileName(titleOf(note));
    return QStringLiteral("%1%2.rtf").arg(index + 1, 3, 10, QLatin1Char('0'))
        .arg(name.isEmpty() ? QString() : QLatin1Char(' ') + name);
}

ExportReport exportNotes(const QStringList &notes, ExportFormat format, const QString &output, const QString &title)
{
    // No export format is a notes file: a name like one is a slip that
    // would put a page where the person's notes were.
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix == QLatin1String("nts") || suffix == QLatin1String("znts") || suffix == QLatin1String("snts"))
        throw Error(QStringLiteral("\"%1\" is the name of a notes file: the notes go out under another name")
                        .arg(shown(output)));
    ExportReport report;
    report.notes = int(notes.size());
    if (format != ExportFormat::Text && format != ExportFormat::RtfFolder) {
        for (int i = 0; i < notes.size(); ++i) {
            QTextDocument doc;
            if (const unsigned unheld = readNote(notes[i], doc))
                report.notices << unheldNotice(i, unheld);
        }
    }
    switch (format) {
    case ExportFormat::Html:
        writeFileAtomically(output, htmlOf(notes, title));
        break;
    case ExportFormat::Markdown:
        writeFileAtomically(output, markdownOf(notes));
        break;
    case ExportFormat::Text:
        writeFileAtomically(output, textOf(notes));
        break;
    case ExportFormat::Pdf:
        writeFileAtomically(output, pdfOf(notes, title));
        break;
    case ExportFormat::RtfFolder: {
        const QFileInfo target(output);
        if (target.exists() || target.isSymLink())
            throw Error(QStringLiteral("\"%1\" already exists: the notes go into a new folder").arg(shown(output)));
        QDir parent = target.absoluteDir();
        if (!parent.exists())
            throw Error(QStringLiteral("The folder \"%1\" does not exist").arg(shown(parent.path())));
        // Made whole under another name, so a failure leaves no half folder.
        const QString partial = QStringLiteral(".%1.%2.part").arg(target.fileName(),
                                                                  QUuid::createUuid().toString(QUuid::Id128).left(8));
        if (!parent.mkdir(partial))
            throw Error(QStringLiteral("Cannot make a folder in \"%1\"").arg(shown(parent.path())));
        const QString partialPath = parent.filePath(partial);
        try {
            for (int i = 0; i < notes.size(); ++i)
                writeFileAtomically(partialPath + QLatin1Char('/') + rtfFileName(i, notes[i]), rtfOf(notes[i]));
        } catch (...) {
            QDir(partialPath).removeRecursively();
            throw;
        }
        if (!parent.rename(partial, target.fileName())) {
            QDir(partialPath).removeRecursively();
            throw Error(QStringLiteral("Cannot make the folder \"%1\"").arg(shown(output)));
        }
        break;
    }
    }
    return report;
}

} // namespace tl::port
