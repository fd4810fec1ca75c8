// Reading skins from disk: folders, archives, untidy files, bad input.

#include "skinart.h"

#include "controls/builtinart.h"
#include "skins/skinfiles.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

namespace sk = tl::skin;
using skintest::bmpBytes;

namespace {

const QString none = QStringLiteral("<none>");

QByteArray picture24() { return bmpBytes(skintest::syntheticPicture(), 24); }

class SkinFiles : public testing::Test {
protected:
    void SetUp() override
    {
        tl::builtin::initArt();
        skinDir = tltest::freshFolder();
        tempRoot = tltest::freshFolder();
    }
    QString put(const QString &relative, const QByteArray &bytes)
    {
        return tltest::writeFile(skinDir + QLatin1Char('/') + relative, bytes);
    }
    sk::SkinData read(const QString &name) { return sk::readSkin(name, skinDir, tempRoot); }

    QString skinDir, tempRoot;
};

} // namespace

TEST_F(SkinFiles, BuiltInSkinHasItsPictureColoursAndCursors)
{
    const sk::SkinData d = read(none);
    EXPECT_EQ(d.name, none);
    EXPECT_EQ(d.picture.size(), sk::pictureSize);
    EXPECT_EQ(d.back, 0x000000u);
    EXPECT_EQ(d.text, 0xC0C0C0u);
    for (size_t i = 0; i < d.cursors.size(); ++i) {
        ASSERT_TRUE(d.cursors[i].has_value()) << i;
        EXPECT_EQ(d.cursors[i]->hotSpot, tl::builtin::cursors[i].hotSpot) << i;
    }
    for (size_t i = 0; i < d.glyphs.size(); ++i)
        EXPECT_EQ(d.glyphs[i].size(), tl::builtin::buttonGlyphs[i].size) << i;
}

struct ColourFile {
    const char *name;
    const char *text;  // nullptr: no pledit.txt
    quint32 back, fore;
};

class PleditTxt : public SkinFiles, public testing::WithParamInterface<ColourFile> {};

TEST_P(PleditTxt, GivesTheEditorColours)
{
    put(QStringLiteral("Blue/pledit.bmp"), picture24());
    if (GetParam().text)
        put(QStringLiteral("Blue/pledit.txt"), GetParam().text);
    const sk::SkinData d = read(QStringLiteral("Blue"));
    EXPECT_EQ(d.name, QStringLiteral("Blue"));
    EXPECT_EQ(d.back, GetParam().back);
    EXPECT_EQ(d.text, GetParam().fore);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PleditTxt,
    testing::Values(ColourFile{"missingFile", nullptr, 0x00000F, 0x00FF00},
                    ColourFile{"missingKeys", "[Text]\nCurrent=#FFFFFF\n", 0x00000F, 0x00FF00},
                    ColourFile{"blackGreen", "[Text]\nNormalBG=#000000\nNormal=#00FF00\n", 0x000000, 0x00FF00},
                    ColourFile{"redIsRed", "[Text]\nNormal=#FF0000\nNormalBG=#000000\n", 0x000000, 0x0000FF},
                    ColourFile{"nonHex", "[Text]\nNormalBG=#zzzzzz\nNormal=#00FF00\n", 0x000000, 0x00FF00},
                    ColourFile{"otherSectionIgnored", "[Other]\nNormalBG=#123456\n[Text]\nNormal=#010203\n", 0x00000F,
                               0x030201},
                    // Comments, lower case, quotes, a comment after the value, no final line break.
                    ColourFile{"untidy",
                               "; a comment\r\n[text]\r\nnormalbg = \"#112233\"\r\nNORMAL=#445566 = text colour", 0x332211,
                               0x665544}),
    [](const auto &info) { return std::string(info.param.name); });

struct BitmapCase {
    const char *name;
    int bits;
    bool rle;
    QSize size;
};

void PrintTo(const BitmapCase &c, std::ostream *os) { *os << c.name; }

class Bitmaps : public SkinFiles, public testing::WithParamInterface<BitmapCase> {};

