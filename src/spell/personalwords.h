#pragma once
// The user's own words, accepted in every language: a UTF-8 text file, one
// word a line ($XDG_DATA_HOME/Tessaleaf/words.dic).

#include <QString>
#include <QStringList>

namespace tl::spell {

QString personalWordsFile();

struct PersonalWords {
    QStringList words;
    int skipped = 0;  // lines that are no word: blank, with spaces, broken UTF-8, too long
    QString error;    // why the file could not be read; empty when it could or is absent
};

PersonalWords readPersonalWords(const QString &path);

// Adds word to the file (made with its folder when missing) unless it is
// there; the file is replaced whole. Throws tl::Error naming the file.
void addPersonalWord(const QString &path, const QString &word);

// A word the list can hold: one line, no spaces, not too long.
bool isStorableWord(const QString &word);

} // namespace tl::spell
