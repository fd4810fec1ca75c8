// The open notes file as others change it: a sync tool writing the other
// machine's edits, the same file open twice. Every store already works on
// the file as it is now (notes/notesync.h); this keeps the window in step
// between stores: the note shown follows an outside change at once unless
// it holds an edit, and a file deleted outside leaves its text in the editor.

#include "app/TForm1.h"

#include "controls/guarded.h"

#include <QDir>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

void TForm1::wireOutsideChanges()
{
    tl::FileFollower *follower = &m_session.follower();
    tl::connectGuarded(follower, &tl::FileFollower::changed, this, [this](bool wasGone) { checkOpenFile(wasGone); });
    tl::connectGuarded(follower, &tl::FileFollower::gone, this, [this] { fileGoneOutside(); });
    // What happened to the file followed before says nothing of the next.
    connect(follower, &tl::FileFollower::retargeted, this, [this] { m_syncNotice.clear(); });
}

void TForm1::followOpenFile()
{
    m_session.follower().refresh();
}

void TForm1::checkOpenFile(bool wasGone)
{
    switch (m_session.changeSeen(wasGone)) {
    case tl::NotesSession::Change::Own:
        return;
    case tl::NotesSession::Change::Archive:
        // The archive's notes, with ours again, are now the working copy.
        m_syncNotice.clear();
        if (mergeArchiveChanges(true))
            followOutsideChange(m_syncNotice);
        return;
    case tl::NotesSession::Change::Notes:
        followOutsideChange();
        return;
    }
}

void TForm1::followOutsideChange(const QString &notice)
{
    m_syncNotice = notice.isEmpty() ? QStringLiteral(" - changed outside") : notice;
    const tl::NotesSession::Followed followed = m_session.followOutsideChange(CreateMemoRTF());
    if (followed.action != tl::NotesSession::Followed::KeepEdit)
        SearchCounters.follow(followed.from, followed.to, followed.count);
    if (followed.action != tl::NotesSession::Followed::Reload) {
        updateStepButtons();
        pShowPanelInfo(CurrentFile());
        return;
    }
    // Changed outside: its new text, with the caret and the view where they were.
    const int caret = memo1->textCursor().position();
    const int scrolled = memo1->verticalScrollBar()->value();
    const bool focused = memo1->hasFocus();
    showNote(m_session.file().shown.index);
    QTextCursor c = memo1->textCursor();
    c.setPosition(std::min(caret, memo1->document()->characterCount() - 1));
    memo1->setTextCursor(c);
    memo1->verticalScrollBar()->setValue(scrolled);
    if (focused)
        memo1->setFocus();
}

void TForm1::fileGoneOutside()
{
    m_syncNotice = QStringLiteral(" - the file was deleted outside: Save As keeps this note");
    pShowPanelInfo(CurrentFile());
    const QString name = QDir::toNativeSeparators(m_session.follower().path());
    if (m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
            QStringLiteral("\"%1\" was deleted or replaced by a folder outside Tessaleaf.\n\n"
                           "The note shown stays in the editor. Save it under another name?")
                .arg(name),
            tl::MsgButtons::YesNo, tl::MsgIcon::Warning)
        == tl::MsgResult::Yes)
        SaveFileAs2Click();
}
