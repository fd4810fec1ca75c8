// Stepping through the notes of the open file, adding and deleting notes,
// and the editor's change handlers.

#include "app/TForm1.h"

#include "platform/atomicfile.h"
#include "platform/error.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTextEdit>

namespace {
// The editor's content for "a single line break".
const QString kLineBreak = QStringLiteral("\n");
} // namespace

void TForm1::showNote(int index)
{
    // The file may have lost notes outside since the index was chosen.
    const int count = myFileSize(CurrentFile());
    if (count <= 0) {
        memo1->clear();
        m_session.file().note = 0;
        m_session.file().noteCount = 0;
        m_session.file().shown = {};
        updateStepButtons();
    } else {
        setEditorText(nLoadRecord(std::clamp(index, 0, count - 1), CurrentFile()));
    }
    pShowPanelInfo(CurrentFile());
}

void TForm1::cmdNextClick()
{
    // A notice of the bar told of the last command; this one starts without it.
    m_syncNotice.clear();
    // The button is off without a next note; a stale state must not end in
    // an index error either.
    if (notesFileOpen() && CurrentNote() + 1 >= myFileSize(CurrentFile()))
        return;
    // Storing may find the note shown elsewhere: the step goes from there.
    if (!keepShownNote() || !notesFileOpen())
        return;
    showNote(CurrentNote() + 1);
}

void TForm1::cmdBackClick()
{
    QCoreApplication::processEvents();
    m_syncNotice.clear();
    if (notesFileOpen() && CurrentNote() <= 0)
        return;
    if (!keepShownNote() || !notesFileOpen() || CurrentNote() <= 0)
        return;
    showNote(CurrentNote() - 1);
}

void TForm1::JumpToNote(int digit)
{
    m_syncNotice.clear();
    if (digit < 1 || digit > 9 || (notesFileOpen() && myFileSize(CurrentFile()) < digit))
        return;
    if (!keepShownNote() || !notesFileOpen())
        return;
    showNote(digit - 1);
    memo1->moveCursor(QTextCursor::Start);
    memo1->verticalScrollBar()->setValue(memo1->verticalScrollBar()->minimum());
}

void TForm1::cmdNewClick()
{
    m_syncNotice.clear();
    if (!QFileInfo(CurrentFile()).isFile() && !CreateNewFile()) {
        update();
        return;
    }
    if (notesFileOpen()) {
        if (tl::isReadOnlyFile(CurrentFile())) {
            keepShownNote();  // an edit made before it turned read-only is told of
            return;           // a read-only file is browsed, not extended
        }
        update();
        // A note only browsed (its content not all held) stays as it is.
        if (m_session.file().unheld == 0 && memo1->toPlainText().isEmpty()) {
            setEditorText(kLineBreak);
            m_session.file().shownEdited = true;  // written back as an edit
        }
        if (!keepShownNote())
            return;
        // Appended before the editor lets go of the note, so a failed write
        // leaves everything as it was.
        m_session.appendNote();
        memo1->clear();
        m_session.file().shownEdited = false;  // the editor holds the new note as it is
        updateStepButtons();
        pShowPanelInfo(CurrentFile());
        return;
    }

    // A document is open: Add starts a new file instead.
    const QString name = askSaveName();
    if (name.isEmpty() || !canWriteBack())
        return;
    if (QFileInfo(name).isFile() && tl::isReadOnlyFile(name)) {
        showReadOnlyWarning(name);
        return;
    }
    writeDocument(CurrentFile());
    setEditorText(kLineBreak);
    m_session.file().renameTo(name);
    if (!m_session.file().isNotes()) {
        writeDocument(CurrentFile());
    } else {
        m_session.file().note = 0;
        nSaveRecord(0, CurrentFile(), CreateMemoRTF());
        m_session.file().noteCount = myFileSize(CurrentFile());
        updateStepButtons();
    }
    pShowPanelInfo(CurrentFile());
    m_session.file().shownEdited = false;
}

void TForm1::cmdDelClick()
{
    m_syncNotice.clear();
    if (!QFileInfo(CurrentFile()).isFile()) {
        QApplication::beep();
        return;
    }
    if (tl::isReadOnlyFile(CurrentFile()))
        return;
    auto confirmed = [&](tl::setting::Text setting, const QString &question) {
        return !isOn(setting)
            || m_services.dialogs->messageBox(this, QStringLiteral("Confirmation"), question, tl::MsgButtons::OkCancel,
                                              tl::MsgIcon::Question)
            == tl::MsgResult::Ok;
    };
    // A document, however it is named, is one whole file.
    const int count = notesFileOpen() ? myFileSize(CurrentFile()) : 1;
    if (count == 1) {
        if (!confirmed(tl::setting::AskDelFile, QStringLiteral("Delete file of notes?")))
            return;
        if (notesFileOpen())
            m_session.backUpBeforeWrite(CurrentFile());
        QFile file(CurrentFile());
        if (!file.remove())
            throw tl::Error(QStringLiteral("Cannot delete \"%1\": %2")
                                .arg(QDir::toNativeSeparators(CurrentFile()), file.errorString()));
        resetToNoFile();
        return;
    }
    if (!confirmed(tl::setting::AskDelNote, QStringLiteral("Delete note?")))
        return;
    // The note is deleted where it is now; changed outside since it was
    // loaded, the other side's version is not ours to delete.
    if (m_session.file().shown.index >= 0) {
        const int at = m_session.records().locateShown(CurrentFile(), m_session.file().shown);
        if (at < 0) {
            m_syncNotice = QStringLiteral(" - not deleted: it was changed outside");
            showNote(m_session.file().shown.index);
            return;
        }
        m_session.file().note = at;
        if (m_session.file().isWorkingCopy())
            m_session.file().pending.push_back({tl::sync::PendingEdit::Remove, {at, m_session.file().shown.stored, std::nullopt}, {}});
    }
    nRemoveRecord(CurrentNote(), CurrentFile());
    showNote(CurrentNote());
}

void TForm1::memo1Change()
{
    m_session.file().shownEdited = true;
}

void TForm1::memo1KeyPress()
{
    // A key counts as an edit of a document even where the editor refuses
    // it; a note is an edit only once its text changed.
    if (!m_session.file().isNotes())
        m_session.file().shownEdited = true;
    pShowPanelInfo(CurrentFile());
}
