#include "port/import.h"

#include "port/importers.h"
#include "port/notedocument.h"
#include "platform/error.h"
#include "richtext/rtfdocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextList>

#include <algorithm>

namespace tl::port {

namespace {

struct Named {
    ImportKind kind;
    const char *name;
};
constexpr Named kKinds[] = {{ImportKind::Gnote, "gnote"},          {ImportKind::Tomboy, "tomboy"},
                            {ImportKind::Xpad, "xpad"},            {ImportKind::Xfce4Notes, "xfce4-notes"},
                            {ImportKind::Sticky, "sticky"},        {ImportKind::KNotes, "knotes"},
                            {ImportKind::Files, "files"}};

// The XDG rule: a relative value counts as unset.
QString envOr(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() || QDir::isRelativePath(value) ? fallback : value;
}

} // namespace

namespace detail {

NoteBuilder::NoteBuilder() : m_cursor(&m_doc) {}

void NoteBuilder::title(const QString &title)
{
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    m_cursor.insertText(title, bold);
    m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void NoteBuilder::placeBlock(bool listItem)
{
    const QTextBlock block = m_cursor.block();
    QTextList *list = block.textList();
    if (listItem && !list) {
        const QTextBlock before = block.previous();
        if (before.isValid() && before.textList()) {
            before.textList()->add(block);
        } else {
            QTextListFormat format;
            format.setStyle(QTextListFormat::ListDisc);
            format.setIndent(1);
            m_cursor.createList(format);
        }
    } else if (!listItem && list) {
        list->remove(block);
        QTextBlockFormat plain = block.blockFormat();
        plain.setIndent(0);
        m_cursor.setBlockFormat(plain);
    }
}

void NoteBuilder::text(const QString &text, const QTextCharFormat &format, bool listItem)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // A new paragraph is in no list until text written into it puts it there.
        if (i > 0)
            m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        if (lines[i].isEmpty())
            continue;
        placeBlock(listItem);
        m_cursor.insertText(lines[i], format);
    }
}

void NoteBuilder::html(const QString &html)
{
    m_cursor.insertHtml(html);
}

void NoteBuilder::markdown(const QString &markdown)
{
    m_cursor.insertMarkdown(markdown);
}

QString NoteBuilder::rtf()
{
    return QString::fromLatin1(rtf::writeDocument(m_doc));
}

// The note with what XML 1.0 cannot hold (control characters, lone
// surrogates, U+FFFE and U+FFFF) replaced by U+FFFD; count receives how
// many were. A notes file is XML: they would break it, or come back as
// something else.
QString holdable(const QString &note, int &count)
{
    count = 0;
    QString out;
    out.reserve(note.size());
    for (qsizetype i = 0; i < note.size(); ++i) {
        const char16_t c = note[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < note.size() && note[i + 1].isLowSurrogate()) {
            out += note[i];
            out += note[++i];
            continue;
        }
        const bool fits = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c < 0xD800) || (c >= 0xE000 && c < 0xFFFE);
        if (fits) {
            out += note[i];
        } else {
            out += QChar(QChar::ReplacementCharacter);
            ++count;
        }
    }
    return out;
}

void take(ImportReport &report, std::vector<Entry> entries)
{
    const bool dated = std::all_of(entries.begin(), entries.end(), [](const Entry &e) { return e.created.isValid(); });
    if (dated)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry &a, const Entry &b) { return a.created < b.created; });
    for (const Entry &e : entries) {
        int replaced = 0;
        const QString note = holdable(e.note, replaced);
        if (replaced)
            report.notices << QStringLiteral("%1: %2 characters no notes file can hold (control characters) became \u00ab\ufffd\u00bb")
                                  .arg(e.source).arg(replaced);
        report.notes << note;
        report.taken.push_back({e.source, titleOf(note)});
    }
}

QString shownPath(const QString &path) { return QDir::toNativeSeparators(path); }

