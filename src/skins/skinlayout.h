#pragma once
// The arithmetic of the skinned window, free of widgets: where the pieces of
// the skin picture go, where the elements lie, how the size grip, the scroll
// thumb and the welcome banner step.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace tl::skin {

// Every skin picture offers these regions; a smaller one is laid over the
// built-in picture when it is read.
inline constexpr QSize pictureSize{280, 186};
inline constexpr QSize minimumWindow{150, 243};

namespace region {
inline constexpr QRect titleLeft{0, 0, 25, 20};
inline constexpr QRect titleCentre{26, 0, 100, 20};
inline constexpr QRect titleFiller{127, 0, 25, 20};
inline constexpr QRect titleRight{153, 0, 25, 20};
inline constexpr QRect leftSide{0, 42, 25, 29};
inline constexpr QRect rightSide{32, 42, 19, 29};
inline constexpr QRect thumb{52, 53, 8, 18};
inline constexpr QRect thumbPressed{61, 53, 8, 18};
inline constexpr QRect footLeft{0, 99, 12, 11};
inline constexpr QRect footFiller{12, 99, 100, 11};
inline constexpr QRect grip{265, 99, 11, 11};
} // namespace region

// One block copy: src and dst of equal size copy, otherwise src is scaled.
struct Blit {
    QRect src, dst;
    bool operator==(const Blit &) const = default;
};

// Title strip, W x 20, drawn in this order (later pieces cover earlier ones).
std::vector<Blit> headPieces(int width);
// Left border: only row 42, x 0 .. 10, shows; the control stretches it.
std::vector<Blit> leftPieces();
// Right border, 19 x sideHeight.
std::vector<Blit> rightPieces(int sideHeight);
// Bottom strip, (W - 11) x 11.
std::vector<Blit> footPieces(int width);
// Height of the side borders: between title and bottom strip.
constexpr int sideHeight(int windowHeight) { return windowHeight - 20 - 11; }

// Composes a picture of the given size; parts beyond the skin stay black.
QImage compose(const QImage &skin, QSize size, const std::vector<Blit> &pieces);

// Where the skinned layout puts its elements for a window of W x H.
struct SkinnedFrame {
    QRect imgHead, imgLeft, imgRight, imgFoot, imgSize;
    QRect cmdHide, cmdClose, lblFile;
    QRect panToolBar, Panel1, panFormat, Panel2, panSearch;
    QRect lblTopLine, lblLeftLine, lblRightLine, lblLineSeek;  // lblLeftLine in panFormat, lblLineSeek in panSearch
    int thumbLeft = 0;
};
// After a size change (FormResize): the right border 25 wide and H - 25
// high until the chrome is rebuilt (FormResize does so next), the editor
// panel H - 53 high (22 less with the find bar).
SkinnedFrame resizedFrame(int width, int height, bool searchShown);
// Right after a skin was loaded: right border 19 x (H - 25), editor panel H - 57.
SkinnedFrame loadedFrame(int width, int height, bool searchShown);

// The built-in look (framed window). The editor panel starts beside the
// format bar instead of covering it.
struct BuiltInFrame {
    QRect panToolBar, Panel1, panFormat, Panel2, panSearch, lblTopLine, lblLeftLine, lblLineSeek;
};
BuiltInFrame builtInFrame(int width, int clientHeight, bool searchShown);

// Rounds num / den to the nearest integer, halves to even; den > 0.
long long roundHalfEven(long long num, long long den);

// One move of the size grip: each dimension changes by the whole 5-pixel
// steps of the pointer's offset from the grab point.
QSize gripStep(QSize size, QPoint grab, QPoint pointer, QSize minimum = minimumWindow);

// The scroll thumb. Its top edge travels 30 .. H - 30.
struct ThumbInput {
    int lines = 0;         // lines of the editor text
    int lineHeight = 0;    // height of "T" in the editor's font
    int windowHeight = 0;  // H
    int editorHeight = 0;  // height of the editor control
};
// The text is taller than the thumb's travel; otherwise the thumb rests.
bool thumbActive(const ThumbInput &in);
// Top of the thumb for the caret on caretLine, or nothing when it stays.
std::optional<int> thumbTopForCaret(const ThumbInput &in, int caretLine);
struct ThumbMove {
    int top;     // new top of the thumb
    int scroll;  // lines to scroll the editor: -1, 0 or +1
    bool operator==(const ThumbMove &) const = default;
};
// One move while the thumb is held; y and grabY relative to the thumb.
ThumbMove thumbDrag(const ThumbInput &in, int top, int y, int grabY);
// The ends of the thumb's travel; the bottom is the clamp used when the window shrinks.
inline constexpr int thumbTop = 30;
constexpr int thumbBottom(int windowHeight) { return windowHeight - 30; }

// The welcome banner: columns = panel width / width of "R" (halves to even).
int bannerColumns(int panelWidth, int charWidth);
// What step (1-based) shows, or nothing when the banner is over.
std::optional<QString> bannerWindow(const QString &text, int columns, int step);

} // namespace tl::skin
