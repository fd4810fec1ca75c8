// The file commands: open, new file, save, save as, and the empty notes file
// that adding a note with no file open asks for.

#include "app/TForm1.h"

#include "notes/filekind.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>

namespace {

const QString kLineBreak = QStringLiteral("\n");

tl::FileDialogRequest saveRequest()
{
    tl::FileDialogRequest r;
    r.filter = QStringLiteral("File of Notes (*.nts);;Text File (*.txt);;RTF File (*.rtf);;All files (*)");
    r.defaultSuffix = QStringLiteral("nts");
    return r;
}


} // namespace

void TForm1::lblFileMouseDown(const QPoint &pos)
{
    mnuFile->popup(geometry().topLeft() + pos);
}

QString TForm1::askSaveName()
{
    if (m_saveRequest.filter.isEmpty())
        m_saveRequest = saveRequest();
    // Until a name is chosen, the dialog starts beside the open file (else
    // at home), never in the folder the program happens to run from.
    if (m_saveRequest.folder.isEmpty()) {
        const QString shown = m_session.file().archive.isEmpty() ? CurrentFile() : m_session.file().archive;  // not a working copy's folder
        m_saveRequest.folder = shown.isEmpty() ? QDir::homePath() : QFileInfo(shown).absolutePath();
    }
    const QString chosen = m_services.dialogs->saveFileName(this, m_saveRequest);
    if (chosen.isEmpty())
        return {};
    m_saveRequest.fileName = chosen;
    m_saveRequest.folder = QFileInfo(chosen).absolutePath();
    return tl::paths::longPath(chosen);
}

void TForm1::showReadOnlyWarning(const QString &path)
{
    const QString why = path == CurrentFile() ? browsedReason() : QString();
    QString text;
    if (!why.isEmpty())
        text = QStringLiteral("\"%1\" is shown read-only: %2. It is not written.").arg(QFileInfo(path).fileName(), why);
    else if (tl::fileKindOf(path) == tl::FileKind::Notes)
        text = QStringLiteral("This file of notes is read-only! You cannot save change with this flag.");
    else
        text = QStringLiteral("This document is read-only! You cannot save changes with this flag.");
    m_services.dialogs->messageBox(this, QStringLiteral("Warning!"), text, tl::MsgButtons::Ok, tl::MsgIcon::Warning);
}

void TForm1::replaceWithNewNotesFile(const QString &path)
{
    QFile old(path);
    if (old.exists() && !old.remove())
        throw tl::Error(QStringLiteral("Cannot replace \"%1\": %2").arg(QDir::toNativeSeparators(path), old.errorString()));
    nSaveRecord(0, path, QString());
}

void TForm1::File1Click(const QString &droppedFile)
{
    if (tl::isExistingFile(CurrentFile()))
        CloseNotes(CurrentFile());
    if (!droppedFile.isEmpty()) {
        // Something that is no file (a folder) leaves the current file open.
        if (tl::isExistingFile(droppedFile))
            m_session.file().path = tl::paths::longPath(droppedFile);
    } else {
        tl::FileDialogRequest request;
        request.filter = QStringLiteral("File of Notes (*.nts *.znts *.snts);;Text File (*.txt *.rtf);;All files (*)");
        request.fileName = CurrentFile();
        if (!CurrentFile().isEmpty())
            request.folder = QFileInfo(CurrentFile()).absolutePath();
        const QString chosen = m_services.dialogs->openFileName(this, request);
        if (tl::isExistingFile(chosen))
            m_session.file().path = tl::paths::longPath(chosen);
    }
    // After Cancel the file just closed opens again.
    if (tl::isExistingFile(CurrentFile())) {
        m_session.file().note = 0;
        OpenNotes(CurrentFile());
    }
}

