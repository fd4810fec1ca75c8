// Sticky notes kept as JSON:
// - GNOME's Sticky Notes: "notes.json" ({"v": 1, "notes": [...]}) in its
//   data folder, or a "notes" folder there with one "<uuid>.json" per note;
//   a note has "content", "modified" and "tags": [{"name", "start", "end"}]
//   with character offsets into the content (bold, italic, underline,
//   strikethrough, link);
// - indicator-stickynotes: one file, {"notes": [{"body", "last_modified",
//   "cat"}], "categories": {id: {"name"}}}.

#include "port/importers.h"

#include "platform/error.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tl::port::detail {

namespace {

// UTF-16 position of each character offset (GTK counts characters).
qsizetype utf16Position(const QString &text, qint64 characters)
{
    qsizetype at = 0;
    for (qint64 n = 0; n < characters && at < text.size(); ++n)
        at += (text[at].isHighSurrogate() && at + 1 < text.size()) ? 2 : 1;
    return at;
}

QString gnomeNote(const QJsonObject &note)
{
    const QString content = note.value(QLatin1String("content")).toString();
    NoteBuilder builder;
    builder.text(content);
    QTextDocument &doc = builder.document();
    for (const QJsonValue &v : note.value(QLatin1String("tags")).toArray()) {
        const QJsonObject tag = v.toObject();
        const QString name = tag.value(QLatin1String("name")).toString();
        const qsizetype start = utf16Position(content, tag.value(QLatin1String("start")).toInteger());
        const qsizetype end = utf16Position(content, tag.value(QLatin1String("end")).toInteger());
        if (end <= start)
            continue;
        // Paragraph ends are one position in the document as in the text.
        QTextCursor range(&doc);
        range.setPosition(int(start));
        range.setPosition(int(end), QTextCursor::KeepAnchor);
        QTextCharFormat f;
        if (name == QLatin1String("bold"))
            f.setFontWeight(QFont::Bold);
        else if (name == QLatin1String("italic"))
            f.setFontItalic(true);
        else if (name == QLatin1String("underline"))
            f.setFontUnderline(true);
        else if (name == QLatin1String("strikethrough"))
            f.setFontStrikeOut(true);
        else if (name == QLatin1String("link")) {
            f.setAnchor(true);
            f.setAnchorHref(content.mid(start, end - start).trimmed());
            f.setFontUnderline(true);
            f.setForeground(QColor(0, 0, 255));
        } else
            continue;
        range.mergeCharFormat(f);
    }
    return builder.rtf();
}

// The notes of a parsed JSON document; false when it is neither kind.
bool readDocument(const QJsonDocument &json, const QString &shown, std::vector<Entry> &entries, ImportReport &report)
{
    const QJsonObject root = json.object();
    if (root.contains(QLatin1String("uuid")) && root.contains(QLatin1String("content"))) {
        entries.push_back({shown, gnomeNote(root),
                           QDateTime::fromString(root.value(QLatin1String("modified")).toString(), Qt::ISODateWithMs)});
        return true;
    }
    if (!root.value(QLatin1String("notes")).isArray())
        return false;
    const QJsonObject categories = root.value(QLatin1String("categories")).toObject();
    int index = 0;
    for (const QJsonValue &v : root.value(QLatin1String("notes")).toArray()) {
        ++index;
        const QJsonObject note = v.toObject();
        const QString where = QStringLiteral("%1, note %2").arg(shown).arg(index);
        if (note.value(QLatin1String("content")).isString()) {
            entries.push_back({where, gnomeNote(note), {}});
        } else if (note.value(QLatin1String("body")).isString()) {
            const QString category =
                categories.value(note.value(QLatin1String("cat")).toString()).toObject().value(QLatin1String("name")).toString();
            QString body = note.value(QLatin1String("body")).toString();
            if (!category.isEmpty()) {
                NoteBuilder builder;
                builder.title(category);
                builder.text(body);
                body = builder.rtf();
            }
            entries.push_back({where, body, {}});
        } else {
            report.skipped.push_back({where, QStringLiteral("no text in it")});
        }
    }
    return true;
}

// Parses one JSON file; false, with the reason reported, when it cannot.
bool readJsonFile(const QString &path, const QString &shown, std::vector<Entry> &entries, ImportReport &report)
{
    QByteArray bytes;
    try {
        bytes = readSourceFile(path);
    } catch (const Error &e) {
        report.skipped.push_back({shown, e.message()});
        return false;
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (json.isNull()) {
        report.skipped.push_back({shown, QStringLiteral("not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset)});
        return false;
    }
    if (!readDocument(json, shown, entries, report)) {
        report.skipped.push_back({shown, QStringLiteral("no sticky notes in it")});
        return false;
    }
    return true;
}

} // namespace

void readSticky(const QString &source, std::vector<Entry> &entries, ImportReport &report)
{
    if (QFileInfo(source).isFile()) {
        readJsonFile(source, QFileInfo(source).fileName(), entries, report);
        return;
    }
    const QStringList files = folderEntries(source, false);
    if (files.contains(QLatin1String("notes.json")))
        readJsonFile(source + QStringLiteral("/notes.json"), QStringLiteral("notes.json"), entries, report);
    const QString perNote = source + QStringLiteral("/notes");
    if (QFileInfo(perNote).isDir()) {
        // One file per note, no order of their own: by the time each was changed.
        std::vector<Entry> notes;
        for (const QString &name : folderEntries(perNote, false))
            if (name.endsWith(QLatin1String(".json")))
                readJsonFile(perNote + QLatin1Char('/') + name, QStringLiteral("notes/") + name, notes, report);
        std::stable_sort(notes.begin(), notes.end(), [](const Entry &a, const Entry &b) { return a.created < b.created; });
        for (Entry &e : notes) {
            e.created = {};
            entries.push_back(std::move(e));
        }
    }
}

} // namespace tl::port::detail
