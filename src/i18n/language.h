#pragma once
// Language files: one folder per language under the program folder's
// languages/, each with general.lng, an INI file whose one section is named
// like the folder. A window reads its table of texts from it; every text
// the file lacks keeps its built-in default.

#include "i18n/texttables.h"

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

namespace tl::i18n {

// The list entry that stands for the built-in texts.
inline constexpr char16_t defaultEntry[] = u"English_Default";

// programFolder/languages (or Languages, as the Windows program named it);
// the lower-case name when neither exists.
QString languagesFolder(const QString &programFolder);
// The language's folder, found without regard to case as the Windows
// program found it; empty for a name that is no plain folder name.
QString languageFolder(const QString &programFolder, const QString &language);
// The language's general.lng (its name in any case); empty as above.
QString languageFile(const QString &programFolder, const QString &language);

// The Windows code page a file made for the Windows program used for this
// language (1251 for Cyrillic ones, 1252 for the others known, 1252 else).
int legacyCodePage(const QString &language);

// The texts of one table, read in full before a window shows any of them.
class Texts {
public:
    Texts() = default;
    // The built-in texts of table, suffixes appended.
    explicit Texts(std::span<const Text> table);
    // The texts for language: its file's where the section named like the
    // language holds the key, the default elsewhere; suffixes appended.
    static Texts load(std::span<const Text> table, const QString &programFolder, const QString &language);

    // The text of key (as the table spells it); empty for a key of no table.
    QString operator[](std::string_view key) const;
    std::span<const Text> table() const { return m_table; }

private:
    std::span<const Text> m_table;
    std::vector<QString> m_values;
};

// The entries of the language list: "English_Default", then every entry of
// the languages folder (folders and plain files alike) in the order the
// file system gives them.
QStringList languageList(const QString &programFolder);
// The list entry equal to language without regard to case, else "".
QString pickLanguage(const QStringList &list, const QString &language);

// Captions with an access key each, as a menu of the Windows program gave
// them: the first letter or digit no earlier caption took; captions that
// already hold one keep it.
QStringList withAccessKeys(const QStringList &captions);

} // namespace tl::i18n
