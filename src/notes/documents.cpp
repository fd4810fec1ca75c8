// Every file enters and leaves the main window here: notes files one note at
// a time, anything else whole as a text or RTF document.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "notes/filekind.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/textencoding.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"
#include "settings/settingstable.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>


bool TForm1::notesFileOpen() const
{
    return tl::isExistingFile(CurrentFile()) && m_session.file().isNotes();
}

bool TForm1::writableTarget(const QString &path) const
{
    // The open file is written back only if it was read as it is.
    return !tl::isReadOnlyFile(path) && ((m_session.file().faithful && m_session.file().unheld == 0) || path != CurrentFile());
}

void TForm1::updateStepButtons()
{
    cmdBack->setEnabled(m_session.file().hasPreviousNote());
    cmdNext->setEnabled(m_session.file().hasNextNote());
}

bool TForm1::canWriteBack() const
{
    return tl::isExistingFile(CurrentFile()) && writableTarget(CurrentFile());
}

void TForm1::StoreShownNote()
{
    // A read-only notes file is browsed: nothing could be typed into it.
    if (canWriteBack())
        storeShownInto(CurrentFile());
}

void TForm1::storeShownInto(const QString &path)
{
    m_syncNotice.clear();
    const tl::NotesSession::Stored stored = m_session.storeShown(path, CreateMemoRTF());
    if (!stored.looked)
        return;
    if (stored.moved)
        SearchCounters.follow(stored.from, CurrentNote(), m_session.file().noteCount);
    updateStepButtons();
    if (stored.keptBoth)
        tellOutsideNotice(*stored.keptBoth);
}

void TForm1::tellOutsideNotice(const tl::NotesSession::Notice &notice)
{
    m_syncNotice = notice.bar;
    // Closing at the end asks nothing: the file says it all.
    if (m_destroyed)
        return;
    m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"), notice.message, tl::MsgButtons::Ok,
                                   tl::MsgIcon::Warning);
}

void TForm1::OpenNotes(const QString &path)
{
    if (!tl::isExistingFile(path))
        return;
    if (tl::fileKindOf(path) == tl::FileKind::Compressed) {
        openCompressed(path);
        return;
    }
    m_session.file().adopt(path);
    showOpenedFile();
}

void TForm1::showOpenedFile()
{
    try {
        if (m_session.file().isNotes()) {
            // Loading the first note sets the step buttons.
            setEditorText(nLoadRecord(0, CurrentFile()));
        } else {
            updateStepButtons();
            loadDocument(CurrentFile());
        }
        pShowPanelInfo(CurrentFile());
    } catch (...) {
        // Left open, a file that did not load would get the editor's text
        // written into it at the next store or close.
        resetToNoFile();
        throw;
    }
    m_session.file().shownEdited = false;
}

void TForm1::openCompressed(const QString &archivePath)
{
    m_session.file().adopt(archivePath);
    if (DecompressFile(UnpackWorkingCopy).isEmpty()) {
        // Told already; nothing is open, and the archive stays as it was.
        resetToNoFile();
        pShowPanelInfo(CurrentFile());
        return;
    }
    showOpenedFile();
    CurrentZipLevel = std::clamp(tl::strToInt(GetNotesParam(QStringLiteral("CompressLevel"))), 0, 9);
}

