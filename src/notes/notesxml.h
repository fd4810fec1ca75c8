#pragma once
// The XML side of a notes file, for the code that walks its document: the
// record store and the find bar's search over every note.

#include <QString>
#include <pugixml.hpp>

namespace tl {

// Parses the notes file at path into doc, reading its bytes straight into a
// buffer the document keeps, and checks it has its info and notes blocks.
// Throws tl::Error naming the file and the reason; doc is empty then.
void loadNotesDocument(pugi::xml_document &doc, const QString &path);

// The index-th element child of parent (text between elements is skipped).
pugi::xml_node nthElement(pugi::xml_node parent, int index);

} // namespace tl
