// Draws the built-in skin, button glyphs, cursors, menu icons and program
// icon into the given resources folder. Run it again after changing a
// drawing; its output is committed so normal builds need no display.
//
//   drawart <resources folder> [preview.png]

#include "palette.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>
#include <functional>
#include <vector>

using namespace art;

namespace {

QString g_out;

QString outPath(const QString &rel)
{
    const QString p = g_out + QLatin1Char('/') + rel;
    QDir().mkpath(QFileInfo(p).absolutePath());
    return p;
}

void saveOrDie(const QImage &img, const QString &rel, const char *format)
{
    if (!img.save(outPath(rel), format)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(rel));
        std::exit(1);
    }
}

// --- pixel helpers for the chrome ---------------------------------------------

void put(QImage &img, int x, int y, QColor c)
{
    if (img.rect().contains(x, y))
        img.setPixelColor(x, y, c);
}

void hline(QImage &img, int x0, int x1, int y, QColor c)
{
    for (int x = x0; x <= x1; ++x)
        put(img, x, y, c);
}

void vline(QImage &img, int x, int y0, int y1, QColor c)
{
    for (int y = y0; y <= y1; ++y)
        put(img, x, y, c);
}

void box(QImage &img, QRect r, QColor c)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        hline(img, r.left(), r.right(), y, c);
}

