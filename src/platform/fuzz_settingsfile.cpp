// libFuzzer target: any bytes as the settings file. What parses comes back
// the same through the writer and through the store, and keeps every value
// when another is set; what does not parse is moved aside byte for byte, the
// user is told, and the store starts empty.

#include "platform/error.h"
#include "platform/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

bool sameValue(const tl::SettingValue &a, const tl::SettingValue &b)
{
    return a.type == b.type
        && (a.type == tl::SettingValue::Type::String ? a.text == b.text : a.number == b.number);
}

bool sameEntries(const std::vector<tl::SettingsFile::Entry> &a, const std::vector<tl::SettingsFile::Entry> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || !sameValue(a[i].value, b[i].value))
            return false;
    return true;
}

// The first entry of each name, as the store keeps them.
std::vector<tl::SettingsFile::Entry> firstOfEachName(const std::vector<tl::SettingsFile::Entry> &entries)
{
    std::vector<tl::SettingsFile::Entry> out;
    QStringList seen;
    for (const tl::SettingsFile::Entry &e : entries) {
        if (seen.contains(e.name.toCaseFolded()))
            continue;
        seen << e.name.toCaseFolded();
        out.push_back(e);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto parsed = tl::SettingsFile::parse(bytes);
    if (parsed) {
        const QByteArray written = tl::SettingsFile::serialize(*parsed);
        const auto again = tl::SettingsFile::parse(written);
        if (!again || !sameEntries(*parsed, *again) || tl::SettingsFile::serialize(*again) != written)
            std::abort();
    }

    const QString folder = dir.filePath(QStringLiteral("config"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/settings.conf");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    tl::SettingsFile::takeNotices();
    const tl::SettingsFile file(path);
    const auto probe = file.value(QStringLiteral("CurrentFile"));
    if (!parsed) {
        const QStringList kept = QDir(folder).entryList({QStringLiteral("settings.conf.broken-*")}, QDir::Files | QDir::Hidden);
        if (probe || QFile::exists(path) || kept.size() != 1 || tl::SettingsFile::takeNotices().size() != 1)
            std::abort();
        QFile aside(QDir(folder).filePath(kept.front()));
        if (!aside.open(QIODevice::ReadOnly) || aside.readAll() != bytes)
            std::abort();
        return 0;
    }

    const std::vector<tl::SettingsFile::Entry> entries = firstOfEachName(*parsed);
    for (const tl::SettingsFile::Entry &e : entries) {
        const auto got = file.value(e.name);
        if (!got || !sameValue(*got, e.value))
            std::abort();
    }
    try {
        file.setInteger(QStringLiteral("FuzzAdded"), 7);
    } catch (const tl::Error &) {
        std::abort();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    const auto reread = tl::SettingsFile::parse(f.readAll());
    if (!reread)
        std::abort();
    std::vector<tl::SettingsFile::Entry> expected = entries;
    const QString added = QStringLiteral("fuzzadded");
    bool replaced = false;
    for (tl::SettingsFile::Entry &e : expected)
        if (e.name.toCaseFolded() == added) {
            e.value = tl::SettingValue{tl::SettingValue::Type::Integer, {}, 7};
            replaced = true;
        }
    if (!replaced)
        expected.push_back({QStringLiteral("FuzzAdded"), tl::SettingValue{tl::SettingValue::Type::Integer, {}, 7}});
    if (!sameEntries(firstOfEachName(*reread), expected))
        std::abort();
    return 0;
}