void TForm1::NewFile2Click()
{
    const QString name = askSaveName();
    if (name.isEmpty())
        return;
    // The file open before is closed first, so its note shown is kept.
    if (tl::isExistingFile(CurrentFile()))
        CloseNotes(CurrentFile());
    m_session.file().adopt(name);
    m_session.file().textFormat = {};  // a new text
    m_session.file().textNotice.clear();
    updateStepButtons();
    setEditorText(kLineBreak);
    if (tl::isExistingFile(CurrentFile()) && tl::isReadOnlyFile(CurrentFile())) {
        showReadOnlyWarning(CurrentFile());
        m_session.file().clear();
        pShowPanelInfo(CurrentFile());
        return;
    }
    try {
        if (m_session.file().isNotes()) {
            // An existing notes file keeps its other notes; only note 1 is replaced.
            nSaveRecord(0, CurrentFile(), CreateMemoRTF());
            m_session.file().noteCount = myFileSize(CurrentFile());
            updateStepButtons();
            pShowPanelInfo(CurrentFile());
        } else {
            writeDocument(CurrentFile());
            pShowPanelInfo(CurrentFile());
            m_session.file().shownEdited = false;
        }
    } catch (...) {
        resetToNoFile();
        setEditorText(kLineBreak);
        throw;
    }
}

void TForm1::SaveFile2Click()
{
    if (tl::isExistingFile(CurrentFile())) {
        if (!canWriteBack()) {
            showReadOnlyWarning(CurrentFile());
            return;
        }
        // The store settles the note shown as it finds the file.
        if (notesFileOpen()) {
            StoreShownNote();
        } else {
            writeDocument(CurrentFile());
            m_session.file().shownEdited = false;
        }
    } else {
        if (memo1->document()->isEmpty())
            return;
        SaveFileAs2Click();
    }
    pShowPanelInfo(CurrentFile());
}

void TForm1::SaveFileAs2Click()
{
    const QString name = askSaveName();
    if (!name.isEmpty())
        SaveFileAs(name);
}

void TForm1::SaveFileAs(const QString &name)
{
    // Refused rather than silently skipped: the user asked for this name. A
    // document only browsed is not written over with what the editor made of it.
    if (tl::isExistingFile(name) && !writableTarget(name)) {
        showReadOnlyWarning(name);
        return;
    }
    if (tl::fileKindOf(name) != tl::FileKind::Notes) {
        writeDocument(name);
        m_session.file().renameTo(name);
        updateStepButtons();
        pShowPanelInfo(name);
        m_session.file().shownEdited = false;
        return;
    }
    if (notesFileOpen()) {
        // A copy of the file as last written; the note shown reaches the
        // copy at its next store.
        if (QFileInfo(name) == QFileInfo(CurrentFile())) {
            pShowPanelInfo(name);
            return;
        }
        tl::writeFileAtomically(name, tl::readWholeFile(CurrentFile()));
        // A working copy is done with: packed into its archive, as closing
        // it would, so the archive keeps what was written to it so far.
        if (m_session.file().isWorkingCopy() && CompressFile(PackWorkingCopy).isEmpty())
            return;  // told; the copy stays open
        m_session.file().archive.clear();
        m_session.file().path = name;  // a notes file still, holding the same notes
        // The copy of a compressed file's working copy belongs to no archive:
        // it must not be packed away (and deleted) when it is closed.
        if (!GetNotesParam(QStringLiteral("RealPath")).isEmpty())
            SetNotesParam(QStringLiteral("RealPath"), QString());
        pShowPanelInfo(name);
        return;
    }
    replaceWithNewNotesFile(name);
    m_session.file().adopt(name);  // at the new file's only note; the editor's text is stored there next
    updateStepButtons();
    pShowPanelInfo(name);
}

bool TForm1::CreateNewFile()
{
    const QString name = askSaveName();
    if (name.isEmpty())
        return false;
    if (QFileInfo::exists(name) && (tl::isReadOnlyFile(name) || !QFile::remove(name))) {
        m_services.dialogs->messageBox(this, QStringLiteral("Warning"),
                                       QStringLiteral("File \"") + name + QStringLiteral("\" Read Only!"),
                                       tl::MsgButtons::Ok, tl::MsgIcon::Warning);
        return false;
    }
    m_session.file().adopt(name);
    nSaveRecord(0, CurrentFile(), QString());
    return true;
}
