#include "controls/popupwindow.h"

#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

namespace tl {

void placePopup(QWidget *popup, const QWidget *over)
{
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(0, 0, popup->width(), popup->height() + 3), 1.5, 1.5);
    popup->setMask(QRegion(rounded.toFillPolygon().toPolygon()));
    const QRect main = over->frameGeometry();
    popup->move(main.center() - QPoint(popup->width() / 2, popup->height() / 2));
}

void TitleDrag::press(QPoint global)
{
    m_dragging = true;
    m_grab = global;
}

void TitleDrag::move(QPoint global)
{
    if (!m_dragging)
        return;
    m_window->move(m_window->pos() + global - m_grab);
    m_grab = global;
}

void TitleDrag::release(QPoint global)
{
    move(global);
    m_dragging = false;
}

} // namespace tl
