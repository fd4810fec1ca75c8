#include "skins/skinlayout.h"

#include <QPainter>

#include <algorithm>

namespace tl::skin {

std::vector<Blit> headPieces(int width)
{
    const int c = (width + 1) / 2, f = width / 2;
    std::vector<Blit> out;
    out.push_back({region::titleLeft, {0, 0, 25, 20}});
    if (c - 75 > 0)
        out.push_back({region::titleFiller, {25, 0, c - 75, 20}});
    out.push_back({region::titleCentre, {c - 50, 0, 100, 20}});
    // Runs past the right edge; the picture cuts it off.
    out.push_back({region::titleFiller, {c + 50, 0, f, 20}});
    out.push_back({region::titleRight, {width - 25, 0, 25, 20}});
    return out;
}

std::vector<Blit> leftPieces()
{
    return {{QRect(region::leftSide.x(), region::leftSide.y(), 11, 1), QRect(0, 0, 11, 1)}};
}

std::vector<Blit> rightPieces(int sideHeight)
{
    return {{region::rightSide, {0, 0, 19, std::max(1, sideHeight)}}};
}

std::vector<Blit> footPieces(int width)
{
    std::vector<Blit> out{{region::footLeft, {0, 0, 12, 11}}};
    if (width - 23 > 0)
        out.push_back({region::footFiller, {12, 0, width - 23, 11}});
    return out;
}

QImage compose(const QImage &skin, QSize size, const std::vector<Blit> &pieces)
{
    QImage out(size.expandedTo({1, 1}), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    for (const Blit &b : pieces) {
        if (b.dst.isEmpty() || b.src.isEmpty())
            continue;
        // copy() fills what lies outside the skin picture with black.
        QImage piece = skin.copy(b.src).convertToFormat(QImage::Format_RGB32);
        if (b.src.size() != b.dst.size())
            piece = piece.scaled(b.dst.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        p.drawImage(b.dst.topLeft(), piece);
    }
    return out;
}

namespace {

SkinnedFrame commonFrame(int W, int H)
{
    SkinnedFrame f;
    f.imgHead = {0, 0, W, 20};
    f.imgLeft = {0, 20, 11, H - 31};
    f.imgFoot = {0, H - 11, W - 11, 11};
    f.imgSize = {W - 11, H - 11, 11, 11};
    f.cmdHide = {W - 24, 0, 12, 12};
    f.cmdClose = {W - 12, 0, 12, 12};
    f.lblFile = {8, 1, 14, 11};
    f.panToolBar = {31, 20, 81, 21};
    f.Panel1 = {92, 22, W - 111, 17};
    f.panFormat = {11, 42, 25, H - 53};
    f.panSearch = {11, H - 33, W - 30, 22};
    f.lblTopLine = {33, 41, W - 52, 1};
    f.lblLeftLine = {22, 0, 1, H - 53};
    f.lblLineSeek = {22, 0, W - 30, 1};
    f.thumbLeft = W - 15;
    return f;
}

} // namespace

SkinnedFrame resizedFrame(int W, int H, bool searchShown)
{
    SkinnedFrame f = commonFrame(W, H);
    f.imgRight = {W - 19, 20, 25, H - 25};
    f.Panel2 = {36, 42, W - 55, H - 53 - (searchShown ? 22 : 0)};
    f.lblRightLine = {W - 19, 41, 1, f.panSearch.top() - 41 + 1};
    return f;
}

SkinnedFrame loadedFrame(int W, int H, bool searchShown)
{
    SkinnedFrame f = commonFrame(W, H);
    f.imgRight = {W - 19, 20, 19, H - 25};
    // The find bar also takes one pixel of width for the right line.
    f.Panel2 = {36, 42, W - 55 - (searchShown ? 1 : 0), H - 57 - (searchShown ? 22 : 0)};
    f.lblRightLine = {W - 20, 41, 1, f.panSearch.top() - 41 + 1};
    return f;
}

BuiltInFrame builtInFrame(int W, int CH, bool searchShown)
{
    const int search = searchShown ? 22 : 0;
    BuiltInFrame f;
    f.panToolBar = {20, 0, 81, 21};
    f.Panel1 = {81, 2, W - 81, 17};
    f.panFormat = {0, 22, 25, std::max(0, CH - 22 - search)};
    f.Panel2 = {25, 22, W - 25, std::max(0, CH - 22 - search)};
    f.panSearch = {0, CH - 22, W, 22};
    f.lblTopLine = {33, 21, W - 52, 1};
    f.lblLeftLine = {22, 0, 1, f.panFormat.height()};
    f.lblLineSeek = {22, 0, W, 1};
    return f;
}

long long roundHalfEven(long long num, long long den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    long long q = num / den, r = num % den;
    if (r < 0) {  // floor division
        q -= 1;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0)))
        ++q;
    return q;
}

QSize gripStep(QSize size, QPoint grab, QPoint pointer, QSize minimum)
{
    // Whole 5-pixel steps of the pointer's way from the grab point. Taking
    // only offsets that are exact multiples would stall the grip whenever a
    // fast drag skips over them.
    const int dx = grab.x() - pointer.x(), dy = grab.y() - pointer.y();
    const QSize out(size.width() - (dx - dx % 5), size.height() - (dy - dy % 5));
    return out.expandedTo(minimum);
}

bool thumbActive(const ThumbInput &in)
{
    const long long travel = in.windowHeight - 60;
    if (travel <= 0 || in.lineHeight <= 0)
        return false;
    return (long long)in.lines * in.lineHeight >= travel;
}

std::optional<int> thumbTopForCaret(const ThumbInput &in, int caretLine)
{
    if (!thumbActive(in) || in.lines <= 0)
        return std::nullopt;
    // caret * lh / (N * lh / travel) = caret * travel / N, kept exact.
    const long long travel = in.windowHeight - 60;
    const long long top = roundHalfEven((long long)caretLine * travel, in.lines) + thumbTop;
    return int(std::clamp<long long>(top, thumbTop, thumbBottom(in.windowHeight)));
}

ThumbMove thumbDrag(const ThumbInput &in, int top, int y, int grabY)
{
    if (!thumbActive(in))
        return {top, 0};
    top += y - grabY;
    if (top > thumbBottom(in.windowHeight))
        return {thumbBottom(in.windowHeight), 0};
    if (top < thumbTop)
        return {thumbTop, 0};
    const long long visible = roundHalfEven(in.editorHeight, in.lineHeight);
    const long long hidden = in.lines - visible;
    // Nothing hidden, or more hidden lines than pixels to step them by:
    // there is no step, so the drag does not scroll.
    if (hidden <= 0)
        return {top, 0};
    const long long step = roundHalfEven(in.editorHeight, hidden);
    if (step <= 0)
        return {top, 0};
    if ((top - thumbTop) % step != 0)
        return {top, 0};
    return {top, y < grabY ? -1 : (y > grabY ? 1 : 0)};
}

int bannerColumns(int panelWidth, int charWidth)
{
    if (charWidth <= 0 || panelWidth <= 0)
        return 0;
    return int(roundHalfEven(panelWidth, charWidth));
}

std::optional<QString> bannerWindow(const QString &text, int columns, int step)
{
    const QString pad(columns, QLatin1Char(' '));
    const QString s = pad + text + pad;
    if (s.size() - columns == step || step < 1 || step > s.size())
        return std::nullopt;
    return s.mid(step - 1, columns);
}

} // namespace tl::skin
