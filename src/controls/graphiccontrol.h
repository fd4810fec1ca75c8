#pragma once
// Base of the window-less looking controls: no background of their own, so
// the parent shows through wherever they paint nothing, and the usual mouse
// notifications as signals.

#include <QWidget>

namespace tl {

class GraphicControl : public QWidget {
    Q_OBJECT
public:
    explicit GraphicControl(QWidget *parent = nullptr);

Q_SIGNALS:
    void mouseDown(QMouseEvent *event);
    void mouseMove(QMouseEvent *event);
    void mouseUp(QMouseEvent *event);
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressedInside = false;
};

} // namespace tl
