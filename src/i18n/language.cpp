#include "i18n/language.h"

#include "platform/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace tl::i18n {

namespace {

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

QString languagesFolder(const QString &programFolder)
{
    const QString lower = programFolder + QStringLiteral("/languages");
    if (QFileInfo(lower).isDir())
        return lower;
    const QString upper = programFolder + QStringLiteral("/Languages");
    return QFileInfo(upper).isDir() ? upper : lower;
}

QString languageFolder(const QString &programFolder, const QString &language)
{
    // A name from the settings file: never a way out of the folder.
    if (language.isEmpty() || language == QLatin1String(".") || language == QLatin1String("..")
        || language.contains(QLatin1Char('/')) || language.contains(QChar(0)))
        return {};
    const QString folder = languagesFolder(programFolder);
    const QString exact = folder + QLatin1Char('/') + language;
    if (QFileInfo::exists(exact))
        return exact;
    // Folder names were not case-sensitive where the language files come from.
    for (const QString &e : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (e.compare(language, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + e;
    return exact;
}

QString languageFile(const QString &programFolder, const QString &language)
{
    const QString folder = languageFolder(programFolder, language);
    if (folder.isEmpty())
        return {};
    const QString exact = folder + QStringLiteral("/general.lng");
    if (!QFileInfo::exists(exact))
        for (const QString &e : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            if (e.compare(QLatin1String("general.lng"), Qt::CaseInsensitive) == 0)
                return folder + QLatin1Char('/') + e;
    return exact;
}

int legacyCodePage(const QString &language)
{
    static const char *const cyrillic[] = {"russian", "ukrainian", "belarusian", "bulgarian",
                                           "serbian", "macedonian", "kazakh"};
    static const char *const central[] = {"polish", "czech", "slovak", "hungarian",
                                          "romanian", "croatian", "slovenian"};
    const QString l = language.toLower();
    for (const char *c : cyrillic)
        if (l.startsWith(QLatin1String(c)))
            return 1251;
    for (const char *c : central)
        if (l.startsWith(QLatin1String(c)))
            return 1250;
    if (l.startsWith(QLatin1String("greek")))
        return 1253;
    if (l.startsWith(QLatin1String("turkish")))
        return 1254;
    return 1252;
}

Texts::Texts(std::span<const Text> table)
    : m_table(table)
{
    m_values.reserve(table.size());
    for (const Text &t : table)
        m_values.push_back(fromView(t.text) + fromView(t.suffix));
}

Texts Texts::load(std::span<const Text> table, const QString &programFolder, const QString &language)
{
    Texts texts(table);
    const QString file = languageFile(programFolder, language);
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return texts;
    const IniFile ini = IniFile::read(file, legacyCodePage(language));
    for (size_t i = 0; i < table.size(); ++i)
        texts.m_values[i]
            = ini.value(language, fromView(table[i].key), fromView(table[i].text)) + fromView(table[i].suffix);
    return texts;
}

QString Texts::operator[](std::string_view key) const
{
    for (size_t i = 0; i < m_table.size(); ++i)
        if (m_table[i].key == key)
            return m_values[i];
    return {};
}

QStringList languageList(const QString &programFolder)
{
    QStringList list{QString::fromUtf16(defaultEntry)};
    const QDir dir(languagesFolder(programFolder));
    if (!dir.exists())
        return list;
    list += dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    return list;
}

QString pickLanguage(const QStringList &list, const QString &language)
{
    for (const QString &entry : list)
        if (entry.compare(language, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

QStringList withAccessKeys(const QStringList &captions)
{
    QSet<QChar> used;
    auto keyOf = [](const QString &c) -> std::optional<QChar> {
        for (qsizetype i = 0; i + 1 < c.size(); ++i) {
            if (c[i] != QLatin1Char('&'))
                continue;
            if (c[i + 1] != QLatin1Char('&'))
                return c[i + 1].toLower();
            ++i;  // "&&" is a plain ampersand
        }
        return std::nullopt;
    };
    for (const QString &c : captions)
        if (const auto k = keyOf(c))
            used.insert(*k);
    QStringList out;
    for (const QString &c : captions) {
        if (keyOf(c)) {
            out << c;
            continue;
        }
        QString keyed = c;
        for (qsizetype i = 0; i < c.size(); ++i) {
            const QChar ch = c[i].toLower();
            if (c[i].isLetterOrNumber() && !used.contains(ch)) {
                used.insert(ch);
                keyed.insert(i, QLatin1Char('&'));
                break;
            }
        }
        out << keyed;
    }
    return out;
}

} // namespace tl::i18n