QColor mix(QColor a, QColor b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The title strip's rows, top to bottom (20 rows).
QColor titleRow(int y)
{
    if (y == 0)
        return outline;
    if (y == 1)
        return hilite;
    if (y == 18)
        return shadow;
    if (y == 19)
        return outline;
    return mix(bodyTop, bodyBottom, (y - 2) / 15.0);
}

// The left border's columns, outside in (11 columns).
QColor leftColumn(int x)
{
    static const QColor cols[11] = {outline, hilite, bodyLight, bodyLight, body, body,
                                    body,    body,   shadow,    edge,      outline};
    return cols[std::clamp(x, 0, 10)];
}

// The right border's columns, inside out (19 columns); the thumb rides in
// the groove at columns 4 to 11.
QColor rightColumn(int x)
{
    static const QColor cols[19] = {outline, hilite, bodyLight, body,   groove,    grooveFloor, grooveFloor,
                                    grooveFloor, grooveFloor, grooveFloor, grooveFloor, grooveLip, bodyLight,
                                    body,        body,        body,        body,        shadow,    outline};
    return cols[std::clamp(x, 0, 18)];
}

// The bottom strip's rows, top to bottom (11 rows).
QColor footRow(int y)
{
    static const QColor rows[11] = {outline, hilite, bodyLight, body, body, body,
                                    body,    bodyBottom, shadow, edge, outline};
    return rows[std::clamp(y, 0, 10)];
}

void titleStrip(QImage &img, QRect r)
{
    for (int y = 0; y < r.height(); ++y)
        hline(img, r.left(), r.right(), r.top() + y, titleRow(y));
}

void footStrip(QImage &img, QRect r)
{
    for (int y = 0; y < r.height(); ++y)
        hline(img, r.left(), r.right(), r.top() + y, footRow(y));
}

QFont smallFont(int px, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// A leaf: the program's mark, in a box of the given size.
QPainterPath leafPath(QRectF r)
{
    QPainterPath p;
    const QPointF tip(r.right(), r.top()), stem(r.left(), r.bottom());
    p.moveTo(stem);
    p.cubicTo(QPointF(r.left(), r.top() + r.height() * 0.25), QPointF(r.left() + r.width() * 0.45, r.top()), tip);
    p.cubicTo(QPointF(r.right(), r.top() + r.height() * 0.55), QPointF(r.left() + r.width() * 0.75, r.bottom()),
              stem);
    return p;
}

void leaf(QPainter &p, QRectF r, QColor fill, QColor vein)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QLinearGradient g(r.topRight(), r.bottomLeft());
    g.setColorAt(0, fill.lighter(130));
    g.setColorAt(1, fill.darker(125));
    p.setBrush(g);
    p.drawPath(leafPath(r));
    QPen pen(vein, std::max(0.8, r.width() / 14));
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath v;
    v.moveTo(r.left() + r.width() * 0.08, r.bottom() - r.height() * 0.08);
    v.quadTo(QPointF(r.left() + r.width() * 0.5, r.top() + r.height() * 0.55),
             QPointF(r.right() - r.width() * 0.12, r.top() + r.height() * 0.12));
    p.drawPath(v);
    p.restore();
}

// --- the skin picture -----------------------------------------------------------

void menuButton(QImage &img, QPoint at)
{
    // 14 x 11 under the menu label: a small inset button with three lines.
    const QRect r(at, QSize(14, 11));
    box(img, r.adjusted(1, 1, -1, -1), plate);
    hline(img, r.left() + 1, r.right() - 1, r.top(), outline);
    vline(img, r.left(), r.top() + 1, r.bottom() - 1, outline);
    hline(img, r.left() + 1, r.right() - 1, r.bottom(), grooveLip);
    vline(img, r.right(), r.top() + 1, r.bottom() - 1, shadow);
    for (int k = 0; k < 3; ++k) {
        hline(img, r.left() + 4, r.right() - 4, r.top() + 3 + 2 * k, k == 0 ? accentLight : accent);
    }
}

void titleButton(QImage &img, QRect r, bool close)
{
    // Raised little button; the mark is drawn pixel by pixel for crispness.
    for (int y = r.top(); y <= r.bottom(); ++y)
        hline(img, r.left(), r.right(), y, mix(hilite, body, double(y - r.top()) / r.height()));
    hline(img, r.left(), r.right(), r.top(), outline);
    hline(img, r.left(), r.right(), r.bottom(), outline);
    vline(img, r.left(), r.top(), r.bottom(), outline);
    vline(img, r.right(), r.top(), r.bottom(), outline);
    hline(img, r.left() + 1, r.right() - 1, r.top() + 1, QColor(0x6e, 0x7a, 0x90));
    const QPoint c = r.center();
    if (close) {
        for (int d = -2; d <= 2; ++d) {
            put(img, c.x() + d, c.y() + d, text);
            put(img, c.x() + d, c.y() - d, text);
        }
    } else {
        hline(img, c.x() - 2, c.x() + 2, c.y() + 2, text);
        hline(img, c.x() - 2, c.x() + 2, c.y() + 1, textDim);
    }
}

QImage skinPicture()
{
    QImage img(280, 186, QImage::Format_RGB32);
    img.fill(QColor(0x1b, 0x1f, 0x26));

    // Title strip pieces, with the gaps between them filled alike.
    titleStrip(img, QRect(0, 0, 178, 20));

    // Left corner: the outer edge turns down into the left border.
    for (int y = 1; y < 20; ++y) {
        put(img, 0, y, outline);
        put(img, 1, y, y == 19 ? bodyLight : hilite);
    }
    menuButton(img, QPoint(8, 1));

    // Centre: an inset name plate.
    {
        const QRect plateRect(26 + 5, 4, 90, 12);
        box(img, plateRect, plate);
        hline(img, plateRect.left(), plateRect.right(), plateRect.top() - 1, outline);
        hline(img, plateRect.left(), plateRect.right(), plateRect.bottom() + 1, grooveLip);
        vline(img, plateRect.left() - 1, plateRect.top(), plateRect.bottom(), outline);
        vline(img, plateRect.right() + 1, plateRect.top(), plateRect.bottom(), shadow);
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing);
        leaf(p, QRectF(plateRect.left() + 4, plateRect.top() + 2, 8, 8), accent, plate);
        QFont f = smallFont(8, true);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
        p.setFont(f);
        p.setPen(text);
        p.drawText(QRect(plateRect.left() + 13, plateRect.top(), plateRect.width() - 15, plateRect.height()),
                   Qt::AlignCenter, QStringLiteral("TESSALEAF"));
    }

    // Filler: two engraved grip lines, the same in every column so it
    // stretches cleanly.
    for (int x = 127; x < 152; ++x) {
        put(img, x, 7, shadow);
        put(img, x, 8, hilite);
        put(img, x, 11, shadow);
        put(img, x, 12, hilite);
    }
    // The centre's plate sits between the same grip lines at its ends.
    for (int x = 26; x <= 29; ++x) {
        put(img, x, 7, shadow);
        put(img, x, 8, hilite);
        put(img, x, 11, shadow);
        put(img, x, 12, hilite);
    }
    for (int x = 122; x <= 125; ++x) {
        put(img, x, 7, shadow);
        put(img, x, 8, hilite);
        put(img, x, 11, shadow);
        put(img, x, 12, hilite);
    }

    // Right corner: minimise over x 1..12, close over x 13..24; the
    // right edge runs on into the right border.
    {
        const int x0 = 153;
        for (int x = x0; x <= x0 + 1; ++x) {
            put(img, x, 7, shadow);
            put(img, x, 8, hilite);
            put(img, x, 11, shadow);
            put(img, x, 12, hilite);
        }
        titleButton(img, QRect(x0 + 3, 2, 9, 9), false);
        titleButton(img, QRect(x0 + 14, 2, 9, 9), true);
        for (int y = 1; y < 20; ++y) {
            put(img, x0 + 23, y, shadow);
            put(img, x0 + 24, y, outline);
        }
        // Where the right border meets the title: its columns start here.
        for (int x = 0; x < 19; ++x)
            put(img, x0 + 6 + x, 19, x == 0 || x == 18 ? outline : rightColumn(x) == hilite ? hilite : outline);
    }
    // Left corner's bottom row meets the left border.
    for (int x = 0; x < 11; ++x)
        put(img, x, 19, x == 0 || x == 10 ? outline : leftColumn(x) == hilite ? hilite : outline);

    // Left side: every row the left border's profile (only row 42, x 0..10
    // shows); the rest carries a matching plate.
    for (int y = 42; y < 71; ++y) {
        for (int x = 0; x < 11; ++x)
            put(img, x, y, leftColumn(x));
        for (int x = 11; x < 25; ++x)
            put(img, x, y, x == 24 ? outline : (y - 42) % 4 == 0 ? shadow : body);
    }

    // Right side: the scroll track, the same in every row.
    for (int y = 42; y < 71; ++y)
        for (int x = 0; x < 19; ++x)
            put(img, 32 + x, y, rightColumn(x));

    // Scroll thumbs, at rest and held.
    auto thumb = [&](int x0, bool held) {
        const QRect r(x0, 53, 8, 18);
        const QColor top = held ? accentLight : QColor(0x6a, 0x76, 0x8b);
        const QColor bottom = held ? accentDark : QColor(0x3a, 0x42, 0x51);
        for (int y = r.top(); y <= r.bottom(); ++y)
            hline(img, r.left(), r.right(), y, mix(top, bottom, double(y - r.top()) / (r.height() - 1)));
        hline(img, r.left() + 1, r.right() - 1, r.top(), outline);
        hline(img, r.left() + 1, r.right() - 1, r.bottom(), outline);
        vline(img, r.left(), r.top() + 1, r.bottom() - 1, outline);
        vline(img, r.right(), r.top() + 1, r.bottom() - 1, outline);
        hline(img, r.left() + 1, r.right() - 1, r.top() + 1, held ? QColor(0xc4, 0xf5, 0xe3) : QColor(0x8e, 0x99, 0xad));
        const QColor groove1 = held ? QColor(0x16, 0x5c, 0x45) : outline;
        const QColor lip = held ? QColor(0xb0, 0xf0, 0xd8) : QColor(0x7c, 0x88, 0x9c);
        for (int k = 0; k < 3; ++k) {
            hline(img, r.left() + 2, r.right() - 2, r.top() + 6 + 2 * k, groove1);
            hline(img, r.left() + 2, r.right() - 2, r.top() + 7 + 2 * k, lip);
        }
        put(img, r.left(), r.top(), groove);
        put(img, r.right(), r.top(), groove);
        put(img, r.left(), r.bottom(), groove);
        put(img, r.right(), r.bottom(), groove);
    };
    thumb(52, false);
    thumb(61, true);

    // Bottom strip: left end, filler, size grip.
    footStrip(img, QRect(0, 99, 112, 11));
    // The left border turns into the strip: its inner dark edge stops at
    // the strip's top row, its lit outer edge runs on down.
    for (int x = 0; x < 11; ++x)
        put(img, x, 99, leftColumn(x));
    for (int y = 100; y < 110; ++y) {
        put(img, 0, y, outline);
        put(img, 1, y, y - 99 >= 9 ? footRow(y - 99) : hilite);
    }
    footStrip(img, QRect(265, 99, 11, 11));
    {
        const int gx = 265, gy = 99;
        // Right edge and the end of the track above.
        for (int y = 0; y < 11; ++y) {
            put(img, gx + 9, gy + y, y == 0 ? outline : shadow);
            put(img, gx + 10, gy + y, outline);
        }
        // Three engraved ridges across the corner.
        for (int k : {10, 6, 2}) {
            for (int x = 0; x < 9; ++x) {
                const int y = k + 8 - x - 2;
                if (y >= 2 && y <= 8 && x >= 2) {
                    put(img, gx + x, gy + y, hilite);
                    put(img, gx + x + 1, gy + y, outline);
                }
            }
        }
    }
    return img;
}

