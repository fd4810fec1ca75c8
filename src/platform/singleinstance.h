#pragma once
// One program per user: a second start hands its command line to the one
// running, over a local socket in the private temporary folder, and ends.
//
// The sender needs no event loop and no display (plain blocking socket
// calls, before any application object exists); the receiver listens with
// a non-blocking socket watched by the event loop. A start that finds no
// listener takes the lock file beside the socket, looks once more (another
// start may have won meanwhile) and then takes the socket over, removing one
// left by a killed program.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace tl::instance {

// What a start asks of the running program.
struct Request {
    QStringList files;    // absolute, in the order given
    bool toggle = false;  // --toggle: show the window, or hide it when shown
    bool start = false;   // the word `start`: nothing to show
    bool operator==(const Request &) const = default;
};

// The request of a command line (program name left out); relative names
// are resolved in workingDir, the sender's working folder.
Request fromArguments(const QStringList &args, const QString &workingDir);

// The message on the wire: its length, then the request. decode() takes
// the message without the length and gives nothing for anything broken.
QByteArray encode(const Request &request);
std::optional<Request> decode(const QByteArray &body);

// The socket inside a private folder (platform/paths.h, privateTempFolder).
QString socketPath(const QString &privateFolder);

enum class HandOver {
    Delivered,   // the running program has the request
    NoInstance,  // nobody listens (no socket, or one left by a killed program)
    NoAnswer,    // something listens but did not take the request in time
};

// Connects, sends, and waits up to timeoutMs for the receipt.
HandOver handOver(const QString &socket, const Request &request, int timeoutMs);

// The lock taken while a start decides whether it is the first; released
// by the destructor or when the process ends, however it ends.
class StartLock {
public:
    explicit StartLock(const QString &privateFolder);  // waits for the lock
    ~StartLock();
    StartLock(const StartLock &) = delete;
    StartLock &operator=(const StartLock &) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// A start's decision: hand over to the program running, or be the first.
// The first gets the lock and keeps it until its Server listens, so of two
// starts at once one hands over to the other.
struct Claim {
    HandOver outcome = HandOver::NoInstance;
    std::unique_ptr<StartLock> lock;  // with NoInstance: listen, then drop it
};
Claim claim(const QString &privateFolder, const Request &request, int timeoutMs);

// The running program's side. Requests that arrive before a handler is set
// wait for it (start-up is still running then).
class Server : public QObject {
public:
    explicit Server(QObject *parent = nullptr);
    ~Server() override;

    // Listens at socket, taking over one nobody listens at. Call it only
    // while holding the StartLock and after handOver found no instance.
    bool listen(const QString &socket);
    bool listening() const;
    void setHandler(std::function<void(const Request &)> handler);

private:
    void accept();
    void deliver(const Request &request);

    int m_fd = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    std::function<void(const Request &)> m_handler;
    std::vector<Request> m_pending;
};

} // namespace tl::instance
