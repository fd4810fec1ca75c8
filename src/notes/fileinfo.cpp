#include "notes/fileinfo.h"

#include "notes/recordstore.h"

namespace tl {

SymbolCounts countSymbols(const QString &plainText)
{
    QString text = plainText;
    // The editor's line and paragraph ends; on disk they were CR LF.
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text.remove(QChar::LineSeparator);
    text.remove(QChar::ParagraphSeparator);
    SymbolCounts c;
    c.withSpaces = text.size();
    c.withoutSpaces = text.size() - text.count(QLatin1Char(' '));
    return c;
}

QString propertiesTime(const QDateTime &time, const QLocale &locale)
{
    if (!time.isValid())
        return QStringLiteral("unknown");
    const QDateTime local = time.toLocalTime();
    return locale.toString(local.date(), QStringLiteral("dddd, d MMMM yyyy ")) + QStringLiteral("г.,")
        + locale.toString(local.time(), QLocale::LongFormat);
}

QString commentsToStored(const QString &shown)
{
    QString s = shown;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\n'), QLatin1String("crlf"));
    return s;
}

QString commentsFromStored(const QString &stored)
{
    return FastStringReplace(stored, QStringLiteral("crlf"), QStringLiteral("\n"));
}

} // namespace tl