// "Note 2" before "Note 10", as a person counts; whatever the locale.
bool countingOrder(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Leading zeros aside, the longer run is the larger number.
            QStringView x = QStringView(a).mid(i, ei - i), y = QStringView(b).mid(j, ej - j);
            while (x.size() > 1 && x[0] == QLatin1Char('0'))
                x = x.mid(1);
            while (y.size() > 1 && y[0] == QLatin1Char('0'))
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

QByteArray readSourceFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(shownPath(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(shownPath(path), file.errorString()));
    return bytes;
}

std::optional<QString> utf8Text(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QStringList folderEntries(const QString &folder, bool folders)
{
    const QFileInfo info(folder);
    if (!info.exists())
        throw Error(QStringLiteral("\"%1\" does not exist").arg(shownPath(folder)));
    if (!info.isDir())
        throw Error(QStringLiteral("\"%1\" is not a folder").arg(shownPath(folder)));
    if (!info.isReadable() || !info.isExecutable())
        throw Error(QStringLiteral("Cannot read the folder \"%1\"").arg(shownPath(folder)));
    QStringList names = QDir(folder).entryList((folders ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), countingOrder);
    return names;
}

} // namespace detail

std::optional<ImportKind> importKindNamed(const QString &name)
{
    for (const Named &n : kKinds)
        if (name == QLatin1String(n.name))
            return n.kind;
    return std::nullopt;
}

QString importKindName(ImportKind kind)
{
    for (const Named &n : kKinds)
        if (n.kind == kind)
            return QString::fromLatin1(n.name);
    return {};
}

QStringList importKindNames()
{
    QStringList names;
    for (const Named &n : kKinds)
        names << QString::fromLatin1(n.name);
    return names;
}

QStringList usualPlaces(ImportKind kind, const QString &home, const QString &dataHome, const QString &configHome)
{
    QStringList candidates;
    switch (kind) {
    case ImportKind::Gnote:
        candidates << dataHome + QStringLiteral("/gnote");
        break;
    case ImportKind::Tomboy:
        candidates << dataHome + QStringLiteral("/tomboy") << home + QStringLiteral("/.tomboy");
        break;
    case ImportKind::Xpad:
        candidates << configHome + QStringLiteral("/xpad") << home + QStringLiteral("/.xpad");
        break;
    case ImportKind::Xfce4Notes:
        candidates << dataHome + QStringLiteral("/notes");
        break;
    case ImportKind::Sticky:
        candidates << dataHome + QStringLiteral("/com.vixalien.sticky")
                   << configHome + QStringLiteral("/indicator-stickynotes");
        break;
    case ImportKind::KNotes:
        candidates << dataHome + QStringLiteral("/knotes/notes.ics")
                   << home + QStringLiteral("/.kde/share/apps/knotes/notes.ics")
                   << home + QStringLiteral("/.kde4/share/apps/knotes/notes.ics");
        break;
    case ImportKind::Files:
        break;
    }
    QStringList places;
    for (const QString &c : candidates)
        if (QFileInfo::exists(c))
            places << c;
    return places;
}

QStringList usualPlaces(ImportKind kind)
{
    const QString home = QDir::homePath();
    return usualPlaces(kind, home, envOr("XDG_DATA_HOME", home + QStringLiteral("/.local/share")),
                       envOr("XDG_CONFIG_HOME", home + QStringLiteral("/.config")));
}

ImportReport importNotes(ImportKind kind, const QString &source)
{
    using namespace detail;
    if (!QFileInfo::exists(source))
        throw Error(QStringLiteral("\"%1\" does not exist").arg(shownPath(source)));
    ImportReport report;
    std::vector<Entry> entries;
    switch (kind) {
    case ImportKind::Gnote:
    case ImportKind::Tomboy:
        readTomboyNotes(source, entries, report);
        break;
    case ImportKind::Xpad:
        readXpad(source, entries, report);
        break;
    case ImportKind::Xfce4Notes:
        readXfce4Notes(source, entries, report);
        break;
    case ImportKind::Sticky:
        readSticky(source, entries, report);
        break;
    case ImportKind::KNotes:
        readKNotes(source, entries, report);
        break;
    case ImportKind::Files:
        readFiles(source, entries, report);
        break;
    }
    take(report, std::move(entries));
    return report;
}

QStringList reportLines(const ImportReport &report)
{
    QStringList lines;
    for (const ImportReport::Taken &t : report.taken)
        lines << QStringLiteral("taken: %1: %2").arg(t.source, t.title.isEmpty() ? QStringLiteral("(empty)") : t.title);
    for (const ImportReport::Skipped &s : report.skipped)
        lines << QStringLiteral("skipped: %1: %2").arg(s.source, s.reason);
    for (const QString &n : report.notices)
        lines << n;
    return lines;
}

} // namespace tl::port
