#pragma once
// The XML side of a notes file, for the code that walks its document: the
// record store and the find bar's search over every note.

#include "notes/trash.h"

#include <QDateTime>
#include <QString>
#include <pugixml.hpp>

#include <vector>

namespace tl {

// Parses the notes file at path into doc, reading its bytes straight into a
// buffer the document keeps, and checks it has its info and notes blocks.
// Throws tl::Error naming the file and the reason; doc is empty then.
void loadNotesDocument(pugi::xml_document &doc, const QString &path);

// The index-th element child of parent (text between elements is skipped).
pugi::xml_node nthElement(pugi::xml_node parent, int index);

// The trash (notes/trash.h): the <trash> element right after <notes>, or
// none; with create, made there when missing.
pugi::xml_node trashElement(pugi::xml_node root, bool create = false);

namespace trash {

// Moves note (a child of notes, at index position) to the end of root's
// trash, stamped with when.
void moveIn(pugi::xml_node root, pugi::xml_node note, int position, const QDateTime &when);
// The trash in file order.
std::vector<TrashedNote> list(pugi::xml_node root);
// The element of the trash that still holds which (its slot first, then any
// other with the same text and time); empty when none.
pugi::xml_node find(pugi::xml_node root, const TrashedNote &which);
// Puts a trashed note back among the notes at its old position, or at the end
// when there are fewer notes now; returns the index it took.
int restore(pugi::xml_node root, pugi::xml_node trashed);
// Deletes a trashed note for good; a trash left empty goes with it.
void discard(pugi::xml_node root, pugi::xml_node trashed);
// Drops what the limits no longer keep; true when something left.
bool prune(pugi::xml_node root, const TrashLimits &limits, const QDateTime &now);

} // namespace trash

} // namespace tl
