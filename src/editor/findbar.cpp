// The find bar: Find, Find Forward and Find Back over every note of the
// open file, and showing or hiding the bar.

#include "app/TForm1.h"

#include "controls/darerlabel.h"
#include "controls/eventhook.h"
#include "controls/flatbutton.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

int TForm1::SearchString(const QString &text, int startNote)
{
    // Notes are searched as stored; any other file as the editor holds it now.
    const bool notesMode = m_session.file().isNotes();
    if (!QFileInfo(CurrentFile()).isFile())
        return 0;
    std::unique_ptr<tl::find::NoteTexts> texts;
    if (notesMode)
        texts = m_findCache.texts(CurrentFile());
    else
        texts = std::make_unique<tl::find::DocumentText>(memo1->toPlainText());

    const tl::find::Hit hit = tl::find::searchWalk(text, startNote, SearchCounters, *texts);
    if (hit.position == 0) {
        if (hit.missedInLast)
            cmdSearchAgain->setEnabled(false);
        return 0;
    }
    if (notesMode && hit.note != CurrentNote()) {
        // Typed changes are kept before the editor takes the other note (if
        // that note is still in the file).
        if (CurrentNote() < texts->count() && !keepShownNote())
            return 0;
        setEditorText(nLoadRecord(hit.note, CurrentFile()));
        pShowPanelInfo(CurrentFile());
    }
    const int length = memo1->document()->characterCount() - 1;
    const int start = std::min(hit.position - 1, length);
    QTextCursor c = memo1->textCursor();
    c.setPosition(start);
    c.setPosition(std::min(start + int(text.size()), length), QTextCursor::KeepAnchor);
    memo1->setTextCursor(c);
    // The line of the hit becomes the first one shown.
    memo1->scrollLines(-memo1->lineCount());
    memo1->scrollLines(memo1->caretLine());
    SyncScrollThumb(false);  // the skin's thumb goes where the caret went
    memo1->setFocus();
    cmdSearchAgain->setEnabled(true);
    return hit.position;
}

void TForm1::cmdSearchClick()
{
    const QString text = cbSeek->currentText();
    if (text.isEmpty())
        return;
    SearchCounters.reset(myFileSize(CurrentFile()));
    if (SearchString(text, 1) != 0) {
        // Listing the text is not an edit of it.
        const QSignalBlocker block(cbSeek);
        cbSeek->addItem(text);
        cbSeek->setEditText(text);
    }
}

void TForm1::cbSeekKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        cmdSearchClick();
}

void TForm1::cmdSearchAgainClick()
{
    const QString text = cbSeek->currentText();
    if (text.isEmpty())
        return;
    ++SearchCounters[CurrentNote()];
    SearchString(text, CurrentNote() + 1);
    cmdSearchBack->setEnabled(true);
    if (CurrentNote() == 0)
        return;
    // Back stays possible while a note up to this one still has a hit to go
    // back to (the first note's counter is not looked at).
    bool any = false;
    for (int k = CurrentNote(); k >= 1 && !any; --k)
        any = SearchCounters[k] > 0;
    cmdSearchBack->setEnabled(any);
}

void TForm1::cmdSearchBackClick()
{
    const QString text = cbSeek->currentText();
    if (text.isEmpty())
        return;
    --SearchCounters[CurrentNote()];
    SearchString(text, CurrentNote() + 1);
    if (SearchCounters[0] == 1 && CurrentNote() == 0)
        cmdSearchBack->setEnabled(false);
}

void TForm1::cbSeekChange()
{
    cmdSearchBack->setEnabled(false);
    cmdSearchAgain->setEnabled(false);
}

void TForm1::makeSeekBoxEditable()
{
    if (cbSeek->isEditable())
        return;
    cbSeek->setEditable(true);
    cbSeek->setInsertPolicy(QComboBox::NoInsert);
    // Only key presses reach the form: the box also sees events while the
    // window is being taken down.
    const auto keys = [this](QEvent *e) {
        return e->type() == QEvent::KeyPress && seekKeyHook(static_cast<QKeyEvent *>(e));
    };
    new tl::EventHook(cbSeek, keys);
    new tl::EventHook(cbSeek->lineEdit(), keys);
}

// A real key press reaches the combo box, which hands it to its line edit
// directly (past the line edit's filters); keys sent to the line edit itself
// arrive there. Either way a press meets one of the two hooks once: a key the
// hook keeps is not passed on to the combo box.
bool TForm1::seekKeyHook(QKeyEvent *k)
{
    cbSeekKeyDown(k);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        return true;  // Find, not the combo box's own insert
    // Alt with a key is a command, never text.
    return (k->modifiers() & Qt::AltModifier) && !k->text().isEmpty();
}

void TForm1::fitSearchLabel()
{
    // The label's text and font are often wider than the 44 pixels it was
    // given: the search box gives up what the label needs.
    const QSize label = lblSearch->sizeHint();
    const int labelWidth = std::clamp(label.width(), 44, 100), boxRight = 198;
    lblSearch->setGeometry(8, 5, labelWidth, std::max(13, label.height()));
    cbSeek->setGeometry(9 + labelWidth, 3, boxRight - 9 - labelWidth, 19);
}

void TForm1::FindBar1Click()
{
    if (!panSearch->isHidden()) {
        panSearch->hide();
        FormResize();  // the editor takes the bar's room back
        memo1->setFocus();
    } else {
        // The window's layout places the bar along the bottom and shortens
        // the editor by its height.
        makeSeekBoxEditable();
        fitSearchLabel();
        panSearch->show();
        FormResize();
        panSearch->raise();
        cbSeek->setFocus();
    }
    if (!panSearch->isHidden()) {
        FindBar1->setText(uiText("MainForm.findbar1Hide"));
    } else {
        FindBar1->setText(uiText("MainForm.findbar1"));
        lblRightLine->hide();
    }
}

void TForm1::lblSearchClick()
{
    // Qt fonts carry no character set; the label's is always the default one.
    m_services.dialogs->messageBox(this, windowTitle(), QStringLiteral("1"), tl::MsgButtons::Ok, tl::MsgIcon::None);
}