// --- glyphs ---------------------------------------------------------------------

// Draws a glyph in light grey with a dark rim, so it reads on the black
// skinned bars and on the light hot-track colour alike.
using Shape = std::function<void(QPainterPath &, QPainterPath &)>;  // fill, strokes

QImage glyphImage(QSize size, const Shape &shape, QColor colour = glyph)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainterPath fill, strokes;
    shape(fill, strokes);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen rim(glyphEdge, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // Strokes go over the filled shapes with their own rim, so a mark on a
    // page still reads.
    p.strokePath(fill, QPen(glyphEdge, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(fill, colour);
    p.strokePath(strokes, rim);
    p.strokePath(strokes, QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return img;
}

// 24-bit glyph: the key colour where the glyph is mostly transparent (the
// bottom-left pixel is always key, which marks the transparent colour).
QImage keyed(const QImage &argb)
{
    QImage out(argb.size(), QImage::Format_RGB888);
    const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QColor c = src.pixelColor(x, y);
            out.setPixelColor(x, y, c.alpha() >= 110 ? QColor(c.red(), c.green(), c.blue()) : key);
        }
    out.setPixelColor(0, out.height() - 1, key);
    return out;
}

QPainterPath textPath(const QString &s, QFont f, QRectF in)
{
    QPainterPath p;
    p.addText(0, 0, f, s);
    const QRectF b = p.boundingRect();
    p.translate(in.center() - b.center());
    return p;
}

struct Glyph {
    const char *name;
    QSize size;
    Shape shape;
};

QFont glyphFont(double px, bool bold, bool italic = false, const char *family = "DejaVu Sans")
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(int(px));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void arrow(QPainterPath &f, QPointF tip, double dir, double len, double half)
{
    // Triangle pointing in dir (+1 right, -1 left).
    f.moveTo(tip);
    f.lineTo(tip.x() - dir * len, tip.y() - half);
    f.lineTo(tip.x() - dir * len, tip.y() + half);
    f.closeSubpath();
}

void page(QPainterPath &f, QRectF r, double fold)
{
    f.moveTo(r.left(), r.top());
    f.lineTo(r.right() - fold, r.top());
    f.lineTo(r.right(), r.top() + fold);
    f.lineTo(r.right(), r.bottom());
    f.lineTo(r.left(), r.bottom());
    f.closeSubpath();
}

void lens(QPainterPath &s, QPointF c, double r, double handle)
{
    s.addEllipse(c, r, r);
    const double d = r * 0.7071;
    s.moveTo(c.x() + d, c.y() + d);
    s.lineTo(c.x() + d + handle, c.y() + d + handle);
}

void alignLines(QPainterPath &s, const double (&x0)[4], const double (&x1)[4])
{
    for (int k = 0; k < 4; ++k) {
        s.moveTo(x0[k], 3.5 + 3 * k);
        s.lineTo(x1[k], 3.5 + 3 * k);
    }
}

std::vector<Glyph> glyphs()
{
    const QSize g16(16, 16);
    return {
        {"cmdBack", g16, [](QPainterPath &f, QPainterPath &) {
             arrow(f, {3, 8}, -1, 7, 5.5);
             f.addRect(QRectF(10, 6, 3.5, 4));
         }},
        {"cmdNext", g16, [](QPainterPath &f, QPainterPath &) {
             arrow(f, {13, 8}, 1, 7, 5.5);
             f.addRect(QRectF(2.5, 6, 3.5, 4));
         }},
        {"cmdNew", g16, [](QPainterPath &f, QPainterPath &s) {
             QPainterPath pg;
             page(pg, QRectF(2, 1.5, 9, 11.5), 3);
             f.addPath(pg);
             s.moveTo(12, 8.5);
             s.lineTo(12, 14);
             s.moveTo(9.25, 11.25);
             s.lineTo(14.75, 11.25);
         }},
        {"cmdDel", g16, [](QPainterPath &f, QPainterPath &s) {
             QPainterPath pg;
             page(pg, QRectF(2, 1.5, 9, 11.5), 3);
             f.addPath(pg);
             s.moveTo(9.5, 9);
             s.lineTo(14, 13.5);
             s.moveTo(14, 9);
             s.lineTo(9.5, 13.5);
         }},
        {"cmdALeft", g16, [](QPainterPath &, QPainterPath &s) {
             alignLines(s, {2.5, 2.5, 2.5, 2.5}, {13.5, 9, 12, 7.5});
         }},
        {"cmdACenter", g16, [](QPainterPath &, QPainterPath &s) {
             alignLines(s, {2.5, 5, 3.5, 5.5}, {13.5, 11, 12.5, 10.5});
         }},
        {"cmdARight", g16, [](QPainterPath &, QPainterPath &s) {
             alignLines(s, {2.5, 7, 4, 8.5}, {13.5, 13.5, 13.5, 13.5});
         }},
        {"cmdBold", g16, [](QPainterPath &f, QPainterPath &) {
             f.addPath(textPath(QStringLiteral("B"), glyphFont(15, true), QRectF(0, 0, 16, 16)));
         }},
        {"cmdItalic", g16, [](QPainterPath &f, QPainterPath &) {
             f.addPath(textPath(QStringLiteral("I"), glyphFont(15, true, true, "DejaVu Serif"), QRectF(0, 0, 16, 16)));
         }},
        {"cmdUnder", g16, [](QPainterPath &f, QPainterPath &s) {
             f.addPath(textPath(QStringLiteral("U"), glyphFont(12, true), QRectF(0, -1.5, 16, 14)));
             s.moveTo(3.5, 14);
             s.lineTo(12.5, 14);
         }},
        {"cmdBullet", g16, [](QPainterPath &f, QPainterPath &s) {
             for (int k = 0; k < 3; ++k) {
                 f.addEllipse(QPointF(3.5, 3.5 + 4.5 * k), 1.7, 1.7);
                 s.moveTo(7, 3.5 + 4.5 * k);
                 s.lineTo(13.5, 3.5 + 4.5 * k);
             }
         }},
        {"cmdFont", g16, [](QPainterPath &f, QPainterPath &) {
             f.addPath(textPath(QStringLiteral("A"), glyphFont(14, true, false, "DejaVu Serif"), QRectF(-2, 0, 14, 16)));
             f.addPath(textPath(QStringLiteral("a"), glyphFont(9, true), QRectF(9, 6, 7, 10)));
         }},
        {"cmdSelectColor", g16, [](QPainterPath &f, QPainterPath &) {
             f.addPath(textPath(QStringLiteral("A"), glyphFont(12, true), QRectF(0, -2, 16, 14)));
         }},
        {"cmdSearch", QSize(19, 19), [](QPainterPath &, QPainterPath &s) { lens(s, {8, 8}, 4.6, 5); }},
        {"cmdSearchAgain", QSize(25, 24), [](QPainterPath &f, QPainterPath &s) {
             lens(s, {9, 10}, 4.6, 4.5);
             arrow(f, {22.5, 10}, 1, 5.5, 4.5);
         }},
        {"cmdSearchBack", QSize(25, 24), [](QPainterPath &f, QPainterPath &s) {
             lens(s, {15, 10}, 4.6, 4.5);
             arrow(f, {2.5, 10}, -1, 5.5, 4.5);
         }},
    };
}

QImage glyphFor(const Glyph &g)
{
    QImage img = glyphImage(g.size, g.shape);
    if (QByteArray(g.name) == "cmdSelectColor") {
        // The colour bar under the letter is the one coloured glyph.
        QPainter p(&img);
        p.fillRect(QRect(2, 12, 12, 3), glyphEdge);
        QLinearGradient lg(3, 0, 13, 0);
        lg.setColorAt(0, QColor(0xff, 0x5d, 0x5d));
        lg.setColorAt(0.5, accent);
        lg.setColorAt(1, QColor(0x5d, 0x9c, 0xff));
        p.fillRect(QRect(3, 13, 10, 1), lg);
    }
    return img;
}

// --- cursors ----------------------------------------------------------------------

struct Cursor {
    const char *file;
    QPoint hot;
    std::function<void(QPainter &)> draw;
};

// A Windows .cur holding one 32 x 32 image with alpha and its hot spot.
QByteArray curFile(const QImage &argb, QPoint hot)
{
    const QImage img = argb.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray dib;
    auto u16 = [](QByteArray &b, quint16 v) { v = qToLittleEndian(v); b.append(reinterpret_cast<const char *>(&v), 2); };
    auto u32 = [](QByteArray &b, quint32 v) { v = qToLittleEndian(v); b.append(reinterpret_cast<const char *>(&v), 4); };
    u32(dib, 40);
    u32(dib, quint32(w));
    u32(dib, quint32(2 * h));
    u16(dib, 1);
    u16(dib, 32);
    u32(dib, 0);
    u32(dib, quint32(w * h * 4 + maskStride * h));
    for (int k = 0; k < 4; ++k)
        u32(dib, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            dib.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p))).append(char(qAlpha(p)));
        }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        dib.append(row);
    }
    QByteArray out;
    u16(out, 0);
    u16(out, 2);  // cursor
    u16(out, 1);
    out.append(char(w)).append(char(h)).append('\0').append('\0');
    u16(out, quint16(hot.x()));
    u16(out, quint16(hot.y()));
    u32(out, quint32(dib.size()));
    u32(out, 6 + 16);
    out.append(dib);
    return out;
}

