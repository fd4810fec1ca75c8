// The notes session's side of the trash and the backups: what is restored
// or deleted for good in a working copy is made again in its archive's
// notes; a file about to be written is backed up first.

#include "notes/notesession.h"

#include "platform/paths.h"

#include <QDebug>

namespace tl {

std::vector<TrashedNote> NotesSession::trashed()
{
    return m_file.isNotes() ? m_records.trashed(m_file.path) : std::vector<TrashedNote>{};
}

int NotesSession::restoreTrashed(const TrashedNote &which)
{
    const int index = m_records.restoreTrashed(m_file.path, which);
    if (index < 0)
        return index;
    if (m_file.isWorkingCopy())
        m_file.pending.push_back({sync::PendingEdit::Restore, {index, {}, std::nullopt}, which.text});
    ++m_file.noteCount;
    if (m_file.note >= index)
        ++m_file.note;
    if (m_file.shown.index >= index)
        ++m_file.shown.index;
    return index;
}

bool NotesSession::discardTrashed(const TrashedNote &which)
{
    if (!m_records.discardTrashed(m_file.path, which))
        return false;
    if (m_file.isWorkingCopy())
        m_file.pending.push_back({sync::PendingEdit::Discard, {}, which.text});
    return true;
}

bool NotesSession::emptyTrash()
{
    const std::vector<TrashedNote> all = m_records.trashed(m_file.path);
    if (!m_records.emptyTrash(m_file.path))
        return false;
    if (m_file.isWorkingCopy())
        for (const TrashedNote &t : all)
            m_file.pending.push_back({sync::PendingEdit::Discard, {}, t.text});
    return true;
}

int NotesSession::appendRestored(const QString &text)
{
    const int count = m_records.noteCount(m_file.path);
    m_records.saveNote(count, m_file.path, text);
    if (m_file.isWorkingCopy())
        m_file.pending.push_back({sync::PendingEdit::Restore, {count, {}, std::nullopt}, text});
    m_file.noteCount = count + 1;
    return count;
}

QString NotesSession::backupsFolder()
{
    return paths::dataFolder() + QStringLiteral("/backups");
}

void NotesSession::backUpBeforeWrite(const QString &path)
{
    // The user's file of a working copy is its archive, as it is on disk.
    const QString file = m_file.isWorkingCopy() && path == m_file.path ? m_file.archive : path;
    try {
        m_backups.beforeWrite(file);
    } catch (const std::exception &e) {
        // The edit matters more than its backup: the write goes on.
        qWarning().noquote() << e.what();
    }
}

} // namespace tl
