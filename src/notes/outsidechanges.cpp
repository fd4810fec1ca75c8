// The open notes file as others change it: a sync tool writing the other
// machine's edits, the same file open twice. Every store already works on
// the file as it is now (notes/notesync.h); this keeps the window in step
// between stores: the note shown follows an outside change at once unless
// it holds an edit, and a file deleted outside leaves its text in the editor.

#include "app/TForm1.h"

#include "controls/guarded.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace {
// Sync tools write in bursts (a temporary file, a rename, times set after).
constexpr int kSettleMs = 150;
} // namespace

void TForm1::followOpenFile()
{
    const QString target = m_open.isWorkingCopy() ? m_open.archive : m_open.isNotes() ? CurrentFile : QString();
    if (target != m_watched) {
        if (m_watcher) {
            if (!m_watcher->files().isEmpty())
                m_watcher->removePaths(m_watcher->files());
            if (!m_watcher->directories().isEmpty())
                m_watcher->removePaths(m_watcher->directories());
        }
        m_watched = target;
        m_toldGone = false;
        m_followedId = {};
        m_syncNotice.clear();
        if (target.isEmpty())
            return;
        if (!m_watcher) {
            m_watcher = new QFileSystemWatcher(this);
            m_watchSettle = new QTimer(this);
            m_watchSettle->setSingleShot(true);
            m_watchSettle->setInterval(kSettleMs);
            tl::connectGuarded(m_watchSettle, &QTimer::timeout, this, [this] { checkOpenFile(); });
            auto settle = [this] { m_watchSettle->start(); };
            connect(m_watcher, &QFileSystemWatcher::fileChanged, this, settle);
            connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, settle);
        }
        // The folder too: a file replaced by a rename loses its watch.
        m_watcher->addPath(QFileInfo(target).absolutePath());
        tl::fileIdOf(target, &m_followedId);
    }
    if (!target.isEmpty() && !m_watcher->files().contains(target) && QFileInfo::exists(target))
        m_watcher->addPath(target);
}

void TForm1::checkOpenFile()
{
    followOpenFile();  // follows the open file, and watches it again after a replacing rename
    if (m_watched.isEmpty())
        return;
    if (!QFileInfo(m_watched).isFile()) {
        fileGoneOutside();
        return;
    }
    tl::FileId id;
    if (!tl::fileIdOf(m_watched, &id) || id == m_followedId)
        return;
    m_followedId = id;
    const bool wasGone = m_toldGone;
    m_toldGone = false;
    if (m_open.isWorkingCopy() && m_watched == m_open.archive) {
        // The archive's notes, with ours again, are now the working copy.
        m_syncNotice.clear();
        if (mergeArchiveChanges(true))
            followOutsideChange(m_syncNotice);
        return;
    }
    if (m_watched != CurrentFile || (!wasGone && m_records.isAsLastWritten(CurrentFile)))
        return;  // our own write
    followOutsideChange();
}

void TForm1::followOutsideChange(const QString &notice)
{
    m_syncNotice = notice.isEmpty() ? QStringLiteral(" - changed outside") : notice;
    const bool edited = m_open.shownEdited && tl::sync::storedForm(CreateMemoRTF()) != m_open.shown.stored;
    if (edited || m_open.shown.index < 0) {
        // The edit stays; the next store puts it into the file as it is then.
        m_open.noteCount = myFileSize(CurrentFile);
        updateStepButtons();
        pShowPanelInfo(CurrentFile);
        return;
    }
    int count = 0;
    const int at = m_records.locateShown(CurrentFile, m_open.shown, &count);
    SearchCounters.follow(m_open.shown.index, at >= 0 ? at : std::clamp(m_open.shown.index, 0, std::max(count - 1, 0)),
                          count);
    if (at >= 0) {
        // The same note, perhaps at another place: nothing to load.
        CurrentNote = at;
        m_open.shown.index = at;
        m_open.noteCount = count;
        updateStepButtons();
        pShowPanelInfo(CurrentFile);
        return;
    }
    // Changed outside: its new text, with the caret and the view where they were.
    const int caret = memo1->textCursor().position();
    const int scrolled = memo1->verticalScrollBar()->value();
    const bool focused = memo1->hasFocus();
    showNote(m_open.shown.index);
    QTextCursor c = memo1->textCursor();
    c.setPosition(std::min(caret, memo1->document()->characterCount() - 1));
    memo1->setTextCursor(c);
    memo1->verticalScrollBar()->setValue(scrolled);
    if (focused)
        memo1->setFocus();
}

void TForm1::fileGoneOutside()
{
    if (m_toldGone)
        return;
    m_toldGone = true;
    m_followedId = {};
    m_syncNotice = QStringLiteral(" - the file was deleted outside: Save As keeps this note");
    pShowPanelInfo(CurrentFile);
    const QString name = QDir::toNativeSeparators(m_watched);
    if (m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
            QStringLiteral("\"%1\" was deleted or replaced by a folder outside Tessaleaf.\n\n"
                           "The note shown stays in the editor. Save it under another name?")
                .arg(name),
            tl::MsgButtons::YesNo, tl::MsgIcon::Warning)
        == tl::MsgResult::Yes)
        SaveFileAs2Click();
}
