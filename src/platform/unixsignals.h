#pragma once
// SIGTERM, SIGINT and SIGHUP arrive as a Qt signal on the event loop, so they
// can run the normal shutdown path instead of killing the process mid-write.

#include <QObject>

namespace tl {

class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);
};

} // namespace tl
