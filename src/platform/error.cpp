#include "platform/error.h"

namespace tl {

int strToInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || text.trimmed().size() != text.size())
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace tl
