#include "notes/openfile.h"

namespace tl {

void OpenFile::adopt(QString newPath)
{
    renameTo(std::move(newPath));
    note = 0;
}

void OpenFile::renameTo(QString newPath)
{
    kind = fileKindOf(newPath);
    path = std::move(newPath);
    noteCount = 0;
    rtf = false;
    faithful = true;
    unheld = 0;
    archive.clear();
    shown = {};
    shownEdited = false;
    pending.clear();
}

void OpenFile::clear()
{
    adopt(QString());
}

} // namespace tl
