#include "platform/singleinstance.h"

#include "support/tempenv.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <gmock/gmock.h>

#include <atomic>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ti = tl::instance;

namespace {

struct ArgumentsCase {
    const char *name;
    QStringList args;
    QStringList files;
    bool toggle;
    bool start;
};

class InstanceArguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(InstanceArguments, BecomeTheRequest)
{
    const ArgumentsCase &c = GetParam();
    const ti::Request request = ti::fromArguments(c.args, QStringLiteral("/home/ann/notes"));
    EXPECT_EQ(request.files, c.files);
    EXPECT_EQ(request.toggle, c.toggle);
    EXPECT_EQ(request.start, c.start);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceArguments,
    ::testing::Values(
        ArgumentsCase{"Nothing", {}, {}, false, false},
        ArgumentsCase{"RelativeNameInTheSendersFolder", {"Other.nts"}, {"/home/ann/notes/Other.nts"}, false, false},
        ArgumentsCase{"AbsoluteNameKept", {"/tmp/a b.znts"}, {"/tmp/a b.znts"}, false, false},
        ArgumentsCase{"DotsCleaned", {"../x/./y.txt"}, {"/home/ann/x/y.txt"}, false, false},
        ArgumentsCase{"ToggleIsNoFile", {"--toggle", "a.nts"}, {"/home/ann/notes/a.nts"}, true, false},
        ArgumentsCase{"StartInAnyCase", {"a.nts", "StArT"}, {"/home/ann/notes/a.nts"}, false, true},
        ArgumentsCase{"OrderKept", {"b.nts", "a.nts"}, {"/home/ann/notes/b.nts", "/home/ann/notes/a.nts"}, false,
                      false}),
    [](const auto &info) { return std::string(info.param.name); });

// The body of an encoded message: what follows its length.
QByteArray bodyOf(const QByteArray &message)
{
    QDataStream in(message);
    quint32 size = 0;
    in >> size;
    EXPECT_EQ(qsizetype(size), message.size() - 4);
    return message.mid(4);
}

TEST(InstanceMessage, RoundTrips)
{
    const ti::Request request{{QStringLiteral("/a/Ünïcode.nts"), QStringLiteral("/b/line\nbreak.txt")}, true, true};
    EXPECT_EQ(ti::decode(bodyOf(ti::encode(request))), request);
    const ti::Request empty;
    EXPECT_EQ(ti::decode(bodyOf(ti::encode(empty))), empty);
}

TEST(InstanceMessage, BrokenOnesAreRefused)
{
    const QByteArray body = bodyOf(ti::encode(ti::Request{{QStringLiteral("/a.nts")}, false, false}));
    EXPECT_FALSE(ti::decode(QByteArray("XXXX") + body.mid(4)));
    EXPECT_FALSE(ti::decode(body.left(body.size() - 1)));
    EXPECT_FALSE(ti::decode(body + '\0'));
    QByteArray unknownFlag = body;
    unknownFlag[4] = char(0x80);
    EXPECT_FALSE(ti::decode(unknownFlag));
    EXPECT_FALSE(ti::decode(QByteArray()));
}

// Runs the event loop until done() or a generous guard runs out.
template <typename Done>
bool spinUntil(Done done)
{
    QDeadlineTimer guard(20000);
    while (!done()) {
        if (guard.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A start on another thread: the sender never runs an event loop.
std::future<ti::HandOver> handOverLater(const QString &socket, const ti::Request &request, int timeoutMs = 10000)
{
    return std::async(std::launch::async, [=] { return ti::handOver(socket, request, timeoutMs); });
}

bool ready(const std::future<ti::HandOver> &f)
{
    return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// A socket file that nobody listens at, as a killed program leaves it.
void leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

TEST(SingleInstance, NobodyListensAtAMissingSocket)
{
    EXPECT_EQ(ti::handOver(ti::socketPath(tltest::freshFolder()), {}, 1000), ti::HandOver::NoInstance);
}

TEST(SingleInstance, FilesReachTheRunningProgramWithTheirFullPaths)
{
    const QString socket = ti::socketPath(tltest::freshFolder());
    ti::Server server;
    ASSERT_TRUE(server.listen(socket));
    std::vector<ti::Request> received;
    server.setHandler([&](const ti::Request &r) { received.push_back(r); });

    const ti::Request sent = ti::fromArguments({QStringLiteral("Other.nts"), QStringLiteral("--toggle")},
                                               QStringLiteral("/work/folder"));
    auto result = handOverLater(socket, sent);
    ASSERT_TRUE(spinUntil([&] { return ready(result) && !received.empty(); }));
    EXPECT_EQ(result.get(), ti::HandOver::Delivered);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].files, QStringList{QStringLiteral("/work/folder/Other.nts")});
    EXPECT_TRUE(received[0].toggle);
}

// A sender that writes whatever the test gives it.
int rawSender(const QString &socket)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socket);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    return fd;
}

TEST(SingleInstance, BrokenSendersAreDroppedAndAMessageInPiecesArrives)
{
    const QString socket = ti::socketPath(tltest::freshFolder());
    std::vector<ti::Request> received;
    {
        ti::Server server;
        ASSERT_TRUE(server.listen(socket));
        server.setHandler([&](const ti::Request &r) { received.push_back(r); });

        const int garbage = rawSender(socket);
        ASSERT_EQ(::send(garbage, "\0\0\0\4XXXX", 8, 0), 8);  // whole, but no request
        const int huge = rawSender(socket);
        ASSERT_EQ(::send(huge, "\x7f\xff\xff\xff", 4, 0), 4);  // a length no request has
        const int silent = rawSender(socket);  // says nothing at all

        const QByteArray message = ti::encode(ti::Request{{QStringLiteral("/slow.nts")}, false, false});
        const int slow = rawSender(socket);
        ASSERT_EQ(::send(slow, message.constData(), 3, 0), 3);  // not even the length yet
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_EQ(::send(slow, message.constData() + 3, size_t(message.size() - 3), 0), message.size() - 3);
        char receipt = 0;
        ASSERT_TRUE(spinUntil([&] { return ::recv(slow, &receipt, 1, MSG_DONTWAIT) == 1; }));
        EXPECT_EQ(receipt, '\x06');

        // The broken ones were closed without a receipt.
        for (int fd : {garbage, huge}) {
            char byte = 1;
            ASSERT_TRUE(spinUntil([&] { return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0; })) << fd;
        }
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].files, QStringList{QStringLiteral("/slow.nts")});
        // A good request still gets through beside the silent sender.
        auto result = handOverLater(socket, ti::Request{{}, true, false});
        ASSERT_TRUE(spinUntil([&] { return ready(result) && received.size() == 2; }));
        EXPECT_TRUE(received[1].toggle);
        for (int fd : {garbage, huge, silent, slow})
            ::close(fd);
    }
    EXPECT_FALSE(QFileInfo::exists(socket)) << "a clean end leaves no socket behind";
}