void outlined(QPainter &p, const QPainterPath &path, QColor fill = QColor(0xf2, 0xf4, 0xf7))
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath pointerPath()
{
    QPainterPath a;
    a.moveTo(1.5, 1.5);
    a.lineTo(1.5, 18.5);
    a.lineTo(5.5, 14.5);
    a.lineTo(8.5, 21.0);
    a.lineTo(11.0, 20.0);
    a.lineTo(8.2, 13.5);
    a.lineTo(13.5, 13.5);
    a.closeSubpath();
    return a;
}

// Double-headed arrow along the x axis, centred on the origin.
QPainterPath doubleArrow(double len, double head, double shaft)
{
    QPainterPath a;
    a.moveTo(-len, 0);
    a.lineTo(-len + head, -head);
    a.lineTo(-len + head, -shaft);
    a.lineTo(len - head, -shaft);
    a.lineTo(len - head, -head);
    a.lineTo(len, 0);
    a.lineTo(len - head, head);
    a.lineTo(len - head, shaft);
    a.lineTo(-len + head, shaft);
    a.lineTo(-len + head, head);
    a.closeSubpath();
    return a;
}

void badge(QPainter &p, bool close)
{
    // A round accent badge by the pointer, with the hot area's mark.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(outline, 1.0));
    p.setBrush(close ? QColor(0xe0, 0x5a, 0x5a) : accent);
    p.drawEllipse(QPointF(19.5, 20.5), 6.0, 6.0);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    if (close) {
        p.drawLine(QPointF(17.3, 18.3), QPointF(21.7, 22.7));
        p.drawLine(QPointF(21.7, 18.3), QPointF(17.3, 22.7));
    } else {
        p.drawLine(QPointF(17.0, 22.0), QPointF(22.0, 22.0));
    }
}

