#pragma once
// What the small borderless popups (font, jump to note) share: a rounded
// shape centred on the main window, and being dragged by their title.

#include <QPoint>

class QWidget;

namespace tl {

// Gives popup its rounded shape and centres it on over.
void placePopup(QWidget *popup, const QWidget *over);

// Moves a window with the pointer from a press on its title to the release;
// positions are the pointer's on the screen.
class TitleDrag {
public:
    explicit TitleDrag(QWidget *window) : m_window(window) {}
    void press(QPoint global);
    void move(QPoint global);
    void release(QPoint global);

private:
    QWidget *m_window;
    bool m_dragging = false;
    QPoint m_grab;
};

} // namespace tl
