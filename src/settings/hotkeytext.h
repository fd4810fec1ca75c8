#pragma once
// The global hot key as the Preferences lists show it and as "Hot_Key" stores
// it: three words joined by "+", for example Ctrl+Alt+F5 or None+None+A.

#include <QKeyCombination>
#include <QString>
#include <QStringList>

namespace tl::hotkey {

// The entries of the three lists: "None", "Ctrl", "Shift"; "None", "Ctrl",
// "Alt"; "None", "F1".."F12", "A".."Z".
const QStringList &firstList();
const QStringList &secondList();
const QStringList &keyList();

// "Hot_Key" split at "+" (a run of "+" is one separator, empty words do not
// count), at most the first three words.
QStringList storedWords(const QString &stored);

// What the three lists show for a stored "Hot_Key": each word as its list
// spells it (matched without regard to case), "" where the word is missing
// or not in its list; three "None" when nothing is stored.
QStringList shownWords(const QString &stored);

// The stored form: the three shown texts joined by "+", "None" included.
QString storedText(const QString &first, const QString &second, const QString &key);

// The shortcut the shown texts denote: "None" dropped, the rest joined by
// "+", a leading "+" removed ("" when all three are "None").
QString shortcutText(const QString &first, const QString &second, const QString &key);

// A shortcut text ("Shift+", "Ctrl+", "Alt+" in any order and case, then one
// key name) as a key combination; Qt::Key_unknown when it names no key.
QKeyCombination parseShortcut(const QString &text);

} // namespace tl::hotkey
