#include "controls/graphiccontrol.h"

#include <QMouseEvent>

namespace tl {

GraphicControl::GraphicControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void GraphicControl::mousePressEvent(QMouseEvent *event)
{
    m_pressedInside = event->button() == Qt::LeftButton;
    Q_EMIT mouseDown(event);
}

void GraphicControl::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMove(event);
}

void GraphicControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressedInside && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressedInside = false;
    Q_EMIT mouseUp(event);
    if (click)
        Q_EMIT clicked();
}

void GraphicControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT mouseDown(event);
    Q_EMIT doubleClicked();
}

} // namespace tl
