#pragma once
// Synthetic skins for the tests: a picture whose regions are solid,
// distinct colours, written as any kind of bitmap, and archives of files.

#include "skins/skinlayout.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <utility>
#include <vector>

namespace skintest {

// Colours of the synthetic picture, by region.
inline constexpr QRgb background = 0xff404040;
inline constexpr QRgb titleLeft = 0xffff0000, titleCentre = 0xff00ff00, titleFiller = 0xff0000ff,
                      titleRight = 0xffffff00, leftRow42 = 0xffff00ff, leftRest = 0xff00ffff,
                      rightSide = 0xff800000, thumb = 0xff008000, thumbPressed = 0xff000080,
                      footLeft = 0xff808000, footFiller = 0xff800080, grip = 0xff008080;

// 280 x 186 (or larger) with every region filled with its colour.
QImage syntheticPicture(QSize size = tl::skin::pictureSize);

// A bitmap file of 8 (optionally RLE-compressed), 24 or 32 bits per pixel.
QByteArray bmpBytes(const QImage &image, int bits, bool rle = false);

// A ZIP archive holding these members (name, bytes), in this order.
QByteArray zipBytes(const std::vector<std::pair<QString, QByteArray>> &members);

// A .cur file with one 32 x 32 image and the given hot spot.
QByteArray curBytes(QPoint hotSpot, QRgb colour = 0xffff0000);

} // namespace skintest
