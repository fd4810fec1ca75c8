#include "platform/archive.h"

#include "platform/atomicfile.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tl::archive {
namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct ZipFileCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

std::function<void(const QString &)> &beforeReplaceHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

// A file that starts like a ZIP archive but that libzip cannot open lost its
// end (the central directory), or was damaged on the way.
bool startsLikeZip(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\3\4", 4);
}

[[noreturn]] void openFailed(const QString &path, int zipError, int sysError)
{
    switch (zipError) {
    case ZIP_ER_NOZIP:
        if (startsLikeZip(path))
            throw Error(
                QStringLiteral("\"%1\" is damaged or truncated: it cannot be read as a ZIP archive.").arg(shown(path)));
        throw Error(QStringLiteral("\"%1\" is not a ZIP archive.").arg(shown(path)));
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_EOF:
        throw Error(
            QStringLiteral("\"%1\" is damaged or truncated: it cannot be read as a ZIP archive.").arg(shown(path)));
    default: {
        zip_error_t e;
        zip_error_init_with_code(&e, zipError);
        const QString reason
            = sysError ? QString::fromLocal8Bit(std::strerror(sysError)) : QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(shown(path), reason));
    }
    }
}

} // namespace

std::optional<QString> memberFileName(const QString &raw)
{
    QString name = raw;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || (name.size() >= 2 && name.at(1) == QLatin1Char(':')))
        return std::nullopt;
    for (const QString &part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return std::nullopt;
    const QString last = name.section(QLatin1Char('/'), -1);
    return last == QLatin1String(".") ? QString() : last;
}

struct Reader::Impl {
    zip_t *zip = nullptr;
    ~Impl()
    {
        if (zip)
            zip_discard(zip);
    }
};

