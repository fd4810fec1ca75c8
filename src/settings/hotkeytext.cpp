#include "settings/hotkeytext.h"

#include <QKeySequence>

namespace tl::hotkey {

namespace {
const QString None = QStringLiteral("None");

QStringList withNone(QStringList entries)
{
    entries.prepend(None);
    return entries;
}

// The key names the menus write that QKeySequence does not take alone: the
// modifier keys themselves.
Qt::Key modifierKey(const QString &name)
{
    if (name.compare(QLatin1String("Ctrl"), Qt::CaseInsensitive) == 0)
        return Qt::Key_Control;
    if (name.compare(QLatin1String("Shift"), Qt::CaseInsensitive) == 0)
        return Qt::Key_Shift;
    if (name.compare(QLatin1String("Alt"), Qt::CaseInsensitive) == 0)
        return Qt::Key_Alt;
    return Qt::Key_unknown;
}
} // namespace

const QStringList &firstList()
{
    static const QStringList list = withNone({ QStringLiteral("Ctrl"), QStringLiteral("Shift") });
    return list;
}

const QStringList &secondList()
{
    static const QStringList list = withNone({ QStringLiteral("Ctrl"), QStringLiteral("Alt") });
    return list;
}

const QStringList &keyList()
{
    static const QStringList list = [] {
        QStringList keys;
        for (int i = 1; i <= 12; ++i)
            keys << QStringLiteral("F%1").arg(i);
        for (char c = 'A'; c <= 'Z'; ++c)
            keys << QString(QLatin1Char(c));
        return withNone(keys);
    }();
    return list;
}

QStringList storedWords(const QString &stored)
{
    QStringList words = stored.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    if (words.size() > 3)
        words.resize(3);
    return words;
}

QStringList shownWords(const QString &stored)
{
    if (stored.isEmpty())
        return QStringList(3, None);
    const QStringList words = storedWords(stored);
    const QStringList *lists[] = {&firstList(), &secondList(), &keyList()};
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        QString word;
        if (i < words.size())
            for (const QString &entry : *lists[i])
                if (entry.compare(words[i], Qt::CaseInsensitive) == 0) {
                    word = entry;
                    break;
                }
        shown << word;
    }
    return shown;
}

QString storedText(const QString &first, const QString &second, const QString &key)
{
    return first + QLatin1Char('+') + second + QLatin1Char('+') + key;
}

QString shortcutText(const QString &first, const QString &second, const QString &key)
{
    // An empty text (a list without a selection) is not "None" and counts.
    QString text;
    if (first != None)
        text = first;
    if (second != None)
        text += QLatin1Char('+') + second;
    if (key != None)
        text += QLatin1Char('+') + key;
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    return text;
}

QKeyCombination parseShortcut(const QString &text)
{
    static const struct {
        QLatin1String prefix;
        Qt::KeyboardModifier modifier;
    } prefixes[] = {
        { QLatin1String("Shift+"), Qt::ShiftModifier },
        { QLatin1String("Ctrl+"), Qt::ControlModifier },
        { QLatin1String("Alt+"), Qt::AltModifier },
    };
    Qt::KeyboardModifiers modifiers;
    QString rest = text;
    for (bool found = true; found;) {
        found = false;
        for (const auto &p : prefixes) {
            if (rest.startsWith(p.prefix, Qt::CaseInsensitive)) {
                modifiers |= p.modifier;
                rest.remove(0, p.prefix.size());
                found = true;
            }
        }
    }
    const QKeyCombination none(Qt::Key_unknown);
    if (rest.isEmpty())
        return none;
    if (const Qt::Key key = modifierKey(rest); key != Qt::Key_unknown)
        return QKeyCombination(modifiers, key);
    // One key name, nothing more: "+" and "," would let QKeySequence read
    // further modifiers or a second key.
    if (rest.contains(QLatin1Char('+')) || rest.contains(QLatin1Char(',')) || rest.trimmed() != rest)
        return none;
    const QKeySequence seq = QKeySequence::fromString(rest, QKeySequence::PortableText);
    if (seq.count() != 1 || seq[0].keyboardModifiers() != Qt::NoModifier || seq[0].key() == Qt::Key_unknown)
        return none;
    return QKeyCombination(modifiers, seq[0].key());
}

} // namespace tl::hotkey
