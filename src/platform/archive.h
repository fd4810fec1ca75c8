#pragma once
// ZIP archives, the one place the program touches libzip: reading the
// members of an archive with limits, and writing a one-member archive
// safely (beside the target, checked, then renamed over it).

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tl::archive {

// The member's file name without its folders (either separator), or nothing
// for a name that would leave the folder it is unpacked into (absolute, a
// drive letter, a ".." part). Empty for a folder entry.
std::optional<QString> memberFileName(const QString &raw);

struct Member {
    quint64 index = 0;
    QString name; // as stored
    qint64 size = -1; // uncompressed, as the archive declares it; -1 unknown
    quint32 crc = 0;
    bool hasCrc = false;
};

// An archive opened for reading. Errors throw tl::Error with a message a
// user can act on (not a ZIP archive, damaged or truncated, a member too
// large, ...).
class Reader {
public:
    explicit Reader(const QString &path, int maxMembers = 4096);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    const std::vector<Member> &members() const { return m_members; }
    // The member's bytes; more than limit bytes throw.
    QByteArray read(const Member &member, qint64 limit);
    // Streams the member into a new file at path (an existing file or link
    // there is removed first, never written through); more than limit bytes
    // or a damaged stream throw and leave no file at path.
    void extractTo(const Member &member, const QString &path, qint64 limit);
    // Hands the member's bytes to sink piece by piece, with the same limit.
    void stream(const Member &member, qint64 limit, const std::function<void(const char *, qsizetype)> &sink);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_path;
    std::vector<Member> m_members;
};

// Writes target anew as an archive of one member, memberName, holding the
// bytes of sourceFile compressed at level (0 stores). The archive is built
// in a temporary file beside target, flushed, checked (it opens, holds that
// one member with the source's size and CRC, and unpacks to them), and only
// then renamed over target. Any failure throws tl::Error and leaves target
// as it was. A read-only target is refused before anything is written.
void writeSingleMember(const QString &target, const QString &memberName, const QString &sourceFile, int level);

// Runs between the check and the rename with the temporary file's path;
// lets a test break the write at its most delicate moment. Empty: nothing.
void setBeforeReplaceHook(std::function<void(const QString &tempFile)> hook);

} // namespace tl::archive
