// What the editor holds when it cannot go where it belongs: a store the file
// refuses, text typed with no file open, a way out with nobody to answer.
// Where someone can answer, the step or the exit stops and Save As is
// offered; where nobody can, the text goes to a recovery file.

#include "app/TForm1.h"

#include "notes/filekind.h"
#include "notes/recovery.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "settings/settingstable.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
bool isFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

bool TForm1::shownNoteEdited() const
{
    if (!m_session.file().isNotes() || !m_session.file().shownEdited)
        return false;
    return m_session.file().shown.index < 0 || tl::sync::storedForm(CreateMemoRTF()) != m_session.file().shown.stored;
}

bool TForm1::hasScratchText() const
{
    return CurrentFile().isEmpty() && !memo1->toPlainText().trimmed().isEmpty();
}

QString TForm1::shownNoteRefusal() const
{
    if (CurrentFile().isEmpty() || !shownNoteEdited())
        return {};
    if (!isFile(CurrentFile()))
        return QStringLiteral("\"%1\" is no longer a notes file (deleted, or something else in its place).")
            .arg(shown(CurrentFile()));
    if (tl::isReadOnlyFile(CurrentFile()))
        return QStringLiteral("Cannot write \"%1\": the file is read-only.").arg(shown(CurrentFile()));
    if (!canWriteBack())
        return QStringLiteral("Cannot write \"%1\": the note holds what the editor cannot keep.").arg(shown(CurrentFile()));
    return {};
}

QString TForm1::documentRefusal() const
{
    if (CurrentFile().isEmpty() || m_session.file().isNotes() || !Modified())
        return {};
    if (!isFile(CurrentFile()))
        return QStringLiteral("\"%1\" no longer exists.").arg(shown(CurrentFile()));
    if (tl::isReadOnlyFile(CurrentFile()))
        return QStringLiteral("Cannot write \"%1\": the file is read-only.").arg(shown(CurrentFile()));
    return {};
}

bool TForm1::keepShownNote()
{
    // A document is written whole at Save or close, never as a note.
    if (!m_session.file().isNotes())
        return true;
    QString reason = shownNoteRefusal();
    if (reason.isEmpty()) {
        try {
            StoreShownNote();
            return true;
        } catch (const tl::Error &e) {
            reason = e.message();
        }
    }
    pShowPanelInfo(CurrentFile());
    if (m_unattended)
        return false;
    if (m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
            reason + QStringLiteral("\n\nNote %1 was not stored and stays in the editor. Save it under another name?")
                         .arg(CurrentNote() + 1),
            tl::MsgButtons::YesNo, tl::MsgIcon::Warning)
        == tl::MsgResult::Yes)
        saveElsewhere();
    // Typing goes on where it was, not on the step button just clicked.
    memo1->setFocus();
    return false;
}

bool TForm1::saveElsewhere()
{
    const QString before = CurrentFile();
    SaveFileAs2Click();
    if (CurrentFile().isEmpty() || CurrentFile() == before || !canWriteBack())
        return false;  // cancelled, or told why not
    // A notes file made for the text gets it at once, not at the next step.
    if (m_session.file().isNotes())
        StoreShownNote();
    pShowPanelInfo(CurrentFile());
    return true;
}

bool TForm1::readyToExit()
{
    QString text;
    QString question = QStringLiteral("Save it under another name before Tessaleaf ends?");
    if (hasScratchText()) {
        if (!isOn(tl::setting::AskExit))
            return true;
        text = QStringLiteral("The text in the editor is in no file.");
        question = QStringLiteral("Save it in a file before Tessaleaf ends?");
    } else if (m_session.file().isNotes()) {
        QString reason = shownNoteRefusal();
        if (reason.isEmpty() && notesFileOpen()) {
            try {
                StoreShownNote();
            } catch (const tl::Error &e) {
                reason = e.message();
            }
        }
        if (reason.isEmpty())
            return true;
        pShowPanelInfo(CurrentFile());
        text = reason + QStringLiteral("\n\nNote %1 was not stored and stays in the editor.").arg(CurrentNote() + 1);
    } else if (const QString reason = documentRefusal(); !reason.isEmpty()) {
        text = reason + QStringLiteral("\n\nThe changes stay in the editor.");
    } else {
        return true;
    }
    switch (m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
                                           text + QStringLiteral("\n\n") + question,
                                           tl::MsgButtons::SaveAsDiscardCancel, tl::MsgIcon::Warning)) {
    case tl::MsgResult::Yes:
        return saveElsewhere();
    case tl::MsgResult::No:
        m_discarded = true;
        return true;
    default:
        memo1->setFocus();
        return false;
    }
}

