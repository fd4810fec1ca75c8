#include "platform/fileid.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/stat.h>

namespace tl {

namespace {

std::int64_t ns(const timespec &t)
{
    return std::int64_t(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

} // namespace

bool FileId::settled() const
{
    switch (kind) {
    case Kind::Error: return false;
    case Kind::Absent: return true;
    case Kind::File: break;
    }
    // A time ahead of the look (a clock set back, a file dated ahead) is not
    // settled either.
    return std::max(mtimeNs, ctimeNs) <= lookedNs - kSettleNs;
}

FileId fileIdOf(const QString &path)
{
    FileId id;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    id.lookedNs = ns(now);
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno == ENOENT)
            id.kind = FileId::Kind::Absent;
        return id;
    }
    if (!S_ISREG(st.st_mode))
        return id;
    id.kind = FileId::Kind::File;
    id.device = std::uint64_t(st.st_dev);
    id.inode = std::uint64_t(st.st_ino);
    id.size = std::int64_t(st.st_size);
    id.mtimeNs = ns(st.st_mtim);
    id.ctimeNs = ns(st.st_ctim);
    return id;
}

bool fileIdOf(const QString &path, FileId *id)
{
    const FileId look = fileIdOf(path);
    if (!look.isFile())
        return false;
    *id = look;
    return true;
}

} // namespace tl
