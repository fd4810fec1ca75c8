#include "notes/notesession.h"

#include <QFileInfo>

#include <algorithm>

namespace tl {

NotesSession::NotesSession(RecordStore::NewFileSource newFileFields)
    : m_records(std::move(newFileFields)),
      m_follower(std::make_unique<FileFollower>([this] { return watchedPath(); }))
{
    m_records.setBeforeWrite([this](const QString &path) { backUpBeforeWrite(path); });
}

NotesSession::~NotesSession() = default;

QString NotesSession::watchedPath() const
{
    return m_file.isWorkingCopy() ? m_file.archive : m_file.isNotes() ? m_file.path : QString();
}

NotesSession::Change NotesSession::changeSeen(bool wasGone) const
{
    const QString &changed = m_follower->path();
    if (m_file.isWorkingCopy() && changed == m_file.archive)
        return Change::Archive;
    if (changed != m_file.path || (!wasGone && m_records.isAsLastWritten(m_file.path)))
        return Change::Own;
    return Change::Notes;
}

NotesSession::Followed NotesSession::followOutsideChange(const QString &text)
{
    Followed followed;
    const bool edited = m_file.shownEdited && sync::storedForm(text) != m_file.shown.stored;
    if (edited || m_file.shown.index < 0) {
        m_file.noteCount = m_records.noteCount(m_file.path);
        return followed;
    }
    int count = 0;
    const int at = m_records.locateShown(m_file.path, m_file.shown, &count);
    followed.from = m_file.shown.index;
    followed.to = at >= 0 ? at : std::clamp(m_file.shown.index, 0, std::max(count - 1, 0));
    followed.count = count;
    if (at < 0) {
        // Changed outside: the window reads it again.
        followed.action = Followed::Reload;
        return followed;
    }
    // The same note, perhaps at another place: nothing to load.
    followed.action = Followed::Moved;
    m_file.note = at;
    m_file.shown.index = at;
    m_file.noteCount = count;
    return followed;
}

QString NotesSession::loadNote(int index, const QString &path)
{
    int count = 0;
    const QString text = m_records.loadNote(index, path, &count);
    m_file.note = index;
    m_file.noteCount = count;
    if (path == m_file.path) {
        m_file.shown = {index, sync::storedForm(text), std::nullopt};
        if (index > 0)
            m_file.shown.before = sync::storedForm(m_records.loadNote(index - 1, path));
    }
    return text;
}

NotesSession::Stored NotesSession::storeShown(const QString &path, const QString &text)
{
    Stored result;
    result.from = m_file.note;
    if (m_file.shown.index < 0) {
        // Nothing loaded from this file yet: the note goes where it stands,
        // and holds no edit the file lacks.
        m_records.saveNote(m_file.note, path, text);
        if (path == m_file.path)
            m_file.shownEdited = false;
        return result;
    }
    const RecordStore::Stored stored = m_records.storeShown(path, m_file.shown, text, m_file.shownEdited);
    const sync::Plan &plan = stored.plan;
    result.looked = true;
    if (plan.action != sync::Plan::Nothing && m_file.isWorkingCopy() && path == m_file.path)
        m_file.pending.push_back({sync::PendingEdit::Store, m_file.shown, text});
    result.moved = plan.index != m_file.note || stored.count != m_file.noteCount;
    m_file.note = plan.index;
    m_file.noteCount = stored.count;
    if (plan.action != sync::Plan::Nothing) {
        m_file.shown = {plan.index, sync::storedForm(text), std::nullopt};
        if (plan.index > 0)
            m_file.shown.before = sync::storedForm(m_records.loadNote(plan.index - 1, path));
        m_file.shownEdited = false;
    } else if (!plan.lost) {
        m_file.shown.index = plan.index;
    }
    if (plan.action == sync::Plan::Insert)
        result.keptBoth = keptBothNotice(plan.index, stored.count);
    return result;
}

void NotesSession::appendNote()
{
    const int count = m_records.noteCount(m_file.path);
    m_records.saveNote(count, m_file.path, QString());
    if (m_file.isWorkingCopy())
        m_file.pending.push_back({sync::PendingEdit::Append, {}, {}});
    m_file.unheld = 0;
    m_file.note = count;
    m_file.noteCount = count + 1;
    m_file.shown = {count, {}, std::nullopt};
    m_file.shownEdited = false;
}

NotesSession::Notice NotesSession::keptBothNotice(int index, int count) const
{
    const QString name = QFileInfo(m_file.archive.isEmpty() ? m_file.path : m_file.archive).fileName();
    if (index + 1 < count)
        return {QStringLiteral(" - changed outside too: both kept, the other as note %1").arg(index + 2),
                QStringLiteral("Note %1 of \"%2\" was changed outside Tessaleaf while it was edited here.\n\n"
                               "Both are kept: the version edited here is note %1, the note that took its place "
                               "in the file is note %3.")
                    .arg(index + 1).arg(name).arg(index + 2)};
    return {QStringLiteral(" - removed outside: kept again"),
            QStringLiteral("Note %1 of \"%2\" was removed outside Tessaleaf while it was edited here.\n\n"
                           "The version edited here is kept as note %1.")
                .arg(index + 1).arg(name)};
}

} // namespace tl
