#include "platform/settingsfile.h"

#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/fileid.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace tl {
namespace {

QStringList &pendingNotices()
{
    static QStringList notices;
    return notices;
}

const char kHeader[] = "; Tessaleaf settings: \"name\"=\"text\" or \"name\"=dword:hex\n";

} // namespace

struct SettingsFile::Content {
    std::vector<Entry> entries;
    QHash<QString, size_t> index;  // case-folded name -> position in entries
    KeptCopy version;              // the version of the file the entries came from
    int batches = 0;               // open batches on this path
    QString pending;               // the last value set and not yet written

    Entry *find(const QString &name)
    {
        const auto it = index.constFind(name.toCaseFolded());
        return it == index.cend() ? nullptr : &entries[*it];
    }
    // False when the name is there already.
    bool add(Entry entry)
    {
        const QString folded = entry.name.toCaseFolded();
        if (index.contains(folded))
            return false;
        index.insert(folded, entries.size());
        entries.push_back(std::move(entry));
        return true;
    }
};

namespace {

QHash<QString, SettingsFile::Content> &contents()
{
    static QHash<QString, SettingsFile::Content> byPath;
    return byPath;
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
    return load() != nullptr;
}

std::optional<std::vector<SettingsFile::Entry>> SettingsFile::parse(const QByteArray &data, int *badLine)
{
    Content content;
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
        if (ok) {
            entry.name = *name;
            ok = content.add(std::move(entry));
        }
        if (!ok) {
            if (badLine)
                *badLine = n + 1;
            return std::nullopt;
        }
    }
    return std::move(content.entries);
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

SettingsFile::Content *SettingsFile::load() const
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return nullptr;
    Content &cached = contents()[m_path];
    const FileId id = fileIdOf(m_path);
    if (id.kind == FileId::Kind::Error)
        return nullptr;
    // Inside a batch the content is ahead of the file on purpose.
    if (cached.version.serves(id) || cached.batches > 0)
        return &cached;
    auto fresh = [&](std::vector<Entry> entries, const FileId &after) {
        Content c;
        for (Entry &e : entries)
            c.add(std::move(e));
        c.version.afterRead(id, after);
        cached = std::move(c);
        return &cached;
    };
    if (id.isAbsent())
        return fresh({}, id);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray data = file.readAll();
    file.close();
    int badLine = 0;
    if (auto entries = parse(data, &badLine))
        return fresh(std::move(*entries), fileIdOf(m_path));

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
        return nullptr;  // cannot move it aside: treat the key as unopenable
    pendingNotices().append(
        QStringLiteral("The settings file \"%1\" could not be read (line %2) and was kept as \"%3\". "
                       "Tessaleaf starts with its default settings.")
            .arg(QDir::toNativeSeparators(m_path)).arg(badLine).arg(QDir::toNativeSeparators(kept)));
    return fresh({}, fileIdOf(m_path));
}

std::optional<SettingValue> SettingsFile::value(const QString &name) const
{
    Content *content = load();
    if (!content)
        return std::nullopt;
    if (const Entry *e = content->find(name))
        return e->value;
    return std::nullopt;
}

// Writes the content; afterwards it stands for the new file.
static void writeContent(const QString &path, SettingsFile::Content &content, const QString &name)
{
    try {
        writeFileAtomically(path, SettingsFile::serialize(content.entries));
    } catch (const Error &) {
        // The disk keeps the old version: read it again next time.
        content.version.drop();
        throw Error(QStringLiteral("Failed to set data for '%1'").arg(name));
    }
    content.pending.clear();
    content.version.afterWrite(fileIdOf(path));
}

void SettingsFile::store(const QString &name, const SettingValue &value) const
{
    Content *content = load();
    if (!content)
        return;
    if (Entry *e = content->find(name)) {
        // Rewriting the same value would only cost a sync to disk (the
        // window writes its on-top state at every activation).
        if (e->value.type == value.type && e->value.text == value.text && e->value.number == value.number)
            return;
        e->value = value;
    } else {
        content->add({name, value});
    }
    if (content->batches > 0) {
        content->pending = name;
        return;
    }
    writeContent(m_path, *content, name);
}

SettingsFile::Batch::Batch(const SettingsFile &file) : m_path(file.path())
{
    file.load();  // the batch starts from the file as it is now
    ++contents()[m_path].batches;
}

SettingsFile::Batch::~Batch()
{
    try {
        finish();
    } catch (const Error &) {
    }
}

void SettingsFile::Batch::finish()
{
    if (!m_open)
        return;
    m_open = false;
    Content &content = contents()[m_path];
    if (--content.batches == 0 && !content.pending.isEmpty())
        writeContent(m_path, content, content.pending);
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
