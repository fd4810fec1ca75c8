#pragma once
// Widgets keep the stored colour value they were given (system colours
// included), so saving a widget's colour writes back exactly what was loaded.

#include <QtGlobal>

class QWidget;

namespace tl {

void setStoredBack(QWidget *widget, quint32 color);
void setStoredFore(QWidget *widget, quint32 color);
quint32 storedBack(const QWidget *widget);
quint32 storedFore(const QWidget *widget);

} // namespace tl
