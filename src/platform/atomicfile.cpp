#include "platform/atomicfile.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {
namespace {

std::function<int()> &writeFaultHook()
{
    static std::function<int()> hook;
    return hook;
}

// The errno a test's fault stands for, or 0.
int injectedFault()
{
    return writeFaultHook() ? writeFaultHook()() : 0;
}

[[noreturn]] void failWrite(const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

// The write bits count even for root, who could write anyway: a file made
// read-only stays read-only for every user.
bool readOnly(const QByteArray &native, const struct stat &st)
{
    return (st.st_mode & 0222) == 0 || ::access(native.constData(), W_OK) != 0;
}

// The folder part of a native path, as written: cleaning "x/../y" by its
// letters would go wrong where x is itself a link to a folder.
QByteArray folderOf(const QByteArray &native)
{
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : native.left(slash);
}

QByteArray nameOf(const QByteArray &native)
{
    return native.mid(native.lastIndexOf('/') + 1);
}

// Follows the links of the last name; false with errno set when it cannot.
bool resolveLinks(QByteArray &native)
{
    for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;  // the file itself, or nothing yet: write here
        QByteArray to(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(native.constData(), to.data(), size_t(to.size()));
        if (n < 0)
            return false;
        if (n >= to.size()) {  // the link changed while it was read
            errno = EAGAIN;
            return false;
        }
        to.truncate(n);
        // A relative link is read from the link's own folder.
        const qsizetype slash = native.lastIndexOf('/');
        native = to.startsWith('/') || slash < 0 ? to : native.left(slash + 1) + to;
    }
    errno = ELOOP;
    return false;
}

// Best effort: only root may give a file away; a member of the old group may
// at least keep that.
void keepOwner(int fd, unsigned uid, unsigned gid)
{
    if (::fchown(fd, uid_t(uid), gid_t(gid)) == 0)
        return;
    if (::fchown(fd, uid_t(-1), gid_t(gid)) != 0)
        return;  // the new file stays this user's own
}

// Temporary files a killed program left beside the target: our own, named
// as the constructor names them, and not written to for a while (a write in
// progress elsewhere keeps its file's time fresh).
void removeStaleTemporaries(const QByteArray &folder, const QByteArray &name)
{
    constexpr time_t kStaleSeconds = 10 * 60;
    const QByteArray prefix = "." + name + ".";
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray entryName(entry->d_name);
        if (entryName.size() != prefix.size() + 6 || !entryName.startsWith(prefix))
            continue;
        const QByteArray tail = entryName.mid(prefix.size());
        if (!std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(uchar(c)); }))
            continue;
        const QByteArray path = folder + "/" + entryName;
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && now - st.st_mtime > kStaleSeconds)
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

} // namespace

QString writeTarget(const QString &path)
{
    QByteArray native = QFile::encodeName(path);
    if (!resolveLinks(native))
        failWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    return QFile::decodeName(native);
}

bool isReadOnlyFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;
    return readOnly(native, st);
}

AtomicFile::AtomicFile(const QString &path) : m_path(path), m_target(QFile::encodeName(path))
{
    // Renamed over a link, the new file would take the link's place and the
    // file it names would never change.
    if (!resolveLinks(m_target))
        fail(errno);
    struct stat old {};
    if (::stat(m_target.constData(), &old) == 0) {
        if (readOnly(m_target, old))
            failWrite(path, QStringLiteral("the file is read-only"));
        m_mode = old.st_mode & 07777;  // keep the permissions the file had
        m_replaces = true;
        m_uid = old.st_uid;
        m_gid = old.st_gid;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        m_mode = 0666 & ~mask;
    }
    // Beside the target: a rename only replaces within one file system.
    m_temp = folderOf(m_target) + "/." + nameOf(m_target) + ".XXXXXX";
    m_fd = ::mkstemp(m_temp.data());
    if (m_fd < 0) {
        m_temp.clear();
        fail(errno);
    }
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
}

void AtomicFile::setNewFileMode(unsigned mode)
{
    if (!m_replaces)
        m_mode = mode & 07777;
}

void AtomicFile::fail(int err)
{
    failWrite(m_path, QString::fromLocal8Bit(std::strerror(err)));
}

void AtomicFile::write(const char *data, qsizetype size)
{
    while (size > 0) {
        if (const int err = injectedFault())
            fail(err);
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        data += n;
        size -= n;
    }
}

void AtomicFile::commit()
{
    // The mode after the owner: a change of owner clears the set-id bits.
    if (m_replaces)
        keepOwner(m_fd, m_uid, m_gid);
    ::fchmod(m_fd, mode_t(m_mode));
    const int fault = injectedFault();
    const int syncRc = fault ? -1 : ::fsync(m_fd);
    const int syncErr = fault ? fault : errno;
    const int closeRc = ::close(m_fd);
    const int closeErr = errno;
    m_fd = -1;
    if (syncRc != 0)
        fail(syncErr);
    if (closeRc != 0)
        fail(closeErr);
    if (::rename(m_temp.constData(), m_target.constData()) != 0)
        fail(errno);
    m_temp.clear();
    removeStaleTemporaries(folderOf(m_target), nameOf(m_target));
    const int dirFd = ::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void setWriteFaultHook(std::function<int()> hook)
{
    writeFaultHook() = std::move(hook);
}

void writeFileAtomically(const QString &path, const QByteArray &data)
{
    AtomicFile file(path);
    file.write(data.constData(), data.size());
    file.commit();
}

QByteArray readWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    QByteArray data = f.readAll();
    if (f.error() != QFile::NoError)
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), f.errorString()));
    return data;
}

} // namespace tl
