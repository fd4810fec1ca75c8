#include "platform/fileid.h"

#include <QFile>

#include <sys/stat.h>

namespace tl {

bool fileIdOf(const QString &path, FileId *id)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *id = {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
           std::int64_t(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
           std::int64_t(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec};
    return true;
}

} // namespace tl
