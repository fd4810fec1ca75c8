#include "notes/trash.h"

#include "notes/notesxml.h"
#include "richtext/rtfdocument.h"

#include <algorithm>
#include <string>

namespace tl {

namespace {

const char kTrash[] = "trash";
const char kDeleted[] = "deleted";
const char kPosition[] = "position";

QString stamp(const QDateTime &when)
{
    return when.toUTC().toString(Qt::ISODate);
}

QDateTime deletedOf(pugi::xml_node note)
{
    // Written by us in UTC; another writer's offset is honoured.
    QDateTime when = QDateTime::fromString(QString::fromUtf8(note.attribute(kDeleted).value()), Qt::ISODate);
    return when.isValid() ? when.toUTC() : QDateTime();
}

QString textOf(pugi::xml_node note)
{
    std::string text;
    for (pugi::xml_node n = note.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

std::vector<pugi::xml_node> elementsOf(pugi::xml_node parent)
{
    std::vector<pugi::xml_node> nodes;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            nodes.push_back(n);
    return nodes;
}

void dropIfEmpty(pugi::xml_node root)
{
    pugi::xml_node trash = trashElement(root);
    if (trash && elementsOf(trash).empty())
        root.remove_child(trash);
}

} // namespace

pugi::xml_node trashElement(pugi::xml_node root, bool create)
{
    pugi::xml_node notes = nthElement(root, 1);
    const pugi::xml_node third = nthElement(root, 2);
    if (third && std::string_view(third.name()) == kTrash)
        return third;
    if (!create || !notes)
        return {};
    return root.insert_child_after(kTrash, notes);
}

namespace trash {

void moveIn(pugi::xml_node root, pugi::xml_node note, int position, const QDateTime &when)
{
    pugi::xml_node moved = trashElement(root, true).append_move(note);
    moved.remove_attribute(kDeleted);
    moved.remove_attribute(kPosition);
    moved.append_attribute(kDeleted).set_value(stamp(when).toUtf8().constData());
    moved.append_attribute(kPosition).set_value(position);
}

std::vector<TrashedNote> list(pugi::xml_node root)
{
    std::vector<TrashedNote> notes;
    int slot = 0;
    for (const pugi::xml_node n : elementsOf(trashElement(root)))
        notes.push_back({textOf(n), deletedOf(n), std::max(0, n.attribute(kPosition).as_int()), slot++});
    return notes;
}

pugi::xml_node find(pugi::xml_node root, const TrashedNote &which)
{
    const std::vector<pugi::xml_node> nodes = elementsOf(trashElement(root));
    auto same = [&](pugi::xml_node n) { return deletedOf(n) == which.deleted && textOf(n) == which.text; };
    // Another writer may have changed the trash since it was listed.
    if (which.slot >= 0 && which.slot < int(nodes.size()) && same(nodes[size_t(which.slot)]))
        return nodes[size_t(which.slot)];
    for (const pugi::xml_node n : nodes)
        if (same(n))
            return n;
    return {};
}

int restore(pugi::xml_node root, pugi::xml_node trashed)
{
    pugi::xml_node notes = nthElement(root, 1);
    const std::vector<pugi::xml_node> now = elementsOf(notes);
    const int position = std::max(0, trashed.attribute(kPosition).as_int());
    pugi::xml_node moved;
    int index = position;
    if (position < int(now.size())) {
        moved = notes.insert_move_before(trashed, now[size_t(position)]);
    } else {
        moved = notes.append_move(trashed);
        index = int(now.size());
    }
    moved.remove_attribute(kDeleted);
    moved.remove_attribute(kPosition);
    dropIfEmpty(root);
    return index;
}

void discard(pugi::xml_node root, pugi::xml_node trashed)
{
    trashed.parent().remove_child(trashed);
    dropIfEmpty(root);
}

bool prune(pugi::xml_node root, const TrashLimits &limits, const QDateTime &now)
{
    pugi::xml_node trash = trashElement(root);
    if (!trash)
        return false;
    std::vector<pugi::xml_node> nodes = elementsOf(trash);
    std::vector<pugi::xml_node> leaving;
    if (limits.days > 0) {
        const QDateTime oldest = now.toUTC().addDays(-limits.days);
        // A note with no time we can read stays: its age is unknown.
        std::erase_if(nodes, [&](pugi::xml_node n) {
            const QDateTime when = deletedOf(n);
            if (when.isValid() && when < oldest) {
                leaving.push_back(n);
                return true;
            }
            return false;
        });
    }
    if (limits.count > 0 && int(nodes.size()) > limits.count) {
        // Oldest first by time, file order among equals.
        std::stable_sort(nodes.begin(), nodes.end(), [](pugi::xml_node a, pugi::xml_node b) {
            return deletedOf(a) < deletedOf(b);
        });
        leaving.insert(leaving.end(), nodes.begin(), nodes.end() - limits.count);
    }
    for (const pugi::xml_node n : leaving)
        trash.remove_child(n);
    dropIfEmpty(root);
    return !leaving.empty();
}

std::vector<TrashedNote> newestFirst(std::vector<TrashedNote> notes)
{
    std::stable_sort(notes.begin(), notes.end(), [](const TrashedNote &a, const TrashedNote &b) {
        return a.deleted != b.deleted ? a.deleted > b.deleted : a.slot > b.slot;
    });
    return notes;
}

QString firstLine(const QString &rtf)
{
    const QByteArray bytes = rtf.toUtf8();
    const QString plain = rtf::toPlainText(std::string_view(bytes.constData(), size_t(bytes.size())));
    for (const QString &line : plain.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            return trimmed;
    }
    return {};
}

} // namespace trash
} // namespace tl
