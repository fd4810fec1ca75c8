// The format column, the editor's clipboard commands, its key and mouse
// handlers and the font popup's entry.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "editor/TfrmFont.h"
#include "editor/keysounds.h"
#include "platform/paths.h"
#include "settings/settingstable.h"

#include <QKeyEvent>
#include <QMenu>

namespace {

// The alignment buttons are one group: pressing one raises the others, and
// the pressed one comes up again when clicked.
void pressInGroup(tl::FlatButton *pressed, std::initializer_list<tl::FlatButton *> group)
{
    if (!pressed->isChecked())
        return;
    for (tl::FlatButton *b : group)
        if (b != pressed)
            b->setChecked(false);
}

} // namespace

void TForm1::cmdBoldClick() { memo1->setSelectionBold(cmdBold->isChecked()); }
void TForm1::cmdItalicClick() { memo1->setSelectionItalic(cmdItalic->isChecked()); }
void TForm1::cmdUnderClick() { memo1->setSelectionUnderline(cmdUnder->isChecked()); }

void TForm1::cmdALeftClick()
{
    pressInGroup(cmdALeft, {cmdALeft, cmdACenter, cmdARight});
    if (!SelectionSync)
        memo1->setParagraphAlignment(Qt::AlignLeft);
}

void TForm1::cmdACenterClick()
{
    pressInGroup(cmdACenter, {cmdALeft, cmdACenter, cmdARight});
    if (!SelectionSync)
        memo1->setParagraphAlignment(Qt::AlignHCenter);
}

void TForm1::cmdARightClick()
{
    pressInGroup(cmdARight, {cmdALeft, cmdACenter, cmdARight});
    if (!SelectionSync)
        memo1->setParagraphAlignment(Qt::AlignRight);
}

void TForm1::cmdBulletClick()
{
    if (SelectionSync)
        return;
    memo1->setParagraphBullet(!memo1->paragraphBullet());
    // The button shows the paragraph, whatever state the click left it in.
    cmdBullet->setChecked(memo1->paragraphBullet());
}

void TForm1::cmdSelectColorClick()
{
    const QColor current = memo1->selectionCharFormat().color;
    const std::optional<QColor> chosen =
        m_services.dialogs->color(this, current.isValid() ? current : memo1->palette().color(QPalette::Text));
    if (chosen)
        memo1->setSelectionColor(*chosen);
}

void TForm1::memo1SelectionChange()
{
    struct Sync {
        bool &flag;
        explicit Sync(bool &f) : flag(f) { flag = true; }
        ~Sync() { flag = false; }
    } sync(SelectionSync);
    const tl::RichEdit::CharFormat f = memo1->selectionCharFormat();
    cmdBold->setChecked(f.bold);
    cmdItalic->setChecked(f.italic);
    cmdUnder->setChecked(f.underline);
    const Qt::Alignment a = memo1->paragraphAlignment();  // justified shows as left
    tl::FlatButton *pressed = a == Qt::AlignRight ? cmdARight : a == Qt::AlignHCenter ? cmdACenter : cmdALeft;
    for (tl::FlatButton *b : {cmdALeft, cmdACenter, cmdARight})
        b->setChecked(b == pressed);
    cmdBullet->setChecked(memo1->paragraphBullet());
}

void TForm1::Undo1Click() { memo1->undo(); }
void TForm1::Cut1Click() { memo1->cut(); }
void TForm1::Copy1Click() { memo1->copy(); }
void TForm1::Paste1Click() { memo1->paste(); }  // the editor takes the clipboard as plain text
void TForm1::SelectAll1Click() { memo1->selectAll(); }

void TForm1::memo1KeyDown(QKeyEvent *event)
{
    if (isOn(tl::setting::EnableSound)) {
        const QString file = tl::keySoundFile(event->key());
        if (!file.isEmpty())
            m_services.sound->play(tl::paths::programFolder() + QLatin1Char('/') + file);
    }
    // The skin's scroll thumb follows the key from the skin's own editor hook.
}

void TForm1::memo1MouseDown(Qt::MouseButton button, QPoint pos)
{
    const QPoint inViewport = memo1->viewport()->mapFrom(memo1, pos);
    if (button == Qt::RightButton)
        popupEditorMenu(QPoint(pos.x() + x() + 10, pos.y() + y() + 40),
                        memo1->cursorForPosition(inViewport).position());
    if (button == Qt::LeftButton)
        clickOnBox(inViewport);
}

void TForm1::cmdFontClick()
{
    fontPopup().exec();
    update();
    memo1->viewport()->update();
}
