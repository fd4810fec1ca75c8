#include "notes/backuprestore.h"

#include "notes/recordstore.h"
#include "platform/atomicfile.h"

namespace tl::backup {

std::vector<Difference> differences(const std::vector<QString> &backup, const std::vector<QString> &file)
{
    const size_t n = backup.size(), m = file.size();
    // Longest common subsequence, filled from the ends.
    std::vector<std::vector<int>> run(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            run[i][j] = backup[i] == file[j] ? run[i + 1][j + 1] + 1 : std::max(run[i + 1][j], run[i][j + 1]);
    std::vector<Difference> result;
    std::vector<int> onlyBackup, onlyFile;
    auto flush = [&] {
        const size_t paired = std::min(onlyBackup.size(), onlyFile.size());
        for (size_t k = 0; k < std::max(onlyBackup.size(), onlyFile.size()); ++k) {
            Difference d;
            if (k < paired) {
                d.kind = Difference::Changed;
                d.backupIndex = onlyBackup[k];
                d.fileIndex = onlyFile[k];
            } else if (k < onlyBackup.size()) {
                d.kind = Difference::Removed;
                d.backupIndex = onlyBackup[k];
            } else {
                d.kind = Difference::Added;
                d.fileIndex = onlyFile[k];
            }
            if (d.backupIndex >= 0)
                d.backupText = backup[size_t(d.backupIndex)];
            if (d.fileIndex >= 0)
                d.fileText = file[size_t(d.fileIndex)];
            result.push_back(d);
        }
        onlyBackup.clear();
        onlyFile.clear();
    };
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && backup[i] == file[j]) {
            flush();
            ++i;
            ++j;
        } else if (j >= m || (i < n && run[i + 1][j] >= run[i][j + 1])) {
            onlyBackup.push_back(int(i++));
        } else {
            onlyFile.push_back(int(j++));
        }
    }
    flush();
    return result;
}

std::vector<QString> notesOf(const QString &path)
{
    RecordStore store;
    int count = 0;
    std::vector<QString> notes;
    notes.push_back(store.loadNote(0, path, &count));
    for (int i = 1; i < count; ++i)
        notes.push_back(store.loadNote(i, path));
    return notes;
}

void restoreWhole(const QString &root, const QString &file, const QString &backup, const QDateTime &now)
{
    // Read first: a backup that cannot be read leaves everything as it is.
    const QByteArray bytes = readWholeFile(backup);
    take(root, file, now);
    writeFileAtomically(file, bytes);
}

} // namespace tl::backup
