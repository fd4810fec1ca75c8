#include "notes/notesync.h"

#include <algorithm>

namespace tl::sync {

int locate(const NoteList &notes, int index, QByteArrayView stored)
{
    const int count = notes.count();
    if (count <= 0)
        return -1;
    index = std::clamp(index, 0, count - 1);
    for (int d = 0; d < count; ++d) {
        const int before = index - d, after = index + d;
        if (before < 0 && after >= count)
            break;
        if (before >= 0 && notes.holds(before, stored))
            return before;
        if (d > 0 && after < count && notes.holds(after, stored))
            return after;
    }
    return -1;
}

Plan planStore(const NoteList &notes, const ShownNote &shown, QByteArrayView ours, bool edited)
{
    const bool differs = ours != QByteArrayView(shown.stored);
    edited = edited && differs;
    const int count = notes.count();
    Plan plan;
    const int found = locate(notes, shown.index, shown.stored);
    if (found >= 0) {
        // Where it is, the note is written as the editor holds it, edited or
        // only put in the editor's own form.
        plan.index = found;
        if (differs && !notes.holds(found, ours))
            plan.action = Plan::Replace;
        return plan;
    }
    plan.lost = true;
    if (!edited) {
        plan.index = std::clamp(shown.index, 0, std::max(count - 1, 0));
        return plan;
    }
    // The other side may hold our text already (it took the file from us).
    const int already = locate(notes, shown.index, ours);
    if (already >= 0) {
        plan.index = already;
        plan.lost = false;
        return plan;
    }
    plan.action = Plan::Insert;
    plan.index = std::clamp(shown.index, 0, count);
    if (shown.before)
        if (const int before = locate(notes, shown.index - 1, *shown.before); before >= 0)
            plan.index = before + 1;
    return plan;
}

QByteArray storedForm(const QString &text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized.toUtf8();
}

} // namespace tl::sync
