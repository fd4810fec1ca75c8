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
// ".age" after a name stands for encryption: "Diary.nts.age" is a notes
// file (compression is not offered for encrypted files: ".znts.age" is a
// document). Whether a file is encrypted is told by its content.
FileKind fileKindOf(const QString &path);

// A document written under this name is written as RTF (".rtf" in any case).
bool writesRtf(const QString &path);

// A regular file (or a link to one) is there; false for "" and folders.
bool isExistingFile(const QString &path);

} // namespace tl
