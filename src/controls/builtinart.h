#pragma once
// Where the built-in skin, glyphs, cursors, menu icons and program icon
// live in the resources (drawn by resources/draw/drawart).

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>

namespace tl::builtin {

// Registers the art compiled into the static UI library; call once before
// the first use (it is harmless to call again).
void initArt();

inline const QString skinPicture = QStringLiteral(":/skin/pledit.bmp");  // 280 x 186, 24 bits
inline const QString skinColours = QStringLiteral(":/skin/pledit.txt");

struct ButtonGlyph {
    const char *button;  // component name, also the file name of a skin's own glyph
    QSize size;
};

inline constexpr std::array<ButtonGlyph, 16> buttonGlyphs{{
    {"cmdBack", {16, 16}},        {"cmdNext", {16, 16}},   {"cmdNew", {16, 16}},
    {"cmdDel", {16, 16}},         {"cmdACenter", {16, 16}}, {"cmdALeft", {16, 16}},
    {"cmdARight", {16, 16}},      {"cmdBold", {16, 16}},   {"cmdBullet", {16, 16}},
    {"cmdFont", {16, 16}},        {"cmdItalic", {16, 16}}, {"cmdSelectColor", {16, 16}},
    {"cmdUnder", {16, 16}},       {"cmdSearch", {19, 19}}, {"cmdSearchAgain", {25, 24}},
    {"cmdSearchBack", {25, 24}},
}};

// The 24-bit glyph as a skin would supply it: its bottom-left pixel gives
// the transparent colour (magenta in the built-in ones).
inline QString buttonGlyphBmp(const char *button)
{
    return QStringLiteral(":/skin/buttons/%1.bmp").arg(QLatin1String(button));
}
// The same glyph with real alpha, for places that draw icons.
inline QString buttonGlyphPng(const char *button)
{
    return QStringLiteral(":/skin/buttons/%1.png").arg(QLatin1String(button));
}

struct CursorArt {
    int slot;              // cursor slot the skin loader fills
    const char *resource;  // name of the built-in cursor
    const char *file;      // under :/skin/cursors/, a 32 x 32 .cur
    QPoint hotSpot;        // as stored in the .cur file
};

inline constexpr std::array<CursorArt, 6> cursors{{
    {1, "PSIZE", "psize.cur", {15, 15}},
    {2, "PTBAR", "ptbar.cur", {1, 1}},
    {3, "PVSCROLL", "pvscroll.cur", {15, 15}},
    {4, "CLOSE", "close.cur", {1, 1}},
    {5, "MIN", "min.cur", {1, 1}},
    {6, "CURFROMWIN98", "ibeam.cur", {15, 15}},  // the editor's I-beam
}};

inline QString cursorPath(const CursorArt &c)
{
    return QStringLiteral(":/skin/cursors/%1").arg(QLatin1String(c.file));
}

// The 16 x 16 menu icons by image-list index (5 and 9 are spares).
inline constexpr std::array<const char *, 16> menuIconNames{
    "exit",     "help",     "copy",   "cut",     "paste",   "note",     "undo",    "selectall",
    "print",    "find",     "saveas", "newfile", "fileinfo", "website", "support", "openfile"};

inline QString menuIcon(int index)
{
    return QStringLiteral(":/menu/%1-%2.png")
        .arg(index, 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(menuIconNames.at(size_t(index))));
}

inline constexpr std::array<int, 8> programIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

inline QString programIcon(int size) { return QStringLiteral(":/icons/tessaleaf-%1.png").arg(size); }

// A built-in PNG read as PNG. A QIcon made from a file name decodes every
// size at once and first asks each image plugin whether it reads the file,
// loading them all: this is for the start-up path.
QImage readPng(const QString &path);
// Decoded when first drawn.
QIcon pngIcon(const QString &path);
// The program's icon for its windows and the tray: the sizes up to 128
// (the window system gets every size at each start; 256 is for launchers).
QIcon programWindowIcon();
// The small sizes only, for the tray.
QIcon programTrayIcon();

} // namespace tl::builtin
