#pragma once
// A function that sees one object's events before the object does, for the
// handlers the main window keeps on its components (a key typed in the
// editor, a press on the menu label). Errors are reported, not passed into
// Qt's event loop.

#include "controls/guarded.h"

#include <QEvent>
#include <QObject>
#include <functional>

namespace tl {

class EventHook : public QObject {
public:
    // handler returns true to keep the event from the object.
    using Handler = std::function<bool(QEvent *)>;
    EventHook(QObject *watched, Handler handler) : QObject(watched), m_handler(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        bool eaten = false;
        runGuarded([&] { eaten = m_handler(event); });
        return eaten;
    }

private:
    Handler m_handler;
};

} // namespace tl
