#pragma once
// Colours are stored as 0x00BBGGRR, or 0x80000000 + a system colour index;
// they become QColor only at the widget edge.

#include <QColor>

namespace tl {

inline constexpr quint32 SystemColorBit = 0x80000000u;

// A system colour index becomes the matching role of the application palette.
QColor colorFromStored(quint32 value);
// A plain colour as 0x00BBGGRR.
quint32 storedFromColor(const QColor &color);

} // namespace tl
