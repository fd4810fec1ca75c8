#pragma once
// Ending the program from outside: SIGTERM, SIGINT, SIGHUP or the end of the
// session. A modal dialog runs an event loop of its own and would hold the
// way out until someone answered it, so every one open is cancelled first,
// and so is every one opened after, while the window takes its normal way
// out (Exit, then FormDestroy: app/run.h).

#include <QObject>

namespace tl {

// Rejects the open modal dialogs, innermost first, as Cancel or Escape
// would; returns how many there were.
int cancelModalDialogs();

class ShutdownRequest : public QObject {
public:
    explicit ShutdownRequest(QObject *parent = nullptr) : QObject(parent) {}

    // Cancels the modal dialogs, now and from here on, and ends the event
    // loop if it runs. A later request only cancels again.
    void request(int exitStatus);
    bool requested() const { return m_requested; }
    int exitStatus() const { return m_status; }
    // Set while QApplication::exec runs: the loop to end.
    void setLoopRunning(bool running) { m_loopRunning = running; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_requested = false;
    bool m_loopRunning = false;
    int m_status = 0;
};

} // namespace tl
