#include "spell/words.h"

namespace tl::spell {

namespace {

bool isApostrophe(QChar c) { return c == u'\'' || c == u'\u2019'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

// A token between spaces that names a place rather than saying anything.
bool isAddress(QStringView token)
{
    if (token.contains(u"://") || token.startsWith(u"www.", Qt::CaseInsensitive)
        || token.startsWith(u"mailto:", Qt::CaseInsensitive))
        return true;
    const qsizetype at = token.indexOf(u'@');
    return at > 0 && token.indexOf(u'.', at) > at + 1;
}

bool skipped(QStringView word)
{
    int letters = 0, upper = 0;
    for (const QChar c : word) {
        if (c.isDigit())
            return true;
        if (c.isLetter()) {
            ++letters;
            if (c.isUpper())
                ++upper;
        }
    }
    return letters == 0 || (letters > 1 && upper == letters);
}

void wordsOfToken(QStringView text, int from, int to, std::vector<Span> &out)
{
    int i = from;
    while (i < to) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        // An apostrophe between letters belongs to the word ("don't").
        while (i < to && (isWordChar(text[i])
                          || (isApostrophe(text[i]) && i + 1 < to && isWordChar(text[i + 1]) && i > start)))
            ++i;
        const QStringView word = text.mid(start, i - start);
        if (!skipped(word))
            out.push_back({start, i - start});
    }
}

} // namespace

std::vector<Span> checkableWords(QStringView text)
{
    std::vector<Span> out;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        const int start = i;
        while (i < n && !text[i].isSpace())
            ++i;
        if (i > start && !isAddress(text.mid(start, i - start)))
            wordsOfToken(text, start, i, out);
    }
    return out;
}

Script scriptOf(QStringView word)
{
    for (const QChar c : word) {
        if (!c.isLetter())
            continue;
        switch (c.script()) {
        case QChar::Script_Latin:
            return Script::Latin;
        case QChar::Script_Cyrillic:
            return Script::Cyrillic;
        case QChar::Script_Greek:
            return Script::Greek;
        default:
            return Script::Other;
        }
    }
    return Script::Other;
}

} // namespace tl::spell
