#include "spell/personalwords.h"

#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace tl::spell {

namespace {
constexpr int kLongestWord = 100;
}

QString personalWordsFile() { return paths::dataFolder() + QStringLiteral("/words.dic"); }

bool isStorableWord(const QString &word)
{
    if (word.isEmpty() || word.size() > kLongestWord)
        return false;
    for (const QChar c : word)
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter)
            return false;
    return true;
}

PersonalWords readPersonalWords(const QString &path)
{
    PersonalWords out;
    QFile f(path);
    if (!f.exists())
        return out;
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("The word list \"%1\" cannot be read: %2").arg(path, f.errorString());
        return out;
    }
    // A huge file is no word list.
    if (f.size() > 16 * 1024 * 1024) {
        out.error = QStringLiteral("The word list \"%1\" is too large to be a word list.").arg(path);
        return out;
    }
    const QByteArray data = f.readAll();
    for (const QByteArray &raw : data.split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line.trimmed().isEmpty())
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString word = utf8(line);
        if (utf8.hasError() || !isStorableWord(word)) {
            ++out.skipped;
            continue;
        }
        if (!out.words.contains(word))
            out.words << word;
    }
    return out;
}

void addPersonalWord(const QString &path, const QString &word)
{
    if (!isStorableWord(word))
        throw Error(QStringLiteral("\"%1\" cannot be added to the word list.").arg(word));
    QByteArray data;
    if (QFileInfo::exists(path))
        data = readWholeFile(path);
    for (const QByteArray &line : data.split('\n'))
        if (QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line) == word)
            return;
    if (!data.isEmpty() && !data.endsWith('\n'))
        data += '\n';
    data += word.toUtf8() + '\n';
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw Error(QStringLiteral("The folder of the word list \"%1\" cannot be made.").arg(path));
    writeFileAtomically(path, data);
}

} // namespace tl::spell
