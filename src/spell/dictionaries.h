#pragma once
// The installed Hunspell dictionaries (a name.aff and a name.dic in a
// hunspell folder of the data folders) and which of them a language uses.

#include "spell/words.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tl::spell {

struct Dictionary {
    QString name;  // "en_US"
    QString aff;
    QString dic;
};

// $XDG_DATA_DIRS (default /usr/local/share:/usr/share), each with /hunspell.
QStringList dictionaryFolders();

// Every dictionary of the folders with both files, by name; a name found in
// an earlier folder hides the same name in a later one.
std::vector<Dictionary> findDictionaries(const QStringList &folders);

// The script a dictionary's language is written in, by its language code.
Script scriptOfDictionary(const QString &name);

// The dictionary the interface language names ("Russian" -> "ru_RU").
// chosen, when not empty, is the user's own choice and comes first. The
// exact name wins, then another of the same language; empty when none is
// installed.
QString pickDictionary(const std::vector<Dictionary> &installed, const QString &chosen,
                       const QString &interfaceLanguage);

// For scripts other than the main dictionary's: the dictionary each uses.
// Empty where none of that script is installed.
QString dictionaryForScript(const std::vector<Dictionary> &installed, Script script, const QString &main);

// "English (United States) - en_US", as the user picks one.
QString displayName(const QString &name);

} // namespace tl::spell
