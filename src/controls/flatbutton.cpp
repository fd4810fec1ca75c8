#include "controls/flatbutton.h"

#include "platform/colors.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace tl {

// Painted here rather than through a style sheet: a sheet per button cost
// more at start-up than the rest of the tool bars together.
FlatButton::FlatButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    m_normal.font = font();
    m_hover = m_normal;
    m_hover.back = 0xD2BDB6;
}

void FlatButton::setNormalLook(const Look &look)
{
    m_normal = look;
    setFont(look.font);
    update();
}

void FlatButton::setHoverLook(const Look &look)
{
    m_hover = look;
    update();
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const bool pressed = isDown() || isChecked();
    // The keyboard's place shows as the pointer's does.
    const Look &look = (underMouse() || hasFocus()) && isEnabled() ? m_hover : m_normal;

    QStylePainter painter(this);
    painter.fillRect(rect(), colorFromStored(pressed ? m_pressed : look.back));
    option.font = look.font;
    option.palette.setColor(QPalette::ButtonText, colorFromStored(look.fore));
    option.palette.setColor(QPalette::WindowText, colorFromStored(look.fore));
    // Only the icon or text: the bevel and focus frame are the colours above.
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On | QStyle::State_MouseOver | QStyle::State_HasFocus);
    painter.setFont(look.font);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
}

} // namespace tl
