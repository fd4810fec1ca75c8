#include "spell/checklist.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tl::checklist {

char16_t boxOf(QStringView paragraph)
{
    if (paragraph.isEmpty())
        return 0;
    const char16_t c = paragraph.front().unicode();
    return c == Open || c == Ticked ? c : 0;
}

void toggleList(QTextCursor cursor)
{
    QTextDocument *doc = cursor.document();
    const QTextBlock first = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    bool allBoxed = true;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        allBoxed = allBoxed && boxOf(b.text()) != 0;
        if (b == last)
            break;
    }
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const QString text = b.text();
        edit.setPosition(b.position());
        if (allBoxed) {
            const int length = text.size() > 1 && text.at(1) == QLatin1Char(' ') ? 2 : 1;
            edit.setPosition(b.position() + length, QTextCursor::KeepAnchor);
            edit.removeSelectedText();
        } else if (!boxOf(text)) {
            edit.insertText(QStringLiteral("%1 ").arg(QChar(Open)));
        }
        if (b == last)
            break;
    }
    edit.endEditBlock();
}

bool toggleBox(QTextDocument *document, int position)
{
    const QTextBlock b = document->findBlock(position);
    const char16_t box = b.isValid() ? boxOf(b.text()) : 0;
    if (!box)
        return false;
    QTextCursor edit(document);
    edit.setPosition(b.position());
    edit.setPosition(b.position() + 1, QTextCursor::KeepAnchor);
    edit.insertText(QString(QChar(box == Open ? Ticked : Open)));
    return true;
}

bool isBoxAt(const QTextDocument *document, int position)
{
    const QTextBlock b = document->findBlock(position);
    return b.isValid() && b.position() == position && boxOf(b.text()) != 0;
}

} // namespace tl::checklist
