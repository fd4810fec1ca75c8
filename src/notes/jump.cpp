// Jump to note: the editor menu's "Jump to note..." and the note it shows.

#include "app/TForm1.h"

#include "notes/TfrmSeek.h"

#include <QScrollBar>

void TForm1::Jumptonote1Click()
{
    // Only a notes file has numbered notes; a document is left as it is.
    if (!notesFileOpen())
        return;
    seekPopup().open();
}

void TForm1::showJumpedNote(int index)
{
    m_syncNotice.clear();
    // The edits of the note shown are kept, as every other step keeps them.
    if (!keepShownNote())
        return;
    showNote(index);
    memo1->moveCursor(QTextCursor::Start);
    memo1->verticalScrollBar()->setValue(memo1->verticalScrollBar()->minimum());
}
