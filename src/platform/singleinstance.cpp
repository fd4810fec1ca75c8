#include "platform/singleinstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tl::instance {

namespace {

constexpr char kMagic[] = "TLI1";
constexpr char kReceipt = '\x06';
constexpr quint32 kMaxBody = 16 * 1024 * 1024;
// A sender that connects and then says nothing is dropped after this.
constexpr int kReceiveTimeoutMs = 10000;

enum Flag : quint8 { ToggleFlag = 1, StartFlag = 2 };

bool sendAll(int fd, const QByteArray &data)
{
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

bool waitForReceipt(int fd, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(left));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        return n == 1 && byte == kReceipt;
    }
}

} // namespace

Request fromArguments(const QStringList &args, const QString &workingDir)
{
    Request request;
    const QDir base(workingDir);
    for (const QString &arg : args) {
        if (arg == QLatin1String("--toggle"))
            request.toggle = true;
        else if (arg.toLower() == QLatin1String("start"))
            request.start = true;
        else if (!arg.isEmpty())
            request.files << QDir::cleanPath(base.absoluteFilePath(arg));
    }
    return request;
}

QByteArray encode(const Request &request)
{
    QByteArray body(kMagic, 4);
    {
        QDataStream out(&body, QIODevice::WriteOnly | QIODevice::Append);
        out.setVersion(QDataStream::Qt_6_4);
        quint8 flags = 0;
        if (request.toggle)
            flags |= ToggleFlag;
        if (request.start)
            flags |= StartFlag;
        out << flags << request.files;
    }
    QByteArray message;
    QDataStream header(&message, QIODevice::WriteOnly);
    header << quint32(body.size());
    return message + body;
}

std::optional<Request> decode(const QByteArray &body)
{
    if (!body.startsWith(QByteArray(kMagic, 4)))
        return std::nullopt;
    QDataStream in(body.mid(4));
    in.setVersion(QDataStream::Qt_6_4);
    quint8 flags = 0;
    Request request;
    in >> flags >> request.files;
    if (in.status() != QDataStream::Ok || !in.atEnd() || (flags & ~(ToggleFlag | StartFlag)) != 0)
        return std::nullopt;
    request.toggle = flags & ToggleFlag;
    request.start = flags & StartFlag;
    return request;
}

QString socketPath(const QString &privateFolder)
{
    return privateFolder + QStringLiteral("/instance");
}

namespace {

sockaddr_un addressOf(const QByteArray &path, bool *fits)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    *fits = path.size() < qsizetype(sizeof address.sun_path);
    if (*fits)
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return address;
}

// A connected socket to the program listening there, or -1.
int connectTo(const QString &socket)
{
    bool fits = false;
    const sockaddr_un address = addressOf(QFile::encodeName(socket), &fits);
    if (!fits)
        return -1;  // the server could not listen there either
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int r;
    do
        r = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        ::close(fd);
        return -1;  // no socket, or one nobody listens at
    }
    return fd;
}

} // namespace

HandOver handOver(const QString &socket, const Request &request, int timeoutMs)
{
    const int fd = connectTo(socket);
    if (fd < 0)
        return HandOver::NoInstance;
    const bool delivered = sendAll(fd, encode(request)) && waitForReceipt(fd, timeoutMs);
    ::close(fd);
    return delivered ? HandOver::Delivered : HandOver::NoAnswer;
}

StartLock::StartLock(const QString &privateFolder)
{
    const QByteArray file = QFile::encodeName(privateFolder + QStringLiteral("/instance.lock"));
    m_fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return;
    int r;
    do
        r = ::flock(m_fd, LOCK_EX);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

StartLock::~StartLock()
{
    if (m_fd >= 0)
        ::close(m_fd);  // releases the lock
}

Claim claim(const QString &privateFolder, const Request &request, int timeoutMs)
{
    const QString socket = socketPath(privateFolder);
    Claim result;
    result.outcome = handOver(socket, request, timeoutMs);
    if (result.outcome != HandOver::NoInstance)
        return result;
    // Another start may have become the first while this one looked.
    result.lock = std::make_unique<StartLock>(privateFolder);
    result.outcome = handOver(socket, request, timeoutMs);
    if (result.outcome != HandOver::NoInstance)
        result.lock.reset();
    return result;
}

namespace {

// One sender: its bytes until the whole message is there, then the receipt.
// Non-blocking, so a sender that stalls never stops the program.
class Peer : public QObject {
public:
    Peer(int fd, QObject *parent, std::function<void(const Request &)> received)
        : QObject(parent), m_fd(fd), m_notifier(fd, QSocketNotifier::Read), m_received(std::move(received))
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] { readMore(); });
        QTimer::singleShot(kReceiveTimeoutMs, this, [this] { drop(); });
    }
    ~Peer() override { ::close(m_fd); }

private:
    void readMore()
    {
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                break;
            if (n <= 0)
                return drop();  // gone before the message was whole
            m_bytes.append(chunk, n);
            if (m_bytes.size() > qsizetype(4 + kMaxBody))
                return drop();
        }
        if (m_bytes.size() < 4)
            return;
        const quint32 size = qFromBigEndian<quint32>(m_bytes.constData());
        if (size > kMaxBody || m_bytes.size() > 4 + qsizetype(size))
            return drop();
        if (m_bytes.size() < 4 + qsizetype(size))
            return;
        const std::optional<Request> request = decode(m_bytes.mid(4));
        if (!request)
            return drop();
        // The receipt first: the sender ends now, whatever opening the files takes.
        (void)::send(m_fd, &kReceipt, 1, MSG_NOSIGNAL);
        const auto received = m_received;
        drop();
        received(*request);
    }
    void drop()
    {
        m_notifier.setEnabled(false);
        deleteLater();
    }

    int m_fd;
    QSocketNotifier m_notifier;
    QByteArray m_bytes;
    std::function<void(const Request &)> m_received;
};

} // namespace

Server::Server(QObject *parent) : QObject(parent) {}

Server::~Server()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    // A clean end leaves no socket for the next start to test.
    ::unlink(QFile::encodeName(m_path).constData());
}

bool Server::listen(const QString &socket)
{
    if (m_fd >= 0)
        return false;
    const QByteArray path = QFile::encodeName(socket);
    bool fits = false;
    const sockaddr_un address = addressOf(path, &fits);
    if (!fits)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    auto bindIt = [&] { return ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0; };
    bool bound = bindIt();
    if (!bound && errno == EADDRINUSE) {
        // Only a socket file left by a killed program is taken over.
        if (const int other = connectTo(socket); other >= 0) {
            ::close(other);
            ::close(fd);
            return false;
        }
        ::unlink(path.constData());
        bound = bindIt();
    }
    if (!bound || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = socket;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Server::accept);
    return true;
}

bool Server::listening() const
{
    return m_fd >= 0;
}

void Server::setHandler(std::function<void(const Request &)> handler)
{
    m_handler = std::move(handler);
    std::vector<Request> pending;
    pending.swap(m_pending);
    for (const Request &request : pending)
        deliver(request);
}

void Server::accept()
{
    for (;;) {
        const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (peer < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;  // EAGAIN: all taken; anything else: try at the next wake-up
        }
        new Peer(peer, this, [this](const Request &request) { deliver(request); });
    }
}

void Server::deliver(const Request &request)
{
    if (m_handler)
        m_handler(request);
    else
        m_pending.push_back(request);
}

} // namespace tl::instance