TEST(SingleInstance, RequestsBeforeTheHandlerWaitForIt)
{
    const QString socket = ti::socketPath(tltest::freshFolder());
    ti::Server server;
    ASSERT_TRUE(server.listen(socket));
    auto first = handOverLater(socket, ti::Request{{QStringLiteral("/1.nts")}, false, false});
    ASSERT_TRUE(spinUntil([&] { return ready(first); }));
    auto second = handOverLater(socket, ti::Request{{}, false, true});
    ASSERT_TRUE(spinUntil([&] { return ready(second); }));
    EXPECT_EQ(first.get(), ti::HandOver::Delivered);
    EXPECT_EQ(second.get(), ti::HandOver::Delivered);

    std::vector<ti::Request> received;
    server.setHandler([&](const ti::Request &r) { received.push_back(r); });
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].files, QStringList{QStringLiteral("/1.nts")});
    EXPECT_TRUE(received[1].start);
}

TEST(SingleInstance, AStaleSocketIsTakenOver)
{
    const QString folder = tltest::freshFolder();
    const QString socket = ti::socketPath(folder);
    leaveStaleSocket(socket);

    ti::Claim claim = ti::claim(folder, {}, 1000);
    EXPECT_EQ(claim.outcome, ti::HandOver::NoInstance);
    ASSERT_TRUE(claim.lock && claim.lock->held());
    ti::Server server;
    ASSERT_TRUE(server.listen(socket));
    claim.lock.reset();

    int received = 0;
    server.setHandler([&](const ti::Request &) { ++received; });
    auto result = handOverLater(socket, {});
    ASSERT_TRUE(spinUntil([&] { return ready(result) && received == 1; }));
    EXPECT_EQ(result.get(), ti::HandOver::Delivered);
}

TEST(SingleInstance, ASocketInUseIsNotTakenOver)
{
    const QString socket = ti::socketPath(tltest::freshFolder());
    ti::Server running;
    ASSERT_TRUE(running.listen(socket));
    ti::Server second;
    EXPECT_FALSE(second.listen(socket));
    EXPECT_TRUE(running.listening());
}

TEST(SingleInstance, AListenerThatNeverAnswersIsNoInstanceToHandTo)
{
    // Listening but never accepting: a stopped program.
    const QString socket = ti::socketPath(tltest::freshFolder());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socket);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    EXPECT_EQ(ti::handOver(socket, {}, 200), ti::HandOver::NoAnswer);
    ::close(fd);
}

TEST(SingleInstance, OfTwoStartsAtOnceOneIsTheFirstAndTheOtherHandsOver)
{
    const QString folder = tltest::freshFolder();
    const QString socket = ti::socketPath(folder);
    ti::Server server;
    std::vector<ti::Request> received;
    server.setHandler([&](const ti::Request &r) { received.push_back(r); });

    // The first start listens on this thread's loop; it keeps the lock until then.
    std::atomic<int> firsts{0};
    std::promise<void> listening;
    std::shared_future<void> listened = listening.get_future().share();
    auto start = [&](const QString &file) {
        ti::Claim claim = ti::claim(folder, ti::Request{{file}, false, false}, 10000);
        if (claim.outcome == ti::HandOver::NoInstance) {
            EXPECT_TRUE(claim.lock && claim.lock->held());
            ++firsts;
            listened.wait();
        }
        return claim.outcome;
    };
    std::promise<void> go;
    std::shared_future<void> gate = go.get_future().share();
    auto a = std::async(std::launch::async, [&] { gate.wait(); return start(QStringLiteral("/a.nts")); });
    auto b = std::async(std::launch::async, [&] { gate.wait(); return start(QStringLiteral("/b.nts")); });
    go.set_value();

    bool listenedYet = false;
    ASSERT_TRUE(spinUntil([&] {
        if (!listenedYet && firsts > 0) {
            EXPECT_TRUE(server.listen(socket));
            listening.set_value();
            listenedYet = true;
        }
        return ready(a) && ready(b);
    }));
    const ti::HandOver ra = a.get(), rb = b.get();
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(int(ra == ti::HandOver::Delivered) + int(rb == ti::HandOver::Delivered), 1);
    ASSERT_TRUE(spinUntil([&] { return !received.empty(); }));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].files.value(0), ra == ti::HandOver::Delivered ? QStringLiteral("/a.nts")
                                                                         : QStringLiteral("/b.nts"));
}

} // namespace
