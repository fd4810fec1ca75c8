#include "platform/settingsfile.h"

#include "platform/atomicfile.h"
#include "platform/error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tl {
namespace {

QStringList &pendingNotices()
{
    static QStringList notices;
    return notices;
}

const char kHeader[] = "; Tessaleaf settings: \"name\"=\"text\" or \"name\"=dword:hex\n";

std::vector<SettingsFile::Entry>::iterator findEntry(std::vector<SettingsFile::Entry> &entries,
                                                      const QString &name)
{
    const QString folded = name.toCaseFolded();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->name.toCaseFolded() == folded)
            return it;
    return entries.end();
}

// Reads a quoted string starting at line[pos] == '"'; advances pos past the
// closing quote.
std::optional<QString> readQuoted(const QString &line, qsizetype &pos)
{
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == QLatin1Char('"')) {
            ++pos;
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        switch (line[pos].unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

QString quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

bool SettingsFile::canOpen() const
{
    return load().has_value();
}

std::optional<std::vector<SettingsFile::Entry>> SettingsFile::parse(const QByteArray &data, int *badLine)
{
    std::vector<Entry> entries;
    const QString text = QString::fromUtf8(data);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        qsizetype pos = 0;
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        const auto name = readQuoted(line, pos);
        bool ok = name && !name->isEmpty() && pos < line.size() && line[pos] == QLatin1Char('=');
        Entry entry;
        if (ok) {
            ++pos;
            if (pos < line.size() && line[pos] == QLatin1Char('"')) {
                const auto value = readQuoted(line, pos);
                ok = value.has_value();
                if (ok)
                    entry.value = {SettingValue::Type::String, *value, 0};
            } else if (line.mid(pos, 6) == QLatin1String("dword:")) {
                const QString hex = line.mid(pos + 6, 8);
                bool okHex = false;
                const uint number = hex.toUInt(&okHex, 16);
                ok = okHex && hex.size() == 8;
                pos += 6 + hex.size();
                if (ok)
                    entry.value = {SettingValue::Type::Integer, QString(), qint32(number)};
            } else {
                ok = false;
            }
            ok = ok && line.mid(pos).trimmed().isEmpty();
        }
        if (!ok || findEntry(entries, *name) != entries.end()) {
            if (badLine)
                *badLine = n + 1;
            return std::nullopt;
        }
        entry.name = *name;
        entries.push_back(std::move(entry));
    }
    return entries;
}

QByteArray SettingsFile::serialize(const std::vector<Entry> &entries)
{
    QString out = QString::fromLatin1(kHeader);
    for (const Entry &e : entries) {
        out += quoted(e.name);
        out += QLatin1Char('=');
        if (e.value.type == SettingValue::Type::String)
            out += quoted(e.value.text);
        else
            out += QStringLiteral("dword:%1").arg(quint32(e.value.number), 8, 16, QLatin1Char('0'));
        out += QLatin1Char('\n');
    }
    return out.toUtf8();
}

std::optional<std::vector<SettingsFile::Entry>> SettingsFile::load() const
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return std::nullopt;
    QFile file(m_path);
    // Not QFile::exists, which counts a link to nothing: that is an empty
    // store whose first write creates the file the link names.
    if (!QFileInfo::exists(m_path))
        return std::vector<Entry>{};
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    file.close();
    int badLine = 0;
    if (auto entries = parse(data, &badLine))
        return entries;

    // Never overwrite what we cannot read: keep it for the user to look at.
    // Through a link, the file itself is moved aside and the link stays for
    // the settings written next.
    const QString broken = writeTarget(m_path);
    const QString aside = broken + QStringLiteral(".broken-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = aside;
    for (int i = 2; QFile::exists(kept); ++i)
        kept = aside + QStringLiteral("-%1").arg(i);
    if (!QFile::rename(broken, kept))
        return std::nullopt;  // cannot move it aside: treat the key as unopenable
    pendingNotices().append(
        QStringLiteral("The settings file \"%1\" could not be read (line %2) and was kept as \"%3\". "
                       "Tessaleaf starts with its default settings.")
            .arg(QDir::toNativeSeparators(m_path)).arg(badLine).arg(QDir::toNativeSeparators(kept)));
    return std::vector<Entry>{};
}

std::optional<SettingValue> SettingsFile::value(const QString &name) const
{
    auto entries = load();
    if (!entries)
        return std::nullopt;
    auto it = findEntry(*entries, name);
    if (it == entries->end())
        return std::nullopt;
    return it->value;
}

void SettingsFile::store(const QString &name, const SettingValue &value) const
{
    auto entries = load();
    if (!entries)
        return;
    auto it = findEntry(*entries, name);
    if (it != entries->end()) {
        // Rewriting the same value would only cost a sync to disk (the
        // window writes its on-top state at every activation).
        if (it->value.type == value.type && it->value.text == value.text && it->value.number == value.number)
            return;
        it->value = value;
    } else
        entries->push_back({name, value});
    try {
        writeFileAtomically(m_path, serialize(*entries));
    } catch (const Error &) {
        throw Error(QStringLiteral("Failed to set data for '%1'").arg(name));
    }
}

void SettingsFile::setString(const QString &name, const QString &text) const
{
    store(name, {SettingValue::Type::String, text, 0});
}

void SettingsFile::setInteger(const QString &name, qint32 number) const
{
    store(name, {SettingValue::Type::Integer, QString(), number});
}

QStringList SettingsFile::takeNotices()
{
    QStringList out;
    out.swap(pendingNotices());
    return out;
}

} // namespace tl
