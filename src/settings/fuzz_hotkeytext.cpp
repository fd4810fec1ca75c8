// libFuzzer target: any text as the stored "Hot_Key" and as a shortcut text.
// The stored form splits into at most three non-empty words that join and
// split back to themselves, and three entries of the lists always name a key
// unless all of them are "None".

#include "settings/hotkeytext.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)tl::hotkey::parseShortcut(text);

    const QStringList words = tl::hotkey::storedWords(text);
    if (words.size() > 3)
        std::abort();
    for (const QString &w : words)
        if (w.isEmpty() || w.contains(QLatin1Char('+')))
            std::abort();
    if (words.size() == 3 && tl::hotkey::storedWords(tl::hotkey::storedText(words[0], words[1], words[2])) != words)
        std::abort();

    // Three list entries picked by the first bytes.
    if (size >= 3) {
        const QStringList &a = tl::hotkey::firstList(), &b = tl::hotkey::secondList(), &k = tl::hotkey::keyList();
        const QString first = a[data[0] % a.size()], second = b[data[1] % b.size()], key = k[data[2] % k.size()];
        const QString shortcut = tl::hotkey::shortcutText(first, second, key);
        const bool none = key == QLatin1String("None");
        if (!none && tl::hotkey::parseShortcut(shortcut).key() == Qt::Key_unknown)
            std::abort();
        if (tl::hotkey::storedWords(tl::hotkey::storedText(first, second, key)) != QStringList{first, second, key})
            std::abort();
    }
    return 0;
}