void TForm1::loadDocument(const QString &path)
{
    const QByteArray bytes = tl::readWholeFile(path);
    m_session.file().textFormat = {};
    m_session.file().textNotice.clear();
    m_session.file().faithful = true;
    m_session.file().unheld = 0;
    m_session.file().rtf = tl::rtf::looksLikeRtf(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (m_session.file().rtf) {
        // The reader decodes by the document's own code page.
        memo1->setContentRtf(bytes);
        m_session.file().unheld = memo1->unheldContent();
        return;
    }
    const tl::DecodedText decoded = tl::decodeText(bytes, tl::localeCodePage());
    // A binary file (an archive, a picture) would come back changed: it is
    // only browsed.
    m_session.file().faithful = !decoded.binary;
    m_session.file().textFormat = decoded.format;
    memo1->setContentText(decoded.text);
}

void TForm1::writeDocument(const QString &path)
{
    // An RTF document gets rich text back, and so does the open document
    // that was read as RTF; any other text file stays plain text.
    if (tl::writesRtf(path) || (path == CurrentFile() && m_session.file().rtf)) {
        tl::writeFileAtomically(path, memo1->rtfBytes());
        return;
    }
    // The raw text: the plain one has its no-break spaces made spaces.
    const QString text = memo1->document()->toRawText();
    const tl::TextFormat format = tl::formatToHold(text, m_session.file().textFormat);
    tl::writeFileAtomically(path, tl::encodeText(text, format));
    if (format == m_session.file().textFormat)
        return;
    const qsizetype unfit = tl::firstUnfit(text, m_session.file().textFormat);
    const QString character = text.mid(unfit, text.at(unfit).isHighSurrogate() ? 2 : 1);
    m_session.file().textNotice = QStringLiteral(" - saved as %1: %2 has no \"%3\"")
                            .arg(tl::encodingName(format), tl::encodingName(m_session.file().textFormat), character);
    m_session.file().textFormat = format;
}

QString TForm1::browsedReason() const
{
    // A read-only file says it all.
    if (CurrentFile().isEmpty() || tl::isReadOnlyFile(CurrentFile()))
        return {};
    if (m_session.file().unheld)
        return QStringLiteral("a save would lose its %1").arg(tl::rtf::unheldText(m_session.file().unheld));
    if (!m_session.file().faithful)
        return QStringLiteral("a binary file, not text");
    return {};
}

void TForm1::resetToNoFile()
{
    m_session.file().clear();
    updateStepButtons();
    memo1->clear();
    memo1->setReadOnly(false);
    Panel1->setText(noFileText());
    m_session.file().shownEdited = false;
}

void TForm1::CloseNotes(const QString &path)
{
    if (!tl::isExistingFile(path))
        return;
    if (tl::fileKindOf(path) == tl::FileKind::Notes) {
        if (writableTarget(path)) {
            if (path == CurrentFile())
                storeShownInto(path);
            else
                nSaveRecord(CurrentNote(), path, CreateMemoRTF());
        }
        // The working copy goes back into its archive; a notes file that
        // only names one in its realpath (unpacked by another tool, say) is
        // the user's own file and stays where it is.
        if (m_session.file().isWorkingCopy() && path == CurrentFile()) {
            // What the other side put into the archive meanwhile stays.
            mergeArchiveChanges(false);
            const QString archivePath = CompressFile(PackWorkingCopy);
            if (!archivePath.isEmpty())
                m_session.file().renameTo(archivePath);
        }
        return;
    }
    if (tl::fileKindOf(path) == tl::FileKind::Compressed) {
        if (m_session.file().isWorkingCopy() && path == m_session.file().archive)
            CloseNotes(CurrentFile());
        return;
    }
    if (!Modified() || !writableTarget(path))
        return;
    // The one switch read without regard to case: "TRUE" asks too.
    const bool ask = GetFromReg(tl::setting::AskBySave).toLower() == QLatin1String("true");
    if (ask && m_unattended)
        return;  // not written unasked; the way out keeps the text elsewhere
    if (ask
        && m_services.dialogs->messageBox(this, QStringLiteral("Подтверждение"),
                                          QStringLiteral("Сохранить изменения перед выходом?"),
                                          tl::MsgButtons::YesNo, tl::MsgIcon::Question)
            != tl::MsgResult::Yes)
        return;
    writeDocument(path);
    m_session.file().shownEdited = false;
}

void TForm1::pShowPanelInfo(const QString &path)
{
    if (CurrentFile().isEmpty()) {
        Panel1->setText(noFileText());
        setWindowTitle(QStringLiteral("Tessaleaf"));
        ModifyTray(uiText("MainForm.langnonfileintray"));
        memo1->setReadOnly(false);
        return;
    }
    // The state is read again each time: the file's permissions may change.
    const bool readOnly = tl::isExistingFile(CurrentFile()) && !canWriteBack();
    memo1->setReadOnly(readOnly);
    QString mark;
    if (readOnly) {
        const QString why = browsedReason();
        mark = why.isEmpty() ? QStringLiteral(" (read-only)") : QStringLiteral(" (read-only: %1)").arg(why);
    }
    if (m_session.file().isNotes()) {
        const QString realPath = GetNotesParam(QStringLiteral("RealPath"));
        const QString name = QFileInfo(realPath.isEmpty() ? path : realPath).fileName();
        setWindowTitle(QStringLiteral("Tessaleaf - ") + name);
        Panel1->setText(QStringLiteral("Note %1 of %2 from %3").arg(CurrentNote() + 1).arg(myFileSize(path)).arg(name)
                        + mark + m_syncNotice);
        ModifyTray(name);
    } else {
        const QString name = QFileInfo(path).fileName();
        setWindowTitle(QStringLiteral("Tessaleaf - ") + name);
        Panel1->setText(QStringLiteral("Text or RTF ") + name + mark + m_session.file().textNotice);
        ModifyTray(name);
    }
    followOpenFile();
}
