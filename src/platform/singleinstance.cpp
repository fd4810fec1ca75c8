#include "platform/singleinstance.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

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

// A connected socket to the program listening there, or -1.
int connectTo(const QString &socket)
{
    const QByteArray path = QFile::encodeName(socket);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return -1;  // the server could not listen there either
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
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

Server::Server(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    // No access options: with them Qt binds elsewhere and renames the socket
    // into place, over a running program's. The folder is private anyway.
    connect(m_server, &QLocalServer::newConnection, this, &Server::accept);
}

Server::~Server() = default;

bool Server::listen(const QString &socket)
{
    if (m_server->listen(socket))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Only a socket file left by a killed program is taken over.
    if (const int fd = connectTo(socket); fd >= 0) {
        ::close(fd);
        return false;
    }
    QLocalServer::removeServer(socket);
    return m_server->listen(socket);
}

bool Server::listening() const
{
    return m_server->isListening();
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
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(kReceiveTimeoutMs, peer, [peer] { peer->abort(); });
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (peer->bytesAvailable() < 4)
                return;
            QDataStream header(peer->peek(4));
            quint32 size = 0;
            header >> size;
            if (size > kMaxBody) {
                peer->abort();
                return;
            }
            if (peer->bytesAvailable() < 4 + qint64(size))
                return;
            peer->read(4);
            const std::optional<Request> request = decode(peer->read(size));
            if (!request) {
                peer->abort();
                return;
            }
            // The receipt first: the sender ends now, whatever opening the files takes.
            peer->write(&kReceipt, 1);
            peer->flush();
            peer->disconnectFromServer();
            deliver(*request);
        });
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