QString TForm1::unstoredReason() const
{
    if (m_discarded)
        return {};
    if (hasScratchText())
        return m_unattended ? QStringLiteral("no file was open") : QString();
    if (m_session.file().isNotes())
        return shownNoteRefusal();
    if (const QString reason = documentRefusal(); !reason.isEmpty())
        return reason;
    // The save question cannot be asked, and the file is not written unasked.
    if (m_unattended && Modified() && !CurrentFile().isEmpty()
        && GetFromReg(tl::setting::AskBySave).toLower() == QLatin1String("true"))
        return QStringLiteral("the question about saving \"%1\" could not be asked").arg(shown(CurrentFile()));
    return {};
}

void TForm1::keepInRecovery(const QString &why)
{
    if (m_recovered)
        return;
    QString reason = why;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);  // followed by more of the sentence
    QString what = QStringLiteral("Untitled");
    QString suffix = QStringLiteral(".rtf");
    QByteArray bytes;
    if (!CurrentFile().isEmpty() && m_session.file().isNotes()) {
        const QString file = m_session.file().archive.isEmpty() ? CurrentFile() : m_session.file().archive;
        what = QFileInfo(file).fileName() + QStringLiteral(" note %1").arg(CurrentNote() + 1);
    } else if (!CurrentFile().isEmpty()) {
        what = QFileInfo(CurrentFile()).completeBaseName();
        if (!m_session.file().rtf && !tl::writesRtf(CurrentFile())) {
            suffix = QStringLiteral(".txt");
            bytes = memo1->toPlainText().toUtf8();
        }
    }
    if (suffix == QLatin1String(".rtf"))
        bytes = memo1->rtfBytes();
    try {
        const QString kept = tl::recovery::keep(what, suffix, bytes);
        m_recovered = true;
        std::fprintf(stderr, "tessaleaf: %s: the text is kept in \"%s\"\n", qPrintable(reason), qPrintable(kept));
    } catch (const tl::Error &e) {
        std::fprintf(stderr, "tessaleaf: %s, and it could not be kept: %s\n", qPrintable(reason),
                     qPrintable(e.message()));
    }
}

void TForm1::closeKeepingText()
{
    if (isFile(CurrentFile())) {
        try {
            CloseNotes(CurrentFile());
        } catch (const tl::Error &e) {
            if (!m_discarded)
                keepInRecovery(e.message());
            throw;
        }
    }
    // Read after the close: a signal may have cancelled its question.
    if (const QString reason = unstoredReason(); !reason.isEmpty())
        keepInRecovery(reason);
}

void TForm1::tellRecovered()
{
    QStringList files;
    try {
        files = tl::recovery::untold();
        tl::recovery::markTold(files);
    } catch (const tl::Error &) {
        // Told at the next start, when the list can be written.
        return;
    }
    if (files.isEmpty())
        return;
    const QString newest = files.last();
    const QString text = files.size() == 1
        ? QStringLiteral("When Tessaleaf was ended last, it kept text it could not store in\n\"%1\".\n\nOpen it now?")
              .arg(shown(newest))
        : QStringLiteral("When Tessaleaf was ended, it kept text it could not store: %1 files in\n\"%2\".\n\n"
                         "Open the newest, \"%3\", now?")
              .arg(files.size())
              .arg(shown(tl::recovery::folder()), QFileInfo(newest).fileName());
    if (m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf - Recovered Text"), text, tl::MsgButtons::YesNo,
                                       tl::MsgIcon::Information)
        == tl::MsgResult::Yes)
        File1Click(newest);
}
