#include "controls/flatbutton.h"

#include "platform/colors.h"

namespace tl {

static QString css(const FlatButton::Look &look)
{
    QString weight = look.font.bold() ? QStringLiteral("bold") : QStringLiteral("normal");
    QString rule = QStringLiteral("color: %1; background-color: %2; font-weight: %3;")
                       .arg(colorFromStored(look.fore).name(), colorFromStored(look.back).name(), weight);
    if (!look.font.family().isEmpty())
        rule += QStringLiteral(" font-family: \"%1\";").arg(look.font.family());
    if (look.font.pointSize() > 0)
        rule += QStringLiteral(" font-size: %1pt;").arg(look.font.pointSize());
    return rule;
}

FlatButton::FlatButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    m_normal.font = font();
    m_hover = m_normal;
    m_hover.back = 0xD2BDB6;
    updateStyle();
}

void FlatButton::setNormalLook(const Look &look)
{
    m_normal = look;
    setFont(look.font);
    updateStyle();
}

void FlatButton::setHoverLook(const Look &look)
{
    m_hover = look;
    updateStyle();
}

void FlatButton::updateStyle()
{
    setStyleSheet(QStringLiteral("QToolButton { border: none; %1 }"
                                 " QToolButton:hover, QToolButton:focus { %2 }"
                                 " QToolButton:pressed, QToolButton:checked { background-color: %3; }")
                      .arg(css(m_normal), css(m_hover), colorFromStored(m_pressed).name()));
}

} // namespace tl
