#include "spell/dictionaries.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace tl::spell {

namespace {

QString languageOf(const QString &name) { return name.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0).toLower(); }

const Dictionary *byName(const std::vector<Dictionary> &installed, const QString &name)
{
    for (const Dictionary &d : installed)
        if (d.name == name)
            return &d;
    return nullptr;
}

// The usual country first: en_US before en_AU, de_DE before de_AT.
QString byLanguage(const std::vector<Dictionary> &installed, const QString &language)
{
    const QString usual = QLocale(language).name();
    if (byName(installed, usual))
        return usual;
    for (const Dictionary &d : installed)
        if (languageOf(d.name) == language)
            return d.name;
    return {};
}

} // namespace

QStringList dictionaryFolders()
{
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList folders;
    for (const QString &d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(d))
            folders << QDir::cleanPath(d + QStringLiteral("/hunspell"));
    folders.removeDuplicates();
    return folders;
}

std::vector<Dictionary> findDictionaries(const QStringList &folders)
{
    std::vector<Dictionary> found;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo &dic : dir.entryInfoList({QStringLiteral("*.dic")}, QDir::Files | QDir::Readable)) {
            const QString name = dic.completeBaseName();
            const QString aff = dir.filePath(name + QStringLiteral(".aff"));
            if (byName(found, name) || !QFileInfo(aff).isReadable() || !QFileInfo(aff).isFile())
                continue;
            found.push_back({name, aff, dic.filePath()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Dictionary &a, const Dictionary &b) { return a.name < b.name; });
    return found;
}

Script scriptOfDictionary(const QString &name)
{
    static const QStringList cyrillic = {QStringLiteral("ru"), QStringLiteral("uk"), QStringLiteral("be"),
                                         QStringLiteral("bg"), QStringLiteral("mk"), QStringLiteral("sr"),
                                         QStringLiteral("kk"), QStringLiteral("ky"), QStringLiteral("tg"),
                                         QStringLiteral("mn")};
    const QString language = languageOf(name);
    if (language == QLatin1String("sr") && name.contains(QLatin1String("Latn"), Qt::CaseInsensitive))
        return Script::Latin;
    if (cyrillic.contains(language))
        return Script::Cyrillic;
    if (language == QLatin1String("el"))
        return Script::Greek;
    return Script::Latin;
}

QString pickDictionary(const std::vector<Dictionary> &installed, const QString &chosen,
                       const QString &interfaceLanguage)
{
    if (!chosen.isEmpty()) {
        if (byName(installed, chosen))
            return chosen;
        if (QString same = byLanguage(installed, languageOf(chosen)); !same.isEmpty())
            return same;
    }
    // The interface languages are named in English, as their folders are.
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        if (QLocale::languageToString(locale.language()).compare(interfaceLanguage, Qt::CaseInsensitive) == 0)
            return byLanguage(installed, languageOf(locale.name()));
    }
    return {};
}

QString dictionaryForScript(const std::vector<Dictionary> &installed, Script script, const QString &main)
{
    if (!main.isEmpty() && scriptOfDictionary(main) == script)
        return main;
    // A script's best-known language first: Russian for Cyrillic.
    const QString usual = script == Script::Cyrillic ? QStringLiteral("ru")
                          : script == Script::Greek  ? QStringLiteral("el")
                                                     : QStringLiteral("en");
    if (QString d = byLanguage(installed, usual); !d.isEmpty())
        return d;
    for (const Dictionary &d : installed)
        if (scriptOfDictionary(d.name) == script)
            return d.name;
    return {};
}

QString displayName(const QString &name)
{
    const QLocale locale(name);
    if (locale.language() == QLocale::C)
        return name;
    QString text = QLocale::languageToString(locale.language());
    if (name.contains(QLatin1Char('_')))
        text += QStringLiteral(" (%1)").arg(QLocale::territoryToString(locale.territory()));
    return text + QStringLiteral(" - ") + name;
}

} // namespace tl::spell