std::vector<Cursor> cursors()
{
    return {
        {"psize.cur", {15, 15}, [](QPainter &p) {
             p.translate(15.5, 15.5);
             p.rotate(45);
             outlined(p, doubleArrow(11, 4.5, 1.5));
         }},
        {"ptbar.cur", {1, 1}, [](QPainter &p) {
             outlined(p, pointerPath());
             // A small four-way mark: this part moves the window.
             p.translate(20.5, 20.5);
             outlined(p, doubleArrow(6, 3, 1), accentLight);
             p.rotate(90);
             outlined(p, doubleArrow(6, 3, 1), accentLight);
         }},
        {"pvscroll.cur", {15, 15}, [](QPainter &p) {
             p.translate(15.5, 15.5);
             p.rotate(90);
             outlined(p, doubleArrow(11, 4.5, 1.5));
             p.setPen(QPen(accentDark, 1.0));
             p.setBrush(accent);
             p.drawRoundedRect(QRectF(-2.5, -2.5, 5, 5), 1, 1);
         }},
        {"close.cur", {1, 1}, [](QPainter &p) {
             outlined(p, pointerPath());
             badge(p, true);
         }},
        {"min.cur", {1, 1}, [](QPainter &p) {
             outlined(p, pointerPath());
             badge(p, false);
         }},
        {"ibeam.cur", {15, 15}, [](QPainter &p) {
             // Light beam with a dark rim: visible on dark and light editors.
             QPainterPath b;
             b.moveTo(11.5, 5.5);
             b.lineTo(14.5, 5.5);
             b.lineTo(15.5, 6.5);
             b.lineTo(16.5, 5.5);
             b.lineTo(19.5, 5.5);
             b.lineTo(19.5, 7.5);
             b.lineTo(16.5, 7.5);
             b.lineTo(16.5, 23.5);
             b.lineTo(19.5, 23.5);
             b.lineTo(19.5, 25.5);
             b.lineTo(16.5, 25.5);
             b.lineTo(15.5, 24.5);
             b.lineTo(14.5, 25.5);
             b.lineTo(11.5, 25.5);
             b.lineTo(11.5, 23.5);
             b.lineTo(14.5, 23.5);
             b.lineTo(14.5, 7.5);
             b.lineTo(11.5, 7.5);
             b.closeSubpath();
             p.translate(0, 0);
             outlined(p, b);
         }},
    };
}

// --- menu icons -------------------------------------------------------------------

struct Icon {
    int index;
    const char *name;
    std::function<void(QPainter &)> draw;
};

void ink(QPainter &p, QColor fill, double width = 1.0)
{
    p.setPen(QPen(QColor(0x2b, 0x30, 0x38), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
}

void paper(QPainter &p, QRectF r, double fold = 3.5)
{
    QPainterPath pg;
    page(pg, r, fold);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xdc, 0xe2, 0xea));
    ink(p, Qt::white);
    p.setBrush(g);
    p.drawPath(pg);
    QPainterPath ear;
    ear.moveTo(r.right() - fold, r.top());
    ear.lineTo(r.right() - fold, r.top() + fold);
    ear.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xc4, 0xcc, 0xd8));
    p.drawPath(ear);
}

void textLines(QPainter &p, double x0, double x1, double y0, int n, double step = 2.0)
{
    p.setPen(QPen(QColor(0x8a, 0x94, 0xa3), 1.0));
    for (int k = 0; k < n; ++k)
        p.drawLine(QPointF(x0, y0 + k * step), QPointF(x1, y0 + k * step));
}

