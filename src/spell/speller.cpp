#include "spell/speller.h"

#include "platform/error.h"
#include "spell/personalwords.h"

#include <hunspell.hxx>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

namespace tl::spell {

namespace {

// The dictionaries and the word list spell with the plain apostrophe.
QString plainApostrophes(QString word) { return word.replace(QChar(u'\u2019'), QLatin1Char('\'')); }

} // namespace

struct Speller::Loaded {
    std::unique_ptr<Hunspell> hunspell;
    QByteArray encoding;  // as the .aff's SET line names it

    std::string encode(const QString &word) const
    {
        if (encoding.isEmpty() || encoding.compare("UTF-8", Qt::CaseInsensitive) == 0)
            return word.toStdString();
        QStringEncoder enc(encoding.constData(), QStringConverter::Flag::Stateless);
        const QByteArray bytes = enc(word);
        if (enc.hasError())
            return {};
        return bytes.toStdString();
    }
    QString decode(const std::string &bytes) const
    {
        if (encoding.isEmpty() || encoding.compare("UTF-8", Qt::CaseInsensitive) == 0)
            return QString::fromStdString(bytes);
        QStringDecoder dec(encoding.constData(), QStringConverter::Flag::Stateless);
        return dec(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
};

namespace {
// A word the dictionary's encoding cannot hold is known from the list alone.
void addTo(Speller::Loaded &d, const QString &word)
{
    if (const std::string bytes = d.encode(word); !bytes.empty())
        d.hunspell->add(bytes);
}
} // namespace

// What the loading thread works on: it owns nothing the window thread uses.
struct Speller::Batch {
    std::vector<Dictionary> toLoad;
    std::vector<std::pair<QString, std::unique_ptr<Loaded>>> done;
    bool readPersonal = false;
    QString personalFile;
    PersonalWords personal;
};

Speller::Speller(QObject *parent) : QObject(parent), personalFile(personalWordsFile()) {}

Speller::~Speller()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void Speller::load(const QString &chosen, const QString &interfaceLanguage, const QStringList &folders)
{
    if (m_thread) {
        m_pending = std::make_unique<Request>(Request{chosen, interfaceLanguage, folders});
        return;
    }
    m_installed = findDictionaries(folders);
    m_main = pickDictionary(m_installed, chosen, interfaceLanguage);
    m_forScript.clear();
    for (Script s : {Script::Latin, Script::Cyrillic, Script::Greek})
        if (QString d = dictionaryForScript(m_installed, s, m_main); !d.isEmpty())
            m_forScript[s] = d;
    m_known.clear();

    m_batch = std::make_unique<Batch>();
    for (const auto &[script, name] : m_forScript)
        if (!m_loaded.count(name))
            for (const Dictionary &d : m_installed)
                if (d.name == name)
                    m_batch->toLoad.push_back(d);
    m_batch->readPersonal = !m_personalRead;
    m_batch->personalFile = personalFile;
    m_personalRead = true;

    Batch *batch = m_batch.get();
    m_thread = QThread::create([batch] {
        if (batch->readPersonal)
            batch->personal = readPersonalWords(batch->personalFile);
        for (const Dictionary &d : batch->toLoad) {
            // Hunspell reads whatever it finds; an unreadable file gives an
            // empty dictionary, which is then left out.
            if (!QFileInfo(d.aff).isReadable() || !QFileInfo(d.dic).isReadable())
                continue;
            auto loaded = std::make_unique<Loaded>();
            loaded->hunspell = std::make_unique<Hunspell>(QFile::encodeName(d.aff).constData(),
                                                          QFile::encodeName(d.dic).constData());
            loaded->encoding = QByteArray::fromStdString(loaded->hunspell->get_dict_encoding());
            batch->done.emplace_back(d.name, std::move(loaded));
        }
    });
    connect(m_thread, &QThread::finished, this, &Speller::finishLoading);
    m_thread->start(QThread::LowPriority);
    // Whatever changed in the choice shows at once with what is loaded.
    Q_EMIT changed();
}

void Speller::finishLoading()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    std::unique_ptr<Batch> batch = std::move(m_batch);
    if (batch->readPersonal) {
        for (const QString &w : batch->personal.words)
            m_personal.insert(w);
        m_personalProblem = batch->personal.error;
        if (m_personalProblem.isEmpty() && batch->personal.skipped > 0)
            m_personalProblem = QStringLiteral("%1 lines of the word list \"%2\" are no words and were skipped.")
                                    .arg(batch->personal.skipped)
                                    .arg(batch->personalFile);
        for (auto &[name, loaded] : m_loaded)
            for (const QString &w : m_personal)
                addTo(*loaded, w);
    }
    for (auto &[name, loaded] : batch->done) {
        for (const QString &w : m_personal)
            addTo(*loaded, w);
        m_loaded[name] = std::move(loaded);
    }
    m_known.clear();
    if (m_pending) {
        const Request r = *m_pending;
        m_pending.reset();
        load(r.chosen, r.interfaceLanguage, r.folders);
        return;
    }
    Q_EMIT changed();
}

Speller::Loaded *Speller::dictionaryFor(Script script)
{
    const auto name = m_forScript.find(script);
    if (name == m_forScript.end())
        return nullptr;
    const auto loaded = m_loaded.find(name->second);
    return loaded == m_loaded.end() ? nullptr : loaded->second.get();
}

bool Speller::isCorrect(const QString &asWritten)
{
    const QString word = plainApostrophes(asWritten);
    if (const auto it = m_known.constFind(word); it != m_known.cend())
        return *it;
    bool ok = true;
    if (!m_ignored.contains(word) && !m_personal.contains(word)) {
        if (Loaded *d = dictionaryFor(scriptOf(word))) {
            const std::string bytes = d->encode(word);
            ok = !bytes.empty() && d->hunspell->spell(bytes);
        }
    }
    // Only answers from a dictionary are kept: one still loading answers later.
    if (dictionaryFor(scriptOf(word))) {
        if (m_known.size() > 200000)
            m_known.clear();
        m_known.insert(word, ok);
    }
    return ok;
}

std::vector<Span> Speller::misspelt(QStringView paragraph)
{
    std::vector<Span> out;
    if (m_loaded.empty())
        return out;
    for (const Span &w : checkableWords(paragraph)) {
        if (!isCorrect(paragraph.mid(w.start, w.length).toString()))
            out.push_back(w);
    }
    return out;
}

QStringList Speller::suggestions(const QString &asWritten, int most)
{
    const QString word = plainApostrophes(asWritten);
    QStringList out;
    Loaded *d = dictionaryFor(scriptOf(word));
    if (!d)
        return out;
    const std::string bytes = d->encode(word);
    if (bytes.empty())
        return out;
    for (const std::string &s : d->hunspell->suggest(bytes)) {
        if (out.size() >= most)
            break;
        out << d->decode(s);
    }
    return out;
}

void Speller::addWord(const QString &asWritten)
{
    const QString word = plainApostrophes(asWritten);
    m_personal.insert(word);
    for (auto &[name, loaded] : m_loaded)
        addTo(*loaded, word);
    m_known.clear();
    Q_EMIT changed();
    addPersonalWord(personalFile, word);
}

void Speller::ignoreWord(const QString &asWritten)
{
    m_ignored.insert(plainApostrophes(asWritten));
    m_known.clear();
    Q_EMIT changed();
}

} // namespace tl::spell
