#include "platform/colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace tl {

static QPalette::ColorRole roleOfSystemIndex(quint32 index)
{
    switch (index) {
    case 0: return QPalette::Button;         // scroll bar
    case 1: return QPalette::Window;         // desktop
    case 4: return QPalette::Window;         // menu
    case 5: return QPalette::Base;           // window background
    case 6: return QPalette::Dark;           // window frame
    case 7: return QPalette::WindowText;     // menu text
    case 8: return QPalette::Text;           // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;        // button face
    case 16: return QPalette::Mid;           // button shadow
    case 17: return QPalette::PlaceholderText;
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;         // button highlight
    case 21: return QPalette::Shadow;
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

QColor colorFromStored(quint32 value)
{
    if (value & SystemColorBit)
        return QGuiApplication::palette().color(roleOfSystemIndex(value & 0xFFu));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 storedFromColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace tl