Reader::Reader(const QString &path, int maxMembers)
    : d(std::make_unique<Impl>())
    , m_path(path)
{
    const QByteArray native = QFile::encodeName(path);
    // libzip reads whatever it is given; a folder or a device is no archive.
    struct stat st { };
    if (::stat(native.constData(), &st) != 0)
        throw Error(
            QStringLiteral("Cannot read \"%1\": %2").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(st.st_mode))
        throw Error(QStringLiteral("\"%1\" is not a ZIP archive.").arg(shown(path)));
    int error = 0;
    errno = 0;
    d->zip = zip_open(native.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!d->zip)
        openFailed(path, error, error == ZIP_ER_OPEN || error == ZIP_ER_READ ? errno : 0);
    const zip_int64_t count = zip_get_num_entries(d->zip, 0);
    if (count < 0)
        openFailed(path, ZIP_ER_INCONS, 0);
    if (count > maxMembers)
        throw Error(QStringLiteral("\"%1\" holds %2 files, more than the %3 it may.")
                        .arg(shown(path))
                        .arg(count)
                        .arg(maxMembers));
    m_members.reserve(size_t(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t zs;
        zip_stat_init(&zs);
        if (zip_stat_index(d->zip, zip_uint64_t(i), 0, &zs) != 0 || !(zs.valid & ZIP_STAT_NAME))
            openFailed(path, ZIP_ER_INCONS, 0);
        Member m;
        m.index = zip_uint64_t(i);
        m.name = QString::fromUtf8(zs.name);
        if (zs.valid & ZIP_STAT_SIZE)
            m.size = zs.size > zip_uint64_t(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                                : qint64(zs.size);
        if (zs.valid & ZIP_STAT_CRC) {
            m.crc = zs.crc;
            m.hasCrc = true;
        }
        m_members.push_back(m);
    }
}

Reader::~Reader() = default;

namespace {

// Streams a member through sink in pieces; throws past limit or on damage.
template <typename Sink>
void streamMember(zip_t *zip, const QString &path, const Member &member, qint64 limit, const Sink &sink)
{
    if (member.size > limit)
        throw Error(QStringLiteral("\"%1\" in \"%2\" unpacks to %3 bytes, more than the %4 it may.")
                        .arg(member.name, shown(path))
                        .arg(member.size)
                        .arg(limit));
    ZipFile in(zip_fopen_index(zip, member.index, 0));
    if (!in)
        throw Error(QStringLiteral("\"%1\" is damaged: \"%2\" cannot be unpacked (%3).")
                        .arg(shown(path), member.name, QString::fromUtf8(zip_strerror(zip))));
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(in.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0)
            throw Error(QStringLiteral("\"%1\" is damaged or truncated: \"%2\" cannot be unpacked (%3).")
                            .arg(shown(path), member.name, QString::fromUtf8(zip_file_strerror(in.get()))));
        if (n == 0)
            break;
        total += n;
        // The declared size may lie; the bytes themselves count.
        if (total > limit)
            throw Error(QStringLiteral("\"%1\" in \"%2\" unpacks to more than the %3 bytes it may.")
                            .arg(member.name, shown(path))
                            .arg(limit));
        sink(buffer.constData(), qsizetype(n));
    }
    if (member.size >= 0 && total != member.size)
        throw Error(
            QStringLiteral("\"%1\" is damaged or truncated: \"%2\" cannot be unpacked.").arg(shown(path), member.name));
}

} // namespace

void Reader::stream(const Member &member, qint64 limit, const std::function<void(const char *, qsizetype)> &sink)
{
    streamMember(d->zip, m_path, member, limit, sink);
}

QByteArray Reader::read(const Member &member, qint64 limit)
{
    QByteArray out;
    if (member.size > 0 && member.size <= limit)
        out.reserve(qsizetype(member.size));
    streamMember(d->zip, m_path, member, limit, [&](const char *p, qsizetype n) { out.append(p, n); });
    return out;
}

void Reader::extractTo(const Member &member, const QString &path, qint64 limit)
{
    const QByteArray native = QFile::encodeName(path);
    ::unlink(native.constData()); // never write through a file or link left there
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error(
            QStringLiteral("Cannot write \"%1\": %2").arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
    try {
        streamMember(d->zip, m_path, member, limit, [&](const char *p, qsizetype n) {
            while (n > 0) {
                const ssize_t w = ::write(fd, p, size_t(n));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w < 0)
                    throw Error(QStringLiteral("Cannot write \"%1\": %2")
                                    .arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
                p += w;
                n -= w;
            }
        });
        if (::close(fd) != 0)
            throw Error(QStringLiteral("Cannot write \"%1\": %2")
                            .arg(shown(path), QString::fromLocal8Bit(std::strerror(errno))));
    } catch (...) {
        ::close(fd);
        ::unlink(native.constData());
        throw;
    }
}

namespace {

// The written archive holds the source: one member of that name and size
// whose stream unpacks whole and matches the CRC stored for it (which the
// writer took from the source's bytes; the reader checks it at the end).
void check(const QString &archive, const QString &memberName, const QString &sourceFile)
{
    Reader reader(archive, 1);
    if (reader.members().size() != 1 || reader.members().front().name != memberName)
        throw Error(QStringLiteral("the new archive does not hold \"%1\"").arg(memberName));
    const Member &m = reader.members().front();
    const qint64 size = QFileInfo(sourceFile).size();
    if (m.size != size || !m.hasCrc)
        throw Error(
            QStringLiteral("the new archive holds %1 bytes of \"%2\", not %3").arg(m.size).arg(memberName).arg(size));
    reader.stream(m, size, [](const char *, qsizetype) {});
}

QByteArray folderOf(const QByteArray &native)
{
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : native.left(slash);
}

} // namespace

void writeSingleMember(const QString &target, const QString &memberName, const QString &sourceFile, int level)
{
    const QString real = writeTarget(target);
    const QByteArray native = QFile::encodeName(real);
    auto fail = [&](const QString &reason) -> void {
        throw Error(QStringLiteral("Cannot write \"%1\": %2").arg(shown(target), reason));
    };
    struct stat old { };
    mode_t mode;
    if (::stat(native.constData(), &old) == 0) {
        if (isReadOnlyFile(real))
            fail(QStringLiteral("the file is read-only"));
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    QByteArray temp = folderOf(native) + "/." + native.mid(native.lastIndexOf('/') + 1) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    const QString tempName = QFile::decodeName(temp);
    try {
        int error = 0;
        zip_t *zip = zip_open(temp.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!zip) {
            zip_error_t e;
            zip_error_init_with_code(&e, error);
            const QString reason = QString::fromUtf8(zip_error_strerror(&e));
            zip_error_fini(&e);
            fail(reason);
        }
        auto zipFail = [&] {
            const QString reason = QString::fromUtf8(zip_strerror(zip));
            zip_discard(zip);
            fail(reason);
        };
        zip_source_t *src = zip_source_file(zip, QFile::encodeName(sourceFile).constData(), 0, 0);
        if (!src)
            zipFail();
        const zip_int64_t index = zip_file_add(zip, memberName.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zipFail();
        }
        const int clamped = std::clamp(level, 0, 9);
        if (zip_set_file_compression(
                zip, zip_uint64_t(index), clamped == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, zip_uint32_t(clamped))
            != 0)
            zipFail();
        if (zip_close(zip) != 0)
            zipFail();

        const int out = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
        if (out < 0 || ::fchmod(out, mode) != 0 || ::fsync(out) != 0) {
            const int err = errno;
            if (out >= 0)
                ::close(out);
            fail(QString::fromLocal8Bit(std::strerror(err)));
        }
        ::close(out);
        try {
            check(tempName, memberName, sourceFile);
        } catch (const Error &e) {
            fail(QStringLiteral("the archive written did not check out (%1)").arg(e.message()));
        }
        if (beforeReplaceHook())
            beforeReplaceHook()(tempName);
        if (::rename(temp.constData(), native.constData()) != 0)
            fail(QString::fromLocal8Bit(std::strerror(errno)));
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    const int dirFd = ::open(folderOf(native).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void setBeforeReplaceHook(std::function<void(const QString &tempFile)> hook)
{
    beforeReplaceHook() = std::move(hook);
}

} // namespace tl::archive