TEST_P(Bitmaps, AreUsedAndASmallOneLiesOverTheBuiltInPicture)
{
    const BitmapCase &c = GetParam();
    const QImage own = skintest::syntheticPicture(c.size);
    put(QStringLiteral("S/pledit.bmp"), bmpBytes(own, c.bits, c.rle));
    const sk::SkinData d = read(QStringLiteral("S"));
    EXPECT_EQ(d.name, QStringLiteral("S"));
    EXPECT_EQ(d.picture.size(), c.size.expandedTo(sk::pictureSize));
    const QImage builtIn = sk::readBitmap(tl::builtin::skinPicture);
    ASSERT_NE(builtIn.pixel(270, 104), skintest::grip);
    // The title centre, the grip, the bottom filler's right end, the last pixel.
    for (const QPoint at : {QPoint(30, 5), QPoint(270, 104), QPoint(111, 109), QPoint(279, 185)}) {
        const QRgb expected = own.rect().contains(at) ? own.pixel(at) : builtIn.pixel(at);
        EXPECT_EQ(d.picture.pixel(at), expected) << at.x() << "," << at.y();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Bitmaps,
    testing::Values(BitmapCase{"bits8", 8, false, {280, 186}}, BitmapCase{"rle8", 8, true, {280, 186}},
                    BitmapCase{"bits24", 24, false, {280, 186}}, BitmapCase{"bits32", 32, false, {280, 186}},
                    BitmapCase{"larger", 24, false, {400, 240}}, BitmapCase{"narrower", 24, false, {279, 186}},
                    BitmapCase{"lower", 24, false, {280, 100}}, BitmapCase{"smallAndWide", 8, false, {400, 60}},
                    BitmapCase{"tiny", 24, false, {1, 1}}),
    [](const auto &info) { return std::string(info.param.name); });

// Rows stored from the top, as a negative height says.
QByteArray topDown(QByteArray bmp)
{
    const qint32 w = qFromLittleEndian<qint32>(bmp.constData() + 18), h = qFromLittleEndian<qint32>(bmp.constData() + 22);
    const qint64 offset = qFromLittleEndian<quint32>(bmp.constData() + 10), stride = (w * 3 + 3) / 4 * 4;
    QByteArray flipped = bmp;
    for (qint32 y = 0; y < h; ++y)
        std::memcpy(flipped.data() + offset + y * stride, bmp.constData() + offset + (h - 1 - y) * stride, size_t(stride));
    qToLittleEndian<qint32>(-h, flipped.data() + 22);
    return flipped;
}

TEST_F(SkinFiles, PlainBitmapsKeepEveryPixelWhicheverWayTheirRowsRun)
{
    for (const QSize size : {QSize(280, 186), QSize(279, 7), QSize(1, 1)}) {
        const QImage own = skintest::syntheticPicture(size).convertToFormat(QImage::Format_RGB32);
        const QByteArray bottomUp = bmpBytes(own, 24);
        for (const auto &[name, bytes] : {std::pair{"up", bottomUp}, std::pair{"down", topDown(bottomUp)}}) {
            const QString file = put(QStringLiteral("%1x%2-%3.bmp").arg(size.width()).arg(size.height()).arg(name), bytes);
            EXPECT_EQ(sk::readBitmap(file), own) << size.width() << "x" << size.height() << " " << name;
        }
    }
}

TEST_F(SkinFiles, UnreadableTruncatedOrHugeBitmapsFallBack)
{
    const QByteArray good = picture24();
    QByteArray huge = good;
    qToLittleEndian<qint32>(200000, huge.data() + 18);  // width
    qToLittleEndian<qint32>(200000, huge.data() + 22);  // height
    for (const auto &[folder, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {QStringLiteral("text"), QByteArray("this is no bitmap")},
             {QStringLiteral("truncated"), good.left(200)},
             {QStringLiteral("huge"), huge},
             {QStringLiteral("empty"), QByteArray()}}) {
        put(folder + QStringLiteral("/pledit.bmp"), bytes);
        const sk::SkinData d = read(folder);
        EXPECT_EQ(d.name, none) << folder.toStdString();
        EXPECT_EQ(d.picture.size(), sk::pictureSize) << folder.toStdString();
    }
}

// Headers whose sides and depth multiply past 64 bits, or whose side is the
// one 32-bit value without a positive twin: refused, never computed with.
struct HeaderCase {
    const char *name;
    qint32 width, height;
    quint16 bits;
};

class AbsurdHeaders : public testing::TestWithParam<HeaderCase> {};

TEST_P(AbsurdHeaders, AreRefusedWithoutOverflow)
{
    QByteArray bytes = picture24();
    qToLittleEndian<qint32>(GetParam().width, bytes.data() + 18);
    qToLittleEndian<qint32>(GetParam().height, bytes.data() + 22);
    qToLittleEndian<quint16>(GetParam().bits, bytes.data() + 28);
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/pledit.bmp"), bytes);
    EXPECT_TRUE(sk::readBitmap(path).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AbsurdHeaders,
    testing::Values(HeaderCase{"HugeProduct", 0x7fffffff, 0x7fffffff, 0xffff},
                    HeaderCase{"MostNegativeWidth", qint32(0x80000000), 186, 24},
                    HeaderCase{"MostNegativeHeight", 280, qint32(0x80000000), 24},
                    HeaderCase{"DepthBeyondAnyFormat", 280, 186, 0xffff}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SkinFiles, FilesAreFoundWithoutRegardToCase)
{
    put(QStringLiteral("Case/PLEDIT.BMP"), picture24());
    put(QStringLiteral("Case/Pledit.txt"), "[Text]\nNormalBG=#010101\n");
    put(QStringLiteral("Case/PSIZE.CUR"), skintest::curBytes({3, 4}));
    put(QStringLiteral("Case/CmdBack.BMP"), bmpBytes(QImage(16, 16, QImage::Format_RGB32), 24));
    const sk::SkinData d = read(QStringLiteral("Case"));
    EXPECT_EQ(d.name, QStringLiteral("Case"));
    EXPECT_EQ(d.back, 0x010101u);
    ASSERT_TRUE(d.cursors[0].has_value());
    EXPECT_EQ(d.cursors[0]->hotSpot, QPoint(3, 4));
}

TEST_F(SkinFiles, MissingCursorsEmptyTheirSlotsButTheIBeamStays)
{
    put(QStringLiteral("C/pledit.bmp"), picture24());
    put(QStringLiteral("C/ptbar.cur"), skintest::curBytes({7, 9}));
    put(QStringLiteral("C/close.cur"), "not a cursor");
    const sk::SkinData d = read(QStringLiteral("C"));
    EXPECT_FALSE(d.cursors[0]);  // psize.cur missing
    ASSERT_TRUE(d.cursors[1]);
    EXPECT_EQ(d.cursors[1]->hotSpot, QPoint(7, 9));
    EXPECT_FALSE(d.cursors[2]);
    EXPECT_FALSE(d.cursors[3]);  // unreadable
    EXPECT_FALSE(d.cursors[4]);  // no min.cur: the standard arrow
    ASSERT_TRUE(d.cursors[5]);
    EXPECT_EQ(d.cursors[5]->hotSpot, tl::builtin::cursors[5].hotSpot);
}

TEST_F(SkinFiles, OneOwnGlyphReplacesOnlyItsButton)
{
    QImage own(16, 16, QImage::Format_RGB32);
    own.fill(qRgb(1, 2, 3));
    put(QStringLiteral("G/pledit.bmp"), picture24());
    put(QStringLiteral("G/cmdBack.bmp"), bmpBytes(own, 24));
    const sk::SkinData d = read(QStringLiteral("G"));
    EXPECT_EQ(d.glyphs[0].pixel(8, 8), qRgb(1, 2, 3));
    const QImage builtInNext = sk::readBitmap(tl::builtin::buttonGlyphBmp("cmdNext"));
    EXPECT_EQ(d.glyphs[1], builtInNext);
}

TEST_F(SkinFiles, NamesThatYieldNoPictureGiveTheBuiltInSkin)
{
    put(QStringLiteral("Blue.green/pledit.bmp"), picture24());
    put(QStringLiteral("NoPicture/pledit.txt"), "[Text]\nNormalBG=#010101\n");
    put(QStringLiteral("NoPicture/ptbar.cur"), skintest::curBytes({1, 1}));
    put(QStringLiteral("Blue.WSZ"), skintest::zipBytes({{QStringLiteral("pledit.bmp"), picture24()}}));
    for (const char *name : {"Blue.green", "Blue.WSZ", "Missing", "Missing.wsz", "NoPicture"}) {
        const sk::SkinData d = read(QString::fromLatin1(name));
        EXPECT_EQ(d.name, none) << name;
        EXPECT_TRUE(d.folder.isEmpty()) << name;
        EXPECT_EQ(d.back, 0x000000u) << name;  // its pledit.txt is not read
        EXPECT_EQ(d.cursors[1]->hotSpot, tl::builtin::cursors[1].hotSpot) << name;
    }
}

struct ArchiveCase {
    const char *name;
    std::vector<std::pair<QString, QByteArray>> members;
    bool loads;
    quint32 back;  // when it loads
};

class Archives : public SkinFiles, public testing::WithParamInterface<ArchiveCase> {};

TEST_P(Archives, UnpackIntoTheTempFolder)
{
    put(QStringLiteral("Blue.wsz"), skintest::zipBytes(GetParam().members));
    const sk::SkinData d = read(QStringLiteral("Blue.wsz"));
    const QString unpacked = tempRoot + QStringLiteral("/Blue.wsz");
    if (GetParam().loads) {
        EXPECT_EQ(d.name, QStringLiteral("Blue.wsz"));
        EXPECT_EQ(d.folder, unpacked + QLatin1Char('/'));
        EXPECT_EQ(d.back, GetParam().back);
        EXPECT_TRUE(QDir(unpacked).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());  // folders dropped
    } else {
        EXPECT_EQ(d.name, none);
        EXPECT_TRUE(QDir(unpacked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
    // Nothing ever lands outside the skin's own folder.
    EXPECT_EQ(QDir(tempRoot).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Blue.wsz")});
}

const QByteArray txt = "[Text]\nNormalBG=#0A0B0C\n";

INSTANTIATE_TEST_SUITE_P(
    Members, Archives,
    testing::Values(
        ArchiveCase{"flat", {{"pledit.bmp", picture24()}, {"pledit.txt", txt}}, true, 0x0C0B0A},
        ArchiveCase{"subFolderWithSpaces",
                    {{"My Blue Skin/", {}}, {"My Blue Skin/PLEDIT.BMP", picture24()}, {"My Blue Skin/pledit.txt", txt}},
                    true, 0x0C0B0A},
        ArchiveCase{"backslashes", {{"skin1\\pledit.bmp", picture24()}, {"skin1\\Pledit.txt", txt}}, true, 0x0C0B0A},
        // The later of two names differing in case wins.
        ArchiveCase{"caseTwins",
                    {{"pledit.bmp", picture24()}, {"PLEDIT.TXT", "[Text]\nNormalBG=#111111\n"}, {"pledit.txt", txt}},
                    true, 0x0C0B0A},
        ArchiveCase{"dotDot", {{"pledit.bmp", picture24()}, {"../evil.txt", "x"}}, false, 0},
        ArchiveCase{"dotDotBackslash", {{"pledit.bmp", picture24()}, {"a\\..\\..\\evil.txt", "x"}}, false, 0},
        ArchiveCase{"absolute", {{"pledit.bmp", picture24()}, {"/tmp/evil.txt", "x"}}, false, 0},
        ArchiveCase{"tooLarge", {{"pledit.bmp", picture24()}, {"big.bin", QByteArray(65 * 1024 * 1024, 'a')}}, false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SkinFiles, BrokenArchivesGiveTheBuiltInSkinAndEmptyTheOldUnpack)
{
    const QByteArray zip = skintest::zipBytes({{QStringLiteral("pledit.bmp"), picture24()}});
    put(QStringLiteral("Blue.wsz"), zip);
    ASSERT_EQ(read(QStringLiteral("Blue.wsz")).name, QStringLiteral("Blue.wsz"));
    for (const QByteArray &broken : {zip.left(zip.size() / 2), zip.left(zip.size() - 10), QByteArray("PK\3\4junk")}) {
        put(QStringLiteral("Blue.wsz"), broken);
        EXPECT_EQ(read(QStringLiteral("Blue.wsz")).name, none);
    }
}

TEST_F(SkinFiles, KillSkinRemovesOnlyTheArchiveFolder)
{
    put(QStringLiteral("Blue.zip"), skintest::zipBytes({{QStringLiteral("pledit.bmp"), picture24()}}));
    read(QStringLiteral("Blue.zip"));
    const QString unpacked = tempRoot + QStringLiteral("/Blue.zip");
    ASSERT_TRUE(QFileInfo(unpacked + QStringLiteral("/pledit.bmp")).isFile());
    sk::KillSkin(QStringLiteral("Blue"), tempRoot);  // a folder skin: nothing to delete
    sk::KillSkin(none, tempRoot);
    EXPECT_TRUE(QFileInfo(unpacked).isDir());
    sk::KillSkin(QStringLiteral("Blue.zip"), tempRoot);
    EXPECT_FALSE(QFileInfo(unpacked).exists());
    sk::KillSkin(QStringLiteral("Blue.zip"), tempRoot);  // already gone: ignored
}

namespace {

// The skin list: three groups, and only what the loader takes as a skin.
class SkinList : public testing::Test {
protected:
    void SetUp() override { dir = tltest::freshFolder(); }
    void put(const QString &relative, const QByteArray &bytes = "x")
    {
        tltest::writeFile(dir + QLatin1Char('/') + relative, bytes);
    }
    QString dir;
};

TEST_F(SkinList, FoldersWithAPictureThenZipThenWsz)
{
    put(QStringLiteral("Aqua/pledit.bmp"));
    put(QStringLiteral("Empty/readme.txt"));
    put(QStringLiteral("Blue.wsz"));
    put(QStringLiteral("Red.zip"));
    EXPECT_EQ(sk::listSkins(dir),
        (QStringList { QStringLiteral("Aqua"), QStringLiteral("Red.zip"), QStringLiteral("Blue.wsz") }));
}

TEST_F(SkinList, GroupsKeepTheFileSystemsOrder)
{
    for (const char *name : {"b.zip", "a.zip", "c.zip", "z.wsz", "y.wsz"})
        put(QString::fromLatin1(name));
    QStringList zips, wszs;
    for (const QString &f : QDir(dir).entryList(QDir::Files, QDir::Unsorted))
        (f.endsWith(QLatin1String(".zip")) ? zips : wszs) << f;
    EXPECT_EQ(sk::listSkins(dir), zips + wszs);
}

TEST_F(SkinList, ThePictureNameIsMatchedWithoutRegardToCaseAndAsAPrefix)
{
    put(QStringLiteral("Loud/PLEDIT.BMP"));
    put(QStringLiteral("Backup/pledit.bmp.old"));
    QStringList got = sk::listSkins(dir);
    got.sort();
    EXPECT_EQ(got, (QStringList{QStringLiteral("Backup"), QStringLiteral("Loud")}));
}

TEST_F(SkinList, WhatTheLoaderWouldNotTakeIsNotListed)
{
    put(QStringLiteral("pledit.bmp"));           // the folder itself: "."
    put(QStringLiteral("Blue.zip/pledit.bmp"));  // a folder named like an archive
    put(QStringLiteral("My.Skin/pledit.bmp"));   // a folder name with an extension
    put(QStringLiteral("Loud.ZIP"));             // the loader's extension test is exact
    put(QStringLiteral("notes.txt"));
    EXPECT_EQ(sk::listSkins(dir), QStringList());
}

TEST_F(SkinList, NoFolderNoSkins)
{
    EXPECT_EQ(sk::listSkins(QString()), QStringList());
    EXPECT_EQ(sk::listSkins(dir + QStringLiteral("/missing")), QStringList());
}

} // namespace

namespace {

// A cursor file by hand: one 8 x 8 entry, bottom-up rows of colour, then
// the AND mask (set bits are transparent).
QByteArray handCursor(int bits, bool withAlpha)
{
    const int w = 8, h = 8, stride = (w * bits + 31) / 32 * 4, maskStride = 4;
    QByteArray out(6 + 16 + 40 + stride * h + maskStride * h, '\0');
    auto *d = reinterpret_cast<uchar *>(out.data());
    qToLittleEndian<quint16>(2, d + 2);
    qToLittleEndian<quint16>(1, d + 4);
    d[6] = w;
    d[7] = h;
    qToLittleEndian<quint16>(2, d + 6 + 4);  // hot spot
    qToLittleEndian<quint16>(3, d + 6 + 6);
    qToLittleEndian<quint32>(quint32(out.size() - 22), d + 6 + 8);
    qToLittleEndian<quint32>(22, d + 6 + 12);
    uchar *info = d + 22;
    qToLittleEndian<quint32>(40, info);
    qToLittleEndian<qint32>(w, info + 4);
    qToLittleEndian<qint32>(h * 2, info + 8);
    qToLittleEndian<quint16>(1, info + 12);
    qToLittleEndian<quint16>(quint16(bits), info + 14);
    uchar *colours = info + 40, *mask = colours + stride * h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uchar *p = colours + stride * y + x * (bits / 8);
            p[0] = uchar(x * 30);  // blue
            p[1] = uchar(y * 30);  // green
            p[2] = 0xC0;           // red
            if (bits == 32)
                p[3] = withAlpha ? uchar(x * 36) : 0;
        }
        mask[maskStride * y] = uchar(0x0F << (y % 4));  // a few transparent pixels a row
    }
    return out;
}

struct CursorCase {
    const char *label;
    std::function<QByteArray()> bytes;
};

class CursorDecoding : public testing::TestWithParam<CursorCase> {};

} // namespace

// The program's own reading of the common pointer files gives what the
// image plugin gives, pixel for pixel.
TEST_P(CursorDecoding, MatchesThePlugin)
{
    tl::builtin::initArt();
    const QByteArray bytes = GetParam().bytes();
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/pointer.cur"), bytes);
    const std::optional<sk::CursorImage> cursor = sk::readCursor(file);
    ASSERT_TRUE(cursor);
    QImage plugin;
    ASSERT_TRUE(plugin.loadFromData(bytes, "CUR"));
    // Compared as the pointer shows them: premultiplied, so a translucent
    // pixel's rounding and a transparent pixel's colour do not count.
    plugin = plugin.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage own = cursor->image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(own.size(), plugin.size());
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QRgb a = own.pixel(x, y), b = plugin.pixel(x, y);
            for (int shift : {0, 8, 16, 24})
                ASSERT_LE(std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)), 1)
                    << x << "," << y << ": " << std::hex << a << " vs " << b;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CursorDecoding,
    testing::Values(
        CursorCase{"BuiltInIBeam", [] { return tltest::readFile(tl::builtin::cursorPath(tl::builtin::cursors[2])); }},
        CursorCase{"BuiltInSize", [] { return tltest::readFile(tl::builtin::cursorPath(tl::builtin::cursors[0])); }},
        CursorCase{"SavedByQt", [] { return skintest::curBytes({3, 4}, 0x80336699); }},
        CursorCase{"TrueColourWithMask", [] { return handCursor(24, false); }},
        CursorCase{"AlphaWithMask", [] { return handCursor(32, true); }},
        CursorCase{"NoAlphaOnlyMask", [] { return handCursor(32, false); }}),
    [](const testing::TestParamInfo<CursorCase> &i) { return std::string(i.param.label); });

TEST(CursorFile, TruncatedTrueColourCursorIsRefused)
{
    QByteArray bytes = handCursor(32, true);
    bytes.chop(20);  // into the mask
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/cut.cur"), bytes);
    EXPECT_FALSE(sk::readCursor(file));
}
