#include "platform/atomicfile.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {
namespace {

QString systemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { close(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int close()
    {
        int rc = 0;
        if (m_fd >= 0)
            rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

} // namespace

namespace {
// The write bits count even for root, who could write anyway: a file made
// read-only stays read-only for every user.
bool readOnly(const QByteArray &native, const struct stat &st)
{
    return (st.st_mode & 0222) == 0 || ::access(native.constData(), W_OK) != 0;
}
} // namespace

bool isReadOnlyFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;
    return readOnly(native, st);
}

void writeFileAtomically(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && readOnly(target, old))
        fail(path, QStringLiteral("the file is read-only"));

    const QString dir = QFileInfo(path).absolutePath();
    QByteArray tmpl = QFile::encodeName(dir + QLatin1Char('/') + QLatin1Char('.')
                                        + QFileInfo(path).fileName() + QStringLiteral(".XXXXXX"));
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0)
        fail(path, systemReason(errno));
    const QByteArray tmpName = tmpl;
    auto cleanup = [&] { ::unlink(tmpName.constData()); };

    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            cleanup();
            fail(path, systemReason(err));
        }
        p += n;
        left -= n;
    }
    // Keep the permissions the file had; a new file gets the usual ones.
    mode_t mode = 0666;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.get(), mode);
    if (::fsync(fd.get()) != 0 || fd.close() != 0) {
        const int err = errno;
        cleanup();
        fail(path, systemReason(err));
    }
    if (::rename(tmpName.constData(), target.constData()) != 0) {
        const int err = errno;
        cleanup();
        fail(path, systemReason(err));
    }
    Fd dirFd(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get());
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
