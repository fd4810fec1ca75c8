#pragma once
// Which file a path names and which version of it (same file, same size,
// modified at the same nanosecond, its status last changed at the same
// nanosecond), and the one rule by which every cache of a file's content
// decides that the file is still the one its copy came from.
//
// The status change time is what no program can set back: a tool that
// rewrites a file in place and restores its modification time (rsync
// --inplace -t) still moves it. What the times cannot tell is a second
// change of the same size within the clock tick of the first: both leave the
// same times. Hence "settled" below.

#include <QString>

#include <cstdint>

namespace tl {

struct FileId {
    enum class Kind : std::uint8_t {
        Error,   // could not be looked at, or no regular file (a folder)
        Absent,  // nothing there: missing, or a dangling link
        File,    // a regular file (links followed)
    };
    Kind kind = Kind::Error;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t mtimeNs = -1;  // last modification, nanoseconds since the epoch
    // Last change of content or status: unlike the modification time, no
    // program can set it back, as a copy that keeps times does.
    std::int64_t ctimeNs = -1;
    std::int64_t lookedNs = -1;  // when this look was taken; not part of the version

    bool isFile() const { return kind == Kind::File; }
    bool isAbsent() const { return kind == Kind::Absent; }

    // File times advance in clock ticks of a few milliseconds: a change made
    // within the tick of the one before, of the same size, leaves the id as
    // it was. An id is settled when, at the look, its last change lay
    // kSettleNs or more back, so any later change gets a later time. Nothing
    // there is settled too (a file put there is a new id); an error never is.
    static constexpr std::int64_t kSettleNs = 100 * 1000000LL;
    bool settled() const;

    // The same version of the same file, or nothing there both times; when
    // the looks were taken does not count.
    bool operator==(const FileId &o) const
    {
        return kind == o.kind && device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs
            && ctimeNs == o.ctimeNs;
    }
};

// A look at path now.
FileId fileIdOf(const QString &path);

// The same look, for callers that only follow regular files: true and *id set
// for one, false and *id untouched otherwise.
bool fileIdOf(const QString &path, FileId *id);

// The version a cache's copy of a file stands for, and the rule for reusing
// it, the same for every cache:
// - a copy read from the file is kept when a look before the read and one
//   after it found the same version, settled: the bytes read are the ones
//   that version holds, and every later change shows in the id;
// - a copy this program has just written is kept under the id the write left,
//   as what it wrote is what the file holds (a change by another program
//   within that same clock tick, in place and of the same size, is the one
//   change this can miss: reading back every write would cost a large notes
//   file a second parse at each step);
// The copy then serves while a look finds that version still.
class KeptCopy {
public:
    void afterRead(const FileId &before, const FileId &after)
    {
        m_kept = before.kind != FileId::Kind::Error && before == after && before.settled();
        m_id = before;
    }
    void afterWrite(const FileId &written)
    {
        m_kept = written.kind != FileId::Kind::Error;
        m_id = written;
    }
    void drop() { m_kept = false; }

    // Whether the copy may serve a look that found now.
    bool serves(const FileId &now) const { return m_kept && now == m_id; }
    bool isKept() const { return m_kept; }

private:
    FileId m_id;
    bool m_kept = false;
};

} // namespace tl
