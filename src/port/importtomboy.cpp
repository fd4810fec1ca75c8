// Gnote and Tomboy keep one XML file per note, "<guid>.note": a <title>,
// the text in <text><note-content>, whose first line repeats the title,
// marked up with <bold>, <italic>, <strikethrough>, <highlight>,
// <monospace>, <size:small|large|huge>, <list><list-item>, and links
// (<link:url>, <link:internal> to another note by its title). Tags in
// <tags> name the notebook ("system:notebook:NAME"); "system:template"
// marks a template.

#include "port/importers.h"

#include "platform/error.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <pugixml.hpp>

namespace tl::port::detail {

namespace {

QString utf8(const char *s) { return QString::fromUtf8(s); }

// The element's name without its namespace prefix: "size:large" gives "large"
// with prefix "size".
QString localName(const QString &name, QString *prefix = nullptr)
{
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (prefix)
        *prefix = colon < 0 ? QString() : name.left(colon);
    return colon < 0 ? name : name.mid(colon + 1);
}

// "2024-03-01T09:30:00.1234567+01:00": seven fraction digits, which Qt's
// ISO reading does not take.
QDateTime dateOf(const QString &text)
{
    static const QRegularExpression fraction(QStringLiteral("(\\.\\d{3})\\d+"));
    QString t = text.trimmed();
    t.replace(fraction, QStringLiteral("\\1"));
    return QDateTime::fromString(t, Qt::ISODateWithMs);
}

// Text under a node, however deep, without recursion.
class TextCollector : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node &node) override
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text += QString::fromUtf8(node.value());
        return true;
    }
    QString text;
};

class ContentReader {
public:
    explicit ContentReader(NoteBuilder &builder) : m_builder(builder) {}

    void read(pugi::xml_node node, QTextCharFormat format, int listDepth, int depth = 0)
    {
        // Marks nested deeper than any note needs: their text, in the
        // format reached, without recursing further.
        if (depth > kMaxDepth) {
            TextCollector collector;
            node.traverse(collector);
            m_builder.text(collector.text, format, listDepth > 0);
            return;
        }
        for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
                QTextCharFormat f = format;
                const QString text = utf8(n.value());
                if (m_linkUrl) {
                    f.setAnchor(true);
                    f.setAnchorHref(text.trimmed());
                    f.setFontUnderline(true);
                    f.setForeground(QColor(0, 0, 255));
                }
                m_builder.text(text, f, listDepth > 0);
                continue;
            }
            if (n.type() != pugi::node_element)
                continue;
            QString prefix;
            const QString name = localName(utf8(n.name()), &prefix);
            QTextCharFormat f = format;
            bool url = false;
            int listItems = listDepth;
            if (name == QLatin1String("bold"))
                f.setFontWeight(QFont::Bold);
            else if (name == QLatin1String("italic"))
                f.setFontItalic(true);
            else if (name == QLatin1String("strikethrough"))
                f.setFontStrikeOut(true);
            else if (name == QLatin1String("highlight"))
                f.setForeground(QColor(0xc0, 0x58, 0x00));  // the editor has no highlight: a colour tells it
            else if (name == QLatin1String("monospace"))
                f.setFontFamilies({QStringLiteral("Monospace")});
            else if (prefix == QLatin1String("size"))
                f.setFontPointSize(name == QLatin1String("small") ? 10 : name == QLatin1String("large") ? 14 : 18);
            else if (prefix == QLatin1String("link") && name == QLatin1String("url"))
                url = true;
            else if (name == QLatin1String("list"))
                ++listItems;
            const bool outer = m_linkUrl;
            m_linkUrl = m_linkUrl || url;
            read(n, f, listItems, depth + 1);
            m_linkUrl = outer;
        }
    }

private:
    static constexpr int kMaxDepth = 200;
    NoteBuilder &m_builder;
    bool m_linkUrl = false;
};

} // namespace

void readTomboyNotes(const QString &folder, std::vector<Entry> &entries, ImportReport &report)
{
    for (const QString &name : folderEntries(folder, false)) {
        if (!name.endsWith(QLatin1String(".note")))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        QByteArray bytes;
        try {
            bytes = readSourceFile(path);
        } catch (const Error &e) {
            report.skipped.push_back({name, e.message()});
            continue;
        }
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed =
            doc.load_buffer(bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata);
        if (!parsed) {
            report.skipped.push_back({name, QStringLiteral("not well-formed XML: %1 at byte %2")
                                                .arg(utf8(parsed.description())).arg(parsed.offset)});
            continue;
        }
        const pugi::xml_node note = doc.child("note");
        const pugi::xml_node content = note.child("text").child("note-content");
        if (!content) {
            report.skipped.push_back({name, QStringLiteral("no note text in it")});
            continue;
        }
        QString notebook;
        bool isTemplate = false;
        for (pugi::xml_node tag = note.child("tags").child("tag"); tag; tag = tag.next_sibling("tag")) {
            const QString t = utf8(tag.text().get());
            if (t == QLatin1String("system:template"))
                isTemplate = true;
            else if (t.startsWith(QLatin1String("system:notebook:")))
                notebook = t.mid(16);
        }
        if (isTemplate) {
            report.skipped.push_back({name, QStringLiteral("a template")});
            continue;
        }
        QString title = utf8(note.child("title").text().get()).trimmed();

        // The content's first line repeats the title: the title line is
        // written once, in bold, the notebook after it.
        pugi::xml_node first = content.first_child();
        if (first.type() == pugi::node_pcdata) {
            const QString text = utf8(first.value());
            const qsizetype end = text.indexOf(QLatin1Char('\n'));
            const QString line = (end < 0 ? text : text.left(end)).trimmed();
            if (title.isEmpty())
                title = line;
            if (line == title)
                first.set_value(end < 0 ? "" : text.mid(end + 1).toUtf8().constData());
        }
        NoteBuilder builder;
        builder.title(notebook.isEmpty() ? title : QStringLiteral("%1 \u2014 %2").arg(title, notebook));
        ContentReader(builder).read(content, QTextCharFormat(), 0);
        entries.push_back({name, builder.rtf(), dateOf(utf8(note.child("create-date").text().get()))});
    }
}

} // namespace tl::port::detail
