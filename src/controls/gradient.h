#pragma once
// Background patterns of the gradient label, drawn without any widget so
// the arithmetic can be checked pixel by pixel.

#include <QColor>
#include <QImage>
#include <QObject>

namespace tl::darer {
Q_NAMESPACE

// Published order: the numbers are stored in forms and must not move.
enum GradientStyle {
    gsHorizontal,
    gsVertical,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter,
    gsLeftTop,
    gsRightTop,
    gsLeftTopRightBottom,
    gsRightTopLeftBottom,
    gsElliptic,
    gsNone,
    gsImage,
    gsTextOnly,
};
Q_ENUM_NS(GradientStyle)

// Step i of n from begin to end, per channel begin + i * (end - begin) / n
// with the division truncated towards zero. n <= 0 gives begin.
QColor gradientStep(QColor begin, QColor end, int i, int n);

// The same, rounded to the nearest integer (the elliptic pattern).
QColor gradientStepRounded(QColor begin, QColor end, int i, int n);

// Paints the background of the given style over the whole of target
// (Format_RGB32 or ARGB32). gsImage leaves target untouched.
void paintGradient(QImage &target, GradientStyle style, QColor begin, QColor end);

} // namespace tl::darer
