// KNotes before its move to Akonadi kept every note in one iCalendar file,
// notes.ics: a VJOURNAL per note, its title in SUMMARY, its text in
// DESCRIPTION (HTML when X-KDE-KNOTES-RICHTEXT is true), its creation
// time in CREATED or DTSTART. Long lines are folded (a line starting with a
// space or tab goes on the one before); "\n", "\,", "\;" and "\\" are escapes.

#include "port/importers.h"

#include "platform/error.h"

#include <QFileInfo>
#include <QMap>
#include <QTimeZone>

namespace tl::port::detail {

namespace {

QString unescaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar c = value[++i];
            out += (c == QLatin1Char('n') || c == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : c;
        } else {
            out += value[i];
        }
    }
    return out;
}

QDateTime icsTime(const QString &value)
{
    QDateTime t = QDateTime::fromString(value.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
    if (t.isValid() && value.endsWith(QLatin1Char('Z')))
        t.setTimeZone(QTimeZone::utc());
    return t;
}

} // namespace

void readKNotes(const QString &source, std::vector<Entry> &entries, ImportReport &report)
{
    const QString path = QFileInfo(source).isDir() ? source + QStringLiteral("/notes.ics") : source;
    const std::optional<QString> text = utf8Text(readSourceFile(path));
    if (!text)
        throw Error(QStringLiteral("\"%1\" is not UTF-8 text").arg(shownPath(path)));
    if (!text->trimmed().startsWith(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive))
        throw Error(QStringLiteral("\"%1\" is not an iCalendar file").arg(shownPath(path)));

    // Unfolded lines.
    QStringList lines;
    for (const QString &line : text->split(QLatin1Char('\n'))) {
        if ((line.startsWith(QLatin1Char(' ')) || line.startsWith(QLatin1Char('\t'))) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else
            lines << line;
    }

    const QString file = QFileInfo(path).fileName();
    QMap<QString, QString> props;
    bool inJournal = false;
    int index = 0;
    auto finish = [&]() {
        const QString where = QStringLiteral("%1, journal entry %2").arg(file).arg(index);
        const QString summary = props.value(QStringLiteral("SUMMARY")).trimmed();
        const QString description = props.value(QStringLiteral("DESCRIPTION"));
        if (summary.isEmpty() && description.isEmpty()) {
            report.skipped.push_back({where, QStringLiteral("empty")});
            return;
        }
        NoteBuilder builder;
        if (!summary.isEmpty())
            builder.title(summary);
        if (props.value(QStringLiteral("X-KDE-KNOTES-RICHTEXT")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            builder.html(description);
        else
            builder.text(description);
        QDateTime created = icsTime(props.value(QStringLiteral("CREATED")));
        if (!created.isValid())
            created = icsTime(props.value(QStringLiteral("DTSTART")));
        entries.push_back({where, builder.rtf(), created});
    };
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        // The name before any ";PARAM=..."; names are case-blind.
        QString name = line.left(colon).toUpper();
        name = name.left(name.indexOf(QLatin1Char(';')) < 0 ? name.size() : name.indexOf(QLatin1Char(';')));
        const QString value = line.mid(colon + 1);
        if (name == QLatin1String("BEGIN") && value.trimmed().compare(QLatin1String("VJOURNAL"), Qt::CaseInsensitive) == 0) {
            if (inJournal)
                report.skipped.push_back({QStringLiteral("%1, journal entry %2").arg(file).arg(index),
                                          QStringLiteral("cut off: it has no END")});
            inJournal = true;
            ++index;
            props.clear();
        } else if (name == QLatin1String("END") && value.trimmed().compare(QLatin1String("VJOURNAL"), Qt::CaseInsensitive) == 0) {
            if (inJournal)
                finish();
            inJournal = false;
        } else if (inJournal) {
            props.insert(name, unescaped(value));
        }
    }
    if (inJournal)
        report.skipped.push_back({QStringLiteral("%1, journal entry %2").arg(file).arg(index),
                                  QStringLiteral("cut off: it has no END")});
}

} // namespace tl::port::detail