void disc(QPainter &p, QPointF c, double r, QColor top, QColor bottom)
{
    QLinearGradient g(c.x(), c.y() - r, c.x(), c.y() + r);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    ink(p, top);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

std::vector<Icon> menuIcons()
{
    const QColor blue(0x3d, 0x8b, 0xe0), blueDark(0x23, 0x5f, 0xa8);
    const QColor red(0xe2, 0x4d, 0x4d), redDark(0xa8, 0x2a, 0x2a);
    const QColor green = accent;
    const QColor amber(0xf2, 0xb5, 0x3c), amberDark(0xb9, 0x7b, 0x12);
    return {
        {0, "exit", [=](QPainter &p) {
             disc(p, {8, 8.5}, 6.5, red, redDark);
             p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(4.5, 5, 7, 7), 120 * 16, 300 * 16);
             p.drawLine(QPointF(8, 3.8), QPointF(8, 8.2));
         }},
        {1, "help", [=](QPainter &p) {
             disc(p, {8, 8}, 6.5, blue, blueDark);
             p.setPen(Qt::white);
             QFont f = glyphFont(10, true);
             p.setFont(f);
             p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
         }},
        {2, "copy", [=](QPainter &p) {
             paper(p, QRectF(1.5, 1.5, 8, 10), 2.5);
             paper(p, QRectF(6.5, 4.5, 8, 10), 2.5);
             textLines(p, 8.5, 12.5, 9.5, 3);
         }},
        {3, "cut", [=](QPainter &p) {
             p.setPen(QPen(QColor(0x5a, 0x65, 0x79), 1.5, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
             p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
             ink(p, red);
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(red, 1.6));
             p.drawEllipse(QPointF(4.5, 12), 2.4, 2.4);
             p.drawEllipse(QPointF(11.5, 12), 2.4, 2.4);
         }},
        {4, "paste", [=](QPainter &p) {
             ink(p, amber);
             QLinearGradient g(0, 2, 0, 15);
             g.setColorAt(0, amber);
             g.setColorAt(1, amberDark);
             p.setBrush(g);
             p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1.5, 1.5);
             ink(p, QColor(0x9a, 0xa4, 0xb3));
             p.drawRoundedRect(QRectF(4, 1, 5, 3), 1, 1);
             paper(p, QRectF(6.5, 6.5, 8, 8), 2.5);
             textLines(p, 8.5, 12.5, 10.5, 2);
         }},
        {5, "note", [=](QPainter &p) {
             paper(p, QRectF(2.5, 1.5, 11, 13));
             textLines(p, 4.5, 11.5, 5.5, 4);
             leaf(p, QRectF(8, 8.5, 6, 6), green, QColor(0x1b, 0x4d, 0x3c));
         }},
        {6, "undo", [=](QPainter &p) {
             QPainterPath a;
             a.moveTo(4, 6.5);
             a.cubicTo(QPointF(9, 2.5), QPointF(15, 5), QPointF(13.5, 11));
             a.cubicTo(QPointF(13, 13), QPointF(11, 14), QPointF(9, 14));
             p.setPen(QPen(QColor(0x2b, 0x30, 0x38), 3.6, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawPath(a);
             p.setPen(QPen(blue, 2.0, Qt::SolidLine, Qt::RoundCap));
             p.drawPath(a);
             QPainterPath head;
             head.moveTo(1.5, 7.5);
             head.lineTo(7.5, 2.5);
             head.lineTo(8, 9.5);
             head.closeSubpath();
             ink(p, blue);
             p.drawPath(head);
         }},
        {7, "selectall", [=](QPainter &p) {
             p.setPen(QPen(QColor(0x2b, 0x30, 0x38), 1.0, Qt::DotLine));
             p.setBrush(QColor(0x3d, 0x8b, 0xe0, 60));
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setPen(blueDark);
             p.setFont(glyphFont(10, true));
             p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("A"));
         }},
        {8, "print", [=](QPainter &p) {
             paper(p, QRectF(4.5, 1.5, 7, 5), 0.01);
             ink(p, QColor(0x9a, 0xa4, 0xb3));
             QLinearGradient g(0, 6, 0, 12);
             g.setColorAt(0, QColor(0xb8, 0xc1, 0xcd));
             g.setColorAt(1, QColor(0x6e, 0x79, 0x8a));
             p.setBrush(g);
             p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
             paper(p, QRectF(4.5, 10.5, 7, 4), 0.01);
             p.setPen(Qt::NoPen);
             p.setBrush(green);
             p.drawRect(QRectF(11.5, 8, 1.5, 1.5));
         }},
        {9, "find", [=](QPainter &p) {
             p.setPen(QPen(QColor(0x2b, 0x30, 0x38), 3.4, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(10, 10), QPointF(14, 14));
             p.setPen(QPen(amberDark, 2.0, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(10, 10), QPointF(14, 14));
             ink(p, QColor(0xd6, 0xec, 0xff, 220));
             p.setPen(QPen(QColor(0x2b, 0x30, 0x38), 1.6));
             p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
         }},
        {10, "saveas", [=](QPainter &p) {
             ink(p, blue);
             QLinearGradient g(0, 1, 0, 14);
             g.setColorAt(0, blue);
             g.setColorAt(1, blueDark);
             p.setBrush(g);
             p.drawRoundedRect(QRectF(1.5, 1.5, 12, 12), 1.5, 1.5);
             ink(p, Qt::white);
             p.drawRect(QRectF(4, 1.5, 7, 4.5));
             ink(p, QColor(0x2b, 0x30, 0x38));
             p.drawRect(QRectF(4.5, 9, 6, 4.5));
             // The pen of "as".
             QPainterPath pen;
             pen.moveTo(9.5, 15);
             pen.lineTo(10, 12.5);
             pen.lineTo(14.5, 8);
             pen.lineTo(16, 9.5);
             pen.lineTo(11.5, 14);
             pen.closeSubpath();
             ink(p, amber);
             p.drawPath(pen);
         }},
        {11, "newfile", [=](QPainter &p) {
             paper(p, QRectF(2.5, 1.5, 10, 13));
             textLines(p, 4.5, 10.5, 6.5, 3);
             p.setPen(QPen(QColor(0x2b, 0x30, 0x38), 3.6, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
             p.drawLine(QPointF(9.5, 12), QPointF(14.5, 12));
             p.setPen(QPen(green, 1.8, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
             p.drawLine(QPointF(9.5, 12), QPointF(14.5, 12));
         }},
        {12, "fileinfo", [=](QPainter &p) {
             disc(p, {8, 8}, 6.5, blue, blueDark);
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
             p.drawRoundedRect(QRectF(7, 6.8, 2, 5.8), 0.6, 0.6);
         }},
        {13, "website", [=](QPainter &p) {
             disc(p, {8, 8}, 6.5, QColor(0x5b, 0xb5, 0xf0), blueDark);
             p.setPen(QPen(QColor(255, 255, 255, 190), 0.9));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(8, 8), 3.0, 6.5);
             p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
             p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
             p.drawLine(QPointF(2.5, 5), QPointF(13.5, 5));
             p.drawLine(QPointF(2.5, 11), QPointF(13.5, 11));
         }},
        {14, "support", [=](QPainter &p) {
             // A life ring.
             disc(p, {8, 8}, 6.5, Qt::white, QColor(0xdc, 0xe2, 0xea));
             p.setPen(Qt::NoPen);
             p.setBrush(red);
             for (int k = 0; k < 4; ++k)
                 p.drawPie(QRectF(1.5, 1.5, 13, 13), (45 + 90 * k - 20) * 16, 40 * 16);
             ink(p, QColor(0xf4, 0xf6, 0xf9));
             p.drawEllipse(QPointF(8, 8), 3.0, 3.0);
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
         }},
        {15, "openfile", [=](QPainter &p) {
             ink(p, amberDark);
             QPainterPath back;
             back.moveTo(1.5, 3.5);
             back.lineTo(6, 3.5);
             back.lineTo(7.5, 5);
             back.lineTo(13.5, 5);
             back.lineTo(13.5, 13.5);
             back.lineTo(1.5, 13.5);
             back.closeSubpath();
             p.drawPath(back);
             QPainterPath front;
             front.moveTo(3.5, 7.5);
             front.lineTo(15.5, 7.5);
             front.lineTo(13.5, 13.5);
             front.lineTo(1.5, 13.5);
             front.closeSubpath();
             QLinearGradient g(0, 7, 0, 14);
             g.setColorAt(0, QColor(0xff, 0xd7, 0x7a));
             g.setColorAt(1, amber);
             ink(p, amber);
             p.setBrush(g);
             p.drawPath(front);
         }},
    };
}

// --- program icon -------------------------------------------------------------------

QImage programIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    // Small sizes get a thicker rim and a bigger leaf so they stay readable.
    const bool tiny = size <= 24;
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient bg(0, 8, 0, 248);
    bg.setColorAt(0, QColor(0x3e, 0x47, 0x57));
    bg.setColorAt(1, QColor(0x17, 0x1b, 0x22));
    p.setPen(QPen(outline, tiny ? 14 : 6));
    p.setBrush(bg);
    p.drawRoundedRect(tile, 48, 48);
    p.setPen(QPen(QColor(255, 255, 255, 40), tiny ? 0 : 4));
    p.setBrush(Qt::NoBrush);
    if (!tiny)
        p.drawRoundedRect(tile.adjusted(8, 8, -8, -8), 40, 40);

    // The page.
    const QRectF pg = tiny ? QRectF(44, 34, 150, 188) : QRectF(58, 40, 132, 172);
    QPainterPath page;
    const double fold = tiny ? 44 : 36;
    page.moveTo(pg.topLeft());
    page.lineTo(pg.right() - fold, pg.top());
    page.lineTo(pg.right(), pg.top() + fold);
    page.lineTo(pg.bottomRight());
    page.lineTo(pg.bottomLeft());
    page.closeSubpath();
    QLinearGradient pgGrad(pg.topLeft(), pg.bottomRight());
    pgGrad.setColorAt(0, QColor(0xf6, 0xf8, 0xfb));
    pgGrad.setColorAt(1, QColor(0xc9, 0xd1, 0xdc));
    p.setPen(QPen(outline, tiny ? 10 : 5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(pgGrad);
    p.drawPath(page);
    QPainterPath ear;
    ear.moveTo(pg.right() - fold, pg.top());
    ear.lineTo(pg.right() - fold, pg.top() + fold);
    ear.lineTo(pg.right(), pg.top() + fold);
    ear.closeSubpath();
    p.setBrush(QColor(0xa9, 0xb3, 0xc1));
    p.drawPath(ear);
    if (!tiny) {
        p.setPen(QPen(QColor(0x8a, 0x94, 0xa3), 8, Qt::SolidLine, Qt::RoundCap));
        for (int k = 0; k < 4; ++k)
            p.drawLine(QPointF(pg.left() + 22, pg.top() + 62 + 22 * k),
                       QPointF(pg.right() - (k == 3 ? 60 : 22), pg.top() + 62 + 22 * k));
    }
    // The leaf across the corner.
    const QRectF lf = tiny ? QRectF(104, 104, 136, 136) : QRectF(122, 118, 112, 112);
    p.setPen(QPen(outline, tiny ? 12 : 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(leafPath(lf));
    leaf(p, lf, accent, QColor(0x14, 0x4d, 0x3a));
    return img;
}

// --- preview of the skinned window ----------------------------------------------------

QImage preview(const QImage &skin, const std::vector<std::pair<QString, QImage>> &glyphImages, int W, int H)
{
    QImage win(W, H, QImage::Format_RGB32);
    win.fill(Qt::black);
    QPainter p(&win);
    auto copy = [&](QRect src, QPoint to) { p.drawImage(to, skin, src); };
    auto stretch = [&](QRect src, QRect to) {
        if (to.width() > 0 && to.height() > 0)
            p.drawImage(to, skin.copy(src));
    };
    const int c = (W + 1) / 2, f = W / 2;
    // Right border first (it lies lowest), then the title and the rest.
    stretch(QRect(32, 42, 19, 29), QRect(W - 19, 20, 19, H - 31));
    copy(QRect(0, 0, 25, 20), {0, 0});
    stretch(QRect(127, 0, 25, 20), QRect(25, 0, c - 75, 20));
    copy(QRect(26, 0, 100, 20), {c - 50, 0});
    stretch(QRect(127, 0, 25, 20), QRect(c + 50, 0, f, 20));
    copy(QRect(153, 0, 25, 20), {W - 25, 0});
    copy(QRect(0, 99, 12, 11), {0, H - 11});
    stretch(QRect(12, 99, 100, 11), QRect(12, H - 11, W - 23, 11));
    copy(QRect(265, 99, 11, 11), {W - 11, H - 11});
    stretch(QRect(0, 42, 11, 1), QRect(0, 20, 11, H - 31));
    copy(QRect(52, 53, 8, 18), {W - 15, 50});
    copy(QRect(61, 53, 8, 18), {W - 15, 120});

    // Bars in the editor colours, as the program lays them out.
    auto glyphAt = [&](const char *name, QPoint at, QSize button) {
        for (const auto &[n, g] : glyphImages)
            if (n == QLatin1String(name))
                p.drawImage(at + QPoint((button.width() - g.width()) / 2, (button.height() - g.height()) / 2), g);
    };
    const char *tools[] = {"cmdBack", "cmdNext", "cmdNew", "cmdDel"};
    for (int k = 0; k < 4; ++k)
        glyphAt(tools[k], {31 + 19 * k, 20}, {20, 20});
    const struct {
        const char *name;
        int y;
    } format[] = {{"cmdFont", -1}, {"cmdBold", 19}, {"cmdItalic", 39}, {"cmdUnder", 59}, {"cmdSelectColor", 79},
                  {"cmdALeft", 101}, {"cmdACenter", 122}, {"cmdARight", 142}, {"cmdBullet", 163}};
    for (const auto &b : format)
        glyphAt(b.name, {12, 42 + b.y}, {20, 20});
    // Hot-track look on one button.
    p.fillRect(QRect(31 + 19, 20, 20, 20), QColor(0xb6, 0xbd, 0xd2));
    glyphAt("cmdNext", {31 + 19, 20}, {20, 20});
    // Separator lines and the information bar.
    QLinearGradient top(33, 0, W - 19, 0);
    top.setColorAt(0, accent);
    top.setColorAt(1, Qt::black);
    p.fillRect(QRect(33, 41, W - 52, 1), top);
    QLinearGradient left(0, 42, 0, H - 11);
    left.setColorAt(0, accent);
    left.setColorAt(1, Qt::black);
    p.fillRect(QRect(33, 42, 1, H - 53), left);
    p.setPen(QColor(0xc0, 0xc0, 0xc0));
    p.setFont(smallFont(11, false));
    p.drawText(QRect(92, 22, W - 111, 17), Qt::AlignCenter, QStringLiteral("Record 3 of 12"));
    p.drawText(QRect(40, 48, W - 60, 40), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Shopping list\n- leaf tea, honey"));
    // Find bar glyphs along the bottom.
    glyphAt("cmdSearch", {11 + 199, H - 33 + 3}, {21, 19});
    glyphAt("cmdSearchBack", {11 + 219, H - 33 + 3 - 2}, {19, 19});
    glyphAt("cmdSearchAgain", {11 + 237, H - 33 + 3 - 2}, {19, 19});
    return win;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: drawart <resources folder> [preview.png]\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QStringList files;
    auto add = [&](const QString &rel) { files << rel; };

    const QImage skin = skinPicture();
    saveOrDie(skin.convertToFormat(QImage::Format_RGB888), QStringLiteral("skin/pledit.bmp"), "BMP");
    add(QStringLiteral("skin/pledit.bmp"));
    {
        QFile txt(outPath(QStringLiteral("skin/pledit.txt")));
        if (!txt.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        // Values are read as 0x00BBGGRR, so grey and black read the same
        // either way round.
        txt.write("[Text]\r\nNormal=#C0C0C0\r\nCurrent=#FFFFFF\r\nNormalBG=#000000\r\nSelectedBG=#3A4250\r\n"
                  "Font=Tahoma\r\n");
        add(QStringLiteral("skin/pledit.txt"));
    }

    std::vector<std::pair<QString, QImage>> glyphImages;
    for (const Glyph &g : glyphs()) {
        const QImage argb = glyphFor(g);
        const QString name = QString::fromLatin1(g.name);
        saveOrDie(keyed(argb), QStringLiteral("skin/buttons/%1.bmp").arg(name), "BMP");
        saveOrDie(argb, QStringLiteral("skin/buttons/%1.png").arg(name), "PNG");
        add(QStringLiteral("skin/buttons/%1.bmp").arg(name));
        add(QStringLiteral("skin/buttons/%1.png").arg(name));
        glyphImages.emplace_back(name, argb);
    }

    for (const Cursor &c : cursors()) {
        QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            c.draw(p);
        }
        QFile f(outPath(QStringLiteral("skin/cursors/%1").arg(QString::fromLatin1(c.file))));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        f.write(curFile(img, c.hot));
        add(QStringLiteral("skin/cursors/%1").arg(QString::fromLatin1(c.file)));
    }

    for (const Icon &ic : menuIcons()) {
        QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            ic.draw(p);
        }
        const QString rel = QStringLiteral("menu/%1-%2.png").arg(ic.index, 2, 10, QLatin1Char('0')).arg(QLatin1String(ic.name));
        saveOrDie(img, rel, "PNG");
        add(rel);
    }

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString rel = QStringLiteral("icons/tessaleaf-%1.png").arg(size);
        saveOrDie(programIcon(size), rel, "PNG");
        add(rel);
    }

    // The resource list: every file under its path.
    {
        QFile qrc(outPath(QStringLiteral("art.qrc")));
        if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        QTextStream out(&qrc);
        out << "<!-- Written by draw/drawart; draw again rather than edit. -->\n<RCC>\n  <qresource prefix=\"/\">\n";
        for (const QString &f : files)
            out << "    <file>" << f << "</file>\n";
        out << "  </qresource>\n</RCC>\n";
    }

    if (argc > 2) {
        // A sheet to look at: the window at two sizes, then everything
        // enlarged (glyphs on the black bars and on the hot-track colour,
        // cursors and menu icons on light and dark).
        const QImage a = preview(skin, glyphImages, 400, 300);
        const QImage b = preview(skin, glyphImages, 151, 243);
        QImage sheet(1300, 1260, QImage::Format_RGB32);
        sheet.fill(QColor(0x80, 0x80, 0x80));
        QPainter p(&sheet);
        p.drawImage(0, 0, a.scaled(a.size() * 2));
        p.drawImage(810, 0, b.scaled(b.size() * 2));
        p.drawImage(0, 610, skin.scaled(skin.size() * 3 / 2));
        int x = 440, y = 610;
        for (const auto &[name, g] : glyphImages) {
            p.fillRect(QRect(x, y, 52, 104), Qt::black);
            p.fillRect(QRect(x, y + 52, 52, 52), QColor(0xb6, 0xbd, 0xd2));
            p.drawImage(QRect(x + 1, y + 1, g.width() * 2, g.height() * 2), g);
            p.drawImage(QRect(x + 1, y + 53, g.width() * 2, g.height() * 2), g);
            x += 54;
            if (x > 1240) {
                x = 440;
                y += 108;
            }
        }
        x = 440;
        y += 110;
        for (const QString &f : files) {
            QImage img;
            if (f.endsWith(QLatin1String(".cur")))
                img.load(g_out + QLatin1Char('/') + f, "ICO");
            else if (f.startsWith(QLatin1String("menu/")))
                img.load(g_out + QLatin1Char('/') + f);
            if (img.isNull())
                continue;
            const int k = img.width() == 16 ? 3 : 2;
            p.fillRect(QRect(x, y, img.width() * k, img.height() * k), Qt::white);
            p.fillRect(QRect(x, y + img.height() * k, img.width() * k, img.height() * k), QColor(0x20, 0x24, 0x2a));
            p.drawImage(QRect(x, y, img.width() * k, img.height() * k), img);
            p.drawImage(QRect(x, y + img.height() * k, img.width() * k, img.height() * k), img);
            x += img.width() * k + 4;
            if (x > 1240) {
                x = 440;
                y += 140;
            }
        }
        x = 10;
        y = 900;
        for (int size : {16, 22, 24, 32, 48, 64, 128}) {
            p.drawImage(x, y, programIcon(size));
            p.drawImage(QRect(x, y + 130, size * 3 > 200 ? size : size * 3, size * 3 > 200 ? size : size * 3),
                        programIcon(size));
            x += (size * 3 > 200 ? size : size * 3) + 8;
        }
        p.end();
        sheet.save(QString::fromLocal8Bit(argv[2]));
    }
    return 0;
}
