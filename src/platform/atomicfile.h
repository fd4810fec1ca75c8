#pragma once
// Files of the user's are replaced whole: written to a temporary file beside
// the target, flushed to disk and renamed over it.
//
// A name that is a symbolic link is written through: the file at the end of
// the link chain is replaced and the link stays a link. A name with several
// hard links is replaced under that name only; the other names keep the
// previous version, so a crash or a full disk still cannot leave any of them
// half-written.

#include <QByteArray>
#include <QString>

#include <functional>

namespace tl {

// True when path exists and this user may not write it.
bool isReadOnlyFile(const QString &path);

// The file a write to path replaces: symbolic links followed to the end of
// their chain, a relative link read from the link's own folder. A dangling
// link gives the name it points at, so the write creates that file. Throws
// tl::Error for a loop of links.
QString writeTarget(const QString &path);

// Streams a new version of a file. Nothing replaces the target until
// commit(); an AtomicFile destroyed before that removes its temporary file
// and leaves the target exactly as it was. Errors throw tl::Error naming the
// file and the reason. An existing file without write permission is refused
// at construction, before anything is written. The new file gets the old
// one's permissions and, where this user may give them, its owner and group.
class AtomicFile {
public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The permissions a file made new gets (default: 0666 less the umask);
    // a file replaced keeps its own.
    void setNewFileMode(unsigned mode);
    void write(const char *data, qsizetype size);
    void commit();

private:
    [[noreturn]] void fail(int err);

    QString m_path;
    QByteArray m_target, m_temp;
    int m_fd = -1;
    unsigned m_mode = 0;
    bool m_replaces = false;  // the target exists: its owner is kept
    unsigned m_uid = 0, m_gid = 0;
};

void writeFileAtomically(const QString &path, const QByteArray &data);

// Lets a test make the disk fail under any writer of whole files: asked
// before each write and before the final flush, a nonzero errno it returns
// fails that step as the system call would (ENOSPC: the disk is full).
// Empty: nothing.
void setWriteFaultHook(std::function<int()> hook);

// Reads the whole file; throws tl::Error naming the file when it cannot.
QByteArray readWholeFile(const QString &path);

} // namespace tl
