#pragma once
// Which file a path names and which version of it: enough to tell that a
// file read earlier is, byte for byte, still the one on disk (same file, same
// size, modified at the same nanosecond, its status last changed at the same
// nanosecond). The status change time is what no program can set back: a
// tool that rewrites a file in place and restores its modification time
// (rsync --inplace -t) still moves it.

#include <QString>

#include <cstdint>

namespace tl {

struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t mtimeNs = -1;  // last modification, nanoseconds since the epoch
    // Last change of content or status: unlike the modification time, no
    // program can set it back, as a copy that keeps times does.
    std::int64_t ctimeNs = -1;
    bool operator==(const FileId &) const = default;
};

// The id of the regular file at path (links followed); false when there is
// none (missing, a folder, a dangling link).
bool fileIdOf(const QString &path, FileId *id);

} // namespace tl
