#pragma once
// Shared by the control tests: a parent with a known solid background, so a
// grab shows exactly what a control paints and where it leaves the parent
// showing, plus hand-made mouse events.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace ctltest {

inline const QColor kParent(0xFF, 0x00, 0xFF);

class Backdrop {
public:
    Backdrop()
        : m_parent(std::make_unique<QWidget>())
    {
        QPalette pal = m_parent->palette();
        pal.setColor(QPalette::Window, kParent);
        m_parent->setPalette(pal);
        m_parent->setAutoFillBackground(true);
        m_parent->resize(320, 200);
    }
    QWidget *widget() const { return m_parent.get(); }
    // What the parent shows over the child's rectangle.
    QImage shot(const QWidget *child) const
    {
        return m_parent->grab(child->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }

private:
    std::unique_ptr<QWidget> m_parent;
};

inline int countColour(const QImage &img, QColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// Bounding box of the pixels of one exact colour (null when none).
inline QRect boxOf(const QImage &img, QColor c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline void sendMouse(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButton button,
                      Qt::MouseButtons held)
{
    const QPointF local = w->mapFromGlobal(QPointF(global));
    QMouseEvent ev(type, local, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

// Left press at a point of the widget, pointer moves by the given steps
// (in screen pixels from the press point), release at the last one.
inline void drag(QWidget *w, QPoint from, std::initializer_list<QPoint> steps)
{
    const QPoint start = w->mapToGlobal(from);
    sendMouse(w, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QPoint last = start;
    for (QPoint d : steps) {
        last = start + d;
        sendMouse(w, QEvent::MouseMove, last, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(w, QEvent::MouseButtonRelease, last, Qt::LeftButton, Qt::NoButton);
}

inline void hover(QWidget *w, QPoint local)
{
    sendMouse(w, QEvent::MouseMove, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton);
}

inline void enter(QWidget *w, QPoint local)
{
    QEnterEvent ev{QPointF(local), QPointF(local), QPointF(w->mapToGlobal(local))};
    QApplication::sendEvent(w, &ev);
}

inline void leave(QWidget *w)
{
    QEvent ev(QEvent::Leave);
    QApplication::sendEvent(w, &ev);
}

} // namespace ctltest
