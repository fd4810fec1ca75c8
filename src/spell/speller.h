#pragma once
// Spell checking with Hunspell: the dictionary of the chosen language, and
// for words of another script one installed dictionary of that script; the
// user's own words in all of them; words ignored for the session. The
// dictionaries load in a thread of their own and stay loaded; one that is
// missing or cannot be read leaves its script unchecked.

#include "spell/dictionaries.h"
#include "spell/words.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class QThread;

namespace tl::spell {

class Speller : public QObject {
    Q_OBJECT
public:
    explicit Speller(QObject *parent = nullptr);
    ~Speller() override;

    // Looks for the installed dictionaries in folders and loads, in the
    // background, the one chosen (a dictionary name; empty: the interface
    // language's) and one for each other script. Dictionaries already loaded
    // are kept. The personal word list is read at the first call.
    void load(const QString &chosen, const QString &interfaceLanguage,
              const QStringList &folders = dictionaryFolders());
    bool isLoading() const { return m_thread != nullptr; }

    // The dictionary in use for the language's own script; empty when none.
    QString mainDictionary() const { return m_main; }
    const std::vector<Dictionary> &installed() const { return m_installed; }

    // The misspelt words of a paragraph; none of a script whose dictionary
    // is not loaded (yet).
    std::vector<Span> misspelt(QStringView paragraph);
    bool isCorrect(const QString &word);
    // At most `most` suggestions, best first.
    QStringList suggestions(const QString &word, int most = 7);

    // Into the personal word list (personalFile) and every dictionary.
    // Throws tl::Error when the list cannot be written; the word is still
    // accepted for the session.
    void addWord(const QString &word);
    // Accepted until the program ends.
    void ignoreWord(const QString &word);

    // The personal word list: tests and a second profile point it elsewhere.
    QString personalFile;
    // What reading the personal word list found wrong; empty when nothing.
    QString personalProblem() const { return m_personalProblem; }

Q_SIGNALS:
    // What is misspelt may have changed: dictionaries loaded, a word added
    // or ignored.
    void changed();

public:
    struct Loaded;  // one dictionary as Hunspell holds it

private:
    struct Batch;
    void finishLoading();
    Loaded *dictionaryFor(Script script);

    std::map<QString, std::unique_ptr<Loaded>> m_loaded;  // by name
    std::map<Script, QString> m_forScript;
    std::vector<Dictionary> m_installed;
    QString m_main;
    QSet<QString> m_ignored;
    QSet<QString> m_personal;
    bool m_personalRead = false;
    QString m_personalProblem;
    QHash<QString, bool> m_known;  // answers so far, cleared when they may change
    QThread *m_thread = nullptr;
    std::unique_ptr<Batch> m_batch;
    struct Request {
        QString chosen, interfaceLanguage;
        QStringList folders;
    };
    std::unique_ptr<Request> m_pending;  // asked while a load was running
};

} // namespace tl::spell
