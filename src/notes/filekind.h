#pragma once
// What kind of file a path names, told by its extension. Opening and closing
// compare the extension exactly ("Diary.NTS" is a document); the choice of
// RTF or plain text when writing a document ignores case.

#include <QString>

namespace tl {

enum class FileKind { Notes, Compressed, Document };

// The extension with its dot ("" when the name has none).
QString extensionOf(const QString &path);

// ".nts" a notes file, ".znts" a compressed one, anything else a document.
FileKind fileKindOf(const QString &path);

// A document written under this name is written as RTF (".rtf" in any case).
bool writesRtf(const QString &path);

// A regular file (or a link to one) is there; false for "" and folders.
bool isExistingFile(const QString &path);

} // namespace tl
