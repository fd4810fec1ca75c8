// Sources that keep plain text, a file per note:
// - xpad: "content-XXXXXX" files beside "info-XXXXXX" files of "key value"
//   lines, one of them "content content-XXXXXX" naming the pad's text;
// - xfce4-notes: a folder per group, a file per note named by its tab;
// - a folder of .txt, .md and .rtf files.

#include "port/importers.h"

#include "platform/error.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace tl::port::detail {

namespace {

// The text of a file that should hold UTF-8 text; nullopt, with the reason
// reported, when it cannot be had.
std::optional<QString> textFile(const QString &path, const QString &shown, ImportReport &report)
{
    try {
        if (std::optional<QString> text = utf8Text(readSourceFile(path)))
            return text;
        report.skipped.push_back({shown, QStringLiteral("not UTF-8 text")});
    } catch (const Error &e) {
        report.skipped.push_back({shown, e.message()});
    }
    return std::nullopt;
}

QString withoutFinalLineEnd(QString text)
{
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

void readXpad(const QString &folder, std::vector<Entry> &entries, ImportReport &report)
{
    const QStringList names = folderEntries(folder, false);
    QSet<QString> named;  // content files an info file names
    QStringList contents;
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1String("info-")))
            continue;
        const std::optional<QString> info = textFile(folder + QLatin1Char('/') + name, name, report);
        if (!info)
            continue;
        QString content;
        for (const QString &line : info->split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("content ")))
                content = line.mid(8).trimmed();
        }
        if (content.isEmpty() || content.contains(QLatin1Char('/'))) {
            report.skipped.push_back({name, QStringLiteral("it names no content file")});
            continue;
        }
        named.insert(content);
        if (!names.contains(content)) {
            report.skipped.push_back({name, QStringLiteral("its content file %1 is missing").arg(content)});
            continue;
        }
        contents << content;
    }
    // A pad whose info file was lost still has its text.
    for (const QString &name : names)
        if (name.startsWith(QLatin1String("content-")) && !named.contains(name))
            contents << name;
    for (const QString &name : contents)
        if (const std::optional<QString> text = textFile(folder + QLatin1Char('/') + name, name, report))
            entries.push_back({name, withoutFinalLineEnd(*text), {}});
}

void readXfce4Notes(const QString &folder, std::vector<Entry> &entries, ImportReport &report)
{
    auto readGroup = [&](const QString &groupFolder, const QString &group, const QString &prefix) {
        for (const QString &name : folderEntries(groupFolder, false)) {
            if (name.startsWith(QLatin1Char('.')))
                continue;
            const QString shown = prefix + name;
            const std::optional<QString> text = textFile(groupFolder + QLatin1Char('/') + name, shown, report);
            if (!text)
                continue;
            NoteBuilder builder;
            builder.title(QStringLiteral("%1 \u2014 %2").arg(name, group));
            builder.text(withoutFinalLineEnd(*text));
            entries.push_back({shown, builder.rtf(), {}});
        }
    };
    // Notes straight in the folder: one group, the folder itself.
    readGroup(folder, QFileInfo(folder).fileName(), QString());
    for (const QString &group : folderEntries(folder, true))
        readGroup(folder + QLatin1Char('/') + group, group, group + QLatin1Char('/'));
}

void readFiles(const QString &folder, std::vector<Entry> &entries, ImportReport &report)
{
    for (const QString &name : folderEntries(folder, false)) {
        const QString path = folder + QLatin1Char('/') + name;
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == QLatin1String("rtf")) {
            QByteArray bytes;
            try {
                bytes = readSourceFile(path);
            } catch (const Error &e) {
                report.skipped.push_back({name, e.message()});
                continue;
            }
            if (!rtf::looksLikeRtf(std::string_view(bytes.constData(), size_t(bytes.size())))) {
                report.skipped.push_back({name, QStringLiteral("not RTF")});
                continue;
            }
            // Kept as it is, the editor reads it as it reads its own; raw
            // control bytes (\bin data) have no place in the notes file's
            // XML, so such a file goes through a document.
            const bool raw = std::any_of(bytes.begin(), bytes.end(), [](char c) {
                return uchar(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
            });
            if (!raw) {
                entries.push_back({name, QString::fromLatin1(bytes), {}});
                continue;
            }
            NoteBuilder builder;
            if (const unsigned unheld = rtf::readDocument(std::string_view(bytes.constData(), size_t(bytes.size())),
                                                          builder.document()))
                report.notices << QStringLiteral("%1: left out %2").arg(name, rtf::unheldText(unheld));
            entries.push_back({name, builder.rtf(), {}});
        } else if (suffix == QLatin1String("txt")) {
            if (const std::optional<QString> text = textFile(path, name, report))
                entries.push_back({name, withoutFinalLineEnd(*text), {}});
        } else if (suffix == QLatin1String("md")) {
            if (const std::optional<QString> text = textFile(path, name, report)) {
                NoteBuilder builder;
                builder.markdown(*text);
                entries.push_back({name, builder.rtf(), {}});
            }
        } else {
            report.skipped.push_back({name, QStringLiteral("not a .txt, .md or .rtf file")});
        }
    }
}

} // namespace tl::port::detail
