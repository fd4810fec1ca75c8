#include "editor/keysounds.h"

#include <Qt>

namespace tl {

QString keySoundFile(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace:
        return QStringLiteral("sound/back.wav");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("sound/bell.wav");
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:  // Ctrl+Alt where the layout has no AltGr of its own
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
        return {};
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return {};
    return QStringLiteral("sound/type.wav");
}

} // namespace tl
