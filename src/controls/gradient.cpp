#include "controls/gradient.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tl::darer {

QColor gradientStep(QColor begin, QColor end, int i, int n)
{
    if (n <= 0)
        return begin;
    auto ch = [&](int b, int e) { return b + i * (e - b) / n; };
    return QColor(ch(begin.red(), end.red()), ch(begin.green(), end.green()),
                  ch(begin.blue(), end.blue()));
}

QColor gradientStepRounded(QColor begin, QColor end, int i, int n)
{
    if (n <= 0)
        return begin;
    auto ch = [&](int b, int e) { return b + int(std::lround(double(i) * (e - b) / n)); };
    return QColor(ch(begin.red(), end.red()), ch(begin.green(), end.green()),
                  ch(begin.blue(), end.blue()));
}

namespace {

// Steps 0..n as ready-made pixels, so the per-pixel patterns stay cheap.
std::vector<QRgb> stepTable(QColor begin, QColor end, int n)
{
    std::vector<QRgb> t(size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
        t[size_t(i)] = gradientStep(begin, end, i, n).rgb();
    return t;
}

void fillRows(QImage &img, int y0, int y1, QRgb c)
{
    y0 = std::max(y0, 0);
    y1 = std::min(y1, img.height());
    for (int y = y0; y < y1; ++y)
        std::fill_n(reinterpret_cast<QRgb *>(img.scanLine(y)), img.width(), c);
}

void fillColumns(QImage &img, int x0, int x1, QRgb c)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, img.width());
    if (x0 >= x1)
        return;
    for (int y = 0; y < img.height(); ++y)
        std::fill(reinterpret_cast<QRgb *>(img.scanLine(y)) + x0,
                  reinterpret_cast<QRgb *>(img.scanLine(y)) + x1, c);
}

// 256 bands over size + 1 pixels. The band edges divide by 256 rather than
// 255 so the last band (the end colour) lands on the last pixel instead of
// just past it.
template <typename Fill>
void bands(QImage &img, int size, QColor begin, QColor end, Fill fill)
{
    for (int i = 0; i <= 255; ++i)
        fill(img, i * (size + 1) / 256, (i + 1) * (size + 1) / 256,
             gradientStep(begin, end, i, 255).rgb());
}

void frameRect(QImage &img, int l, int t, int r, int b, QRgb c)
{
    // Outline of [l, r) x [t, b), clipped to the picture.
    if (r <= l || b <= t)
        return;
    const int w = img.width(), h = img.height();
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb *>(img.scanLine(y))[x] = c;
    };
    for (int x = l; x < r; ++x) {
        put(x, t);
        put(x, b - 1);
    }
    for (int y = t; y < b; ++y) {
        put(l, y);
        put(r - 1, y);
    }
}

void rectangles(QImage &img, QColor begin, QColor end)
{
    const int w = img.width() + 1, h = img.height() + 1;
    const int n = std::max(w, h), m = n / 2;
    for (int g = 0; g <= m; ++g) {
        const int dx = g * w / n, dy = g * h / n;
        frameRect(img, dx, dy, w - dx, h - dy, gradientStep(begin, end, g, m).rgb());
    }
}

void ellipses(QImage &img, QColor begin, QColor end)
{
    const double w = img.width(), h = img.height();
    double l = -w / 4, t = -h / 4, r = w + w / 4, b = h + h / 4;
    const double sx = (0.75 * w) / 155, sy = (0.75 * h) / 155;
    img.fill(begin);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    for (int i = 0; i <= 155; ++i) {
        l += sx;
        r -= sx;
        t += sy;
        b -= sy;
        const int il = int(l), it = int(t), ir = int(r), ib = int(b);
        if (ir <= il || ib <= it)
            break;
        p.setBrush(gradientStepRounded(begin, end, i, 155));
        p.drawEllipse(QRect(il, it, ir - il, ib - it));
    }
}

// Pairs of bands growing from both edges towards the middle line.
template <typename Fill>
void centreBands(QImage &img, int size, QColor begin, QColor end, Fill fill)
{
    fill(img, 0, size, end.rgb());
    for (int i = 0; i <= 254; ++i) {
        const QRgb c = gradientStep(begin, end, i, 255).rgb();
        const int a = i * size / 510, z = (i + 1) * size / 510;
        fill(img, a, z, c);
        fill(img, size - z, size - a, c);
    }
}

// Diagonal patterns, one step per pixel from its distance along the
// diagonal; f maps the pixel centre (0..1, 0..1) to 0 (begin) .. 1 (end).
template <typename F>
void diagonal(QImage &img, QColor begin, QColor end, int steps, F f)
{
    const auto table = stepTable(begin, end, steps);
    const double w = img.width(), h = img.height();
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double v = (y + 0.5) / h;
        for (int x = 0; x < img.width(); ++x) {
            const int i = std::clamp(int(f((x + 0.5) / w, v) * (steps + 1)), 0, steps);
            line[x] = table[size_t(i)];
        }
    }
}

} // namespace

void paintGradient(QImage &img, GradientStyle style, QColor begin, QColor end)
{
    if (img.isNull() || img.depth() != 32)
        return;
    begin = begin.toRgb();
    end = end.toRgb();
    switch (style) {
    case gsHorizontal:
        bands(img, img.width(), begin, end, fillColumns);
        break;
    case gsVertical:
        bands(img, img.height(), begin, end, fillRows);
        break;
    case gsRectangle:
        rectangles(img, begin, end);
        break;
    case gsVertCenter:
        centreBands(img, img.height(), begin, end, fillRows);
        break;
    case gsHorizCenter:
        centreBands(img, img.width(), begin, end, fillColumns);
        break;
    case gsLeftTop:
        diagonal(img, begin, end, 256, [](double u, double v) { return (u + v) / 2; });
        break;
    case gsRightTop:
        diagonal(img, begin, end, 256, [](double u, double v) { return (1 - u + v) / 2; });
        break;
    case gsLeftTopRightBottom:
        diagonal(img, begin, end, 128, [](double u, double v) { return 1 - std::abs(u + v - 1); });
        break;
    case gsRightTopLeftBottom:
        diagonal(img, begin, end, 128, [](double u, double v) { return 1 - std::abs(u - v); });
        break;
    case gsElliptic:
        ellipses(img, begin, end);
        break;
    case gsNone:
    case gsTextOnly:
        img.fill(begin);
        break;
    case gsImage:
        break;
    }
}

} // namespace tl::darer
