#include "port/notedocument.h"

#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"

#include <QTextDocument>

namespace tl::port {

unsigned readNote(const QString &note, QTextDocument &doc)
{
    if (rtf::looksLikeRtf(note)) {
        const QByteArray bytes = rtf::rtfBytes(note);
        return rtf::readDocument(std::string_view(bytes.constData(), size_t(bytes.size())), doc);
    }
    doc.setPlainText(note);
    return 0;
}

QString plainTextOf(const QString &note)
{
    QString text;
    if (rtf::looksLikeRtf(note)) {
        const QByteArray bytes = rtf::rtfBytes(note);
        text = rtf::toPlainText(std::string_view(bytes.constData(), size_t(bytes.size())));
    } else {
        text = note;
    }
    // A picture's place and the editor's line and paragraph separators.
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QString titleOf(const QString &note)
{
    const QString text = plainTextOf(note);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QString trimmed = line.toString().simplified();
        if (!trimmed.isEmpty())
            return trimmed;
    }
    return {};
}

QByteArray rtfOf(const QString &note)
{
    if (rtf::looksLikeRtf(note))
        return rtf::rtfBytes(note);
    QTextDocument doc;
    doc.setPlainText(note);
    return rtf::writeDocument(doc);
}

} // namespace tl::port
