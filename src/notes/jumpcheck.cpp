#include "notes/jumpcheck.h"

#include <limits>

namespace tl::jump {

Check checkNumber(const QString &text, int count)
{
    if (text.isEmpty())
        return { Verdict::NotANumber };
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) // isDigit() would take other scripts' digits
            return { Verdict::NotANumber };
    // Leading zeros are fine ("007"); the value is built by hand so that a
    // run of digits past int's range is "no such note", not an overflow.
    qint64 n = 0;
    for (QChar c : text) {
        n = n * 10 + (c.unicode() - '0');
        if (n > std::numeric_limits<qint32>::max())
            return { Verdict::NoSuchNote };
    }
    if (n < 1 || n > count)
        return { Verdict::NoSuchNote };
    return { Verdict::Show, int(n - 1) };
}

} // namespace tl::jump
