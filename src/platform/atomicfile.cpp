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

} // namespace

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
    struct stat old {};
    if (::stat(m_target.constData(), &old) == 0) {
        if (readOnly(m_target, old))
            failWrite(path, QStringLiteral("the file is read-only"));
        m_mode = old.st_mode & 07777;  // keep the permissions the file had
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        m_mode = 0666 & ~mask;
    }
    const QFileInfo info(path);
    m_temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                               + QStringLiteral(".XXXXXX"));
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

void AtomicFile::fail(int err)
{
    failWrite(m_path, QString::fromLocal8Bit(std::strerror(err)));
}

void AtomicFile::write(const char *data, qsizetype size)
{
    while (size > 0) {
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
    ::fchmod(m_fd, mode_t(m_mode));
    const int syncRc = ::fsync(m_fd);
    const int syncErr = errno;
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
    const int dirFd = ::open(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
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
