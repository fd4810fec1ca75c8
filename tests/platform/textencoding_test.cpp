#include "platform/textencoding.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using tl::TextFormat;
using Enc = TextFormat::Encoding;
using End = TextFormat::LineEnd;

namespace {

QByteArray bytesOf(std::string_view s) { return QByteArray(s.data(), qsizetype(s.size())); }

std::string describe(const TextFormat &f)
{
    return "encoding " + std::to_string(int(f.encoding)) + " page " + std::to_string(f.codePage) + " bom "
           + std::to_string(f.bom) + " line end " + std::to_string(int(f.lineEnd));
}

struct DecodeCase {
    const char *name;
    std::string_view bytes;
    int localePage;
    const char16_t *text;  // nullptr: binary
    TextFormat format;
    bool exact = true;  // written back unchanged, the same bytes come out
};

class DecodeText : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeText, ReadsTheEncodingAndWritesItBack)
{
    const DecodeCase &c = GetParam();
    const QByteArray bytes = bytesOf(c.bytes);
    const tl::DecodedText d = tl::decodeText(bytes, c.localePage);
    if (!c.text) {
        EXPECT_TRUE(d.binary);
        EXPECT_EQ(d.text, QString::fromUtf8(bytes));
        return;
    }
    ASSERT_FALSE(d.binary);
    EXPECT_EQ(d.text, QStringView(c.text).toString());
    EXPECT_EQ(d.format, c.format) << describe(d.format);
    const QByteArray again = tl::encodeText(d.text, d.format);
    if (c.exact)
        EXPECT_EQ(again, bytes);
    else
        EXPECT_NE(again, bytes);
}

constexpr TextFormat utf8(End end = End::Lf, bool bom = false) { return {Enc::Utf8, 0, bom, end}; }
constexpr TextFormat page(int cp, End end = End::Lf) { return {Enc::CodePage, cp, false, end}; }

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeText,
    testing::Values(
        DecodeCase{"Ascii", "a\nb\n", 1252, u"a\nb\n", utf8()},
        DecodeCase{"Empty", "", 1252, u"", utf8()},
        DecodeCase{"Utf8", "Привет\n", 1252, u"Привет\n", utf8()},
        DecodeCase{"Utf8WithBom", "\xEF\xBB\xBF" "caf\xC3\xA9\r\n", 1252, u"café\n", utf8(End::CrLf, true)},
        DecodeCase{"Utf8WithTwoBoms", "\xEF\xBB\xBF\xEF\xBB\xBFx", 1252, u"\uFEFFx", utf8(End::Lf, true)},
        DecodeCase{"Latin1InWindows1252", "na\xEFve caf\xE9", 1252, u"naïve café", page(1252)},
        DecodeCase{"Latin1InTheLocalesLatin1", "na\xEFve caf\xE9\xA0!", 28591, u"naïve café\u00A0!", page(28591)},
        DecodeCase{"Latin9", "5 \xA4", 28605, u"5 €", page(28605)},
        DecodeCase{"Cyrillic1251", "\xCF\xF0\xE8\r\n", 1251, u"При\n", page(1251, End::CrLf)},
        DecodeCase{"Koi8r", "\xF0\xD2\xC9", 20866, u"При", page(20866)},
        DecodeCase{"Windows1252UndefinedBytesKept", "\x80\x81\x8D\x8F\x90\x9D\xA0", 1252,
                   u"€\u0081\u008D\u008F\u0090\u009D\u00A0", page(1252)},
        DecodeCase{"DoubleBytePageReadAs1252", "caf\xE9", 932, u"café", page(1252)},
        DecodeCase{"UnknownPageReadAs1252", "caf\xE9", 0, u"café", page(1252)},
        DecodeCase{"InvalidAfterUtf8Bom", "\xEF\xBB\xBF" "caf\xE9", 1252, u"ï»¿café", page(1252)},
        DecodeCase{"CrLf", "a\r\nb\r\n", 1252, u"a\nb\n", utf8(End::CrLf)},
        DecodeCase{"Cr", "a\rb\r", 1252, u"a\nb\n", utf8(End::Cr)},
        DecodeCase{"CrLfInLatin1", "caf\xE9\r\n", 1252, u"café\n", page(1252, End::CrLf)},
        // Mixed line ends are all read; they go back as the most used one.
        DecodeCase{"MixedMostlyCrLf", "a\r\nb\r\nc\n", 1252, u"a\nb\nc\n", utf8(End::CrLf), false},
        DecodeCase{"MixedMostlyLf", "a\nb\nc\r\n", 1252, u"a\nb\nc\n", utf8(End::Lf), false},
        DecodeCase{"TextControls", "tab\there\fpage \x1B[0m\a\b\v\x1A", 1252, u"tab\there\fpage \x1B[0m\a\b\v\x1A", utf8()},
        DecodeCase{"Utf16LE", "\xFF\xFEh\0i\0\r\0\n\0"sv, 1252, u"hi\n", {Enc::Utf16LE, 0, true, End::CrLf}},
        DecodeCase{"Utf16BE", "\xFE\xFF\0h\0\xE9"sv, 1252, u"hé", {Enc::Utf16BE, 0, true, End::Lf}},
        DecodeCase{"ZipArchive", "PK\x03\x04\x14\0\0\0\x08\0"sv, 1252, nullptr, {}},
        DecodeCase{"ControlBytesWithoutNul", "PK\x03\x04\xFF\xFE binary \x80\x81", 1252, nullptr, {}},
        DecodeCase{"Utf16WithAnOddByte", "\xFF\xFEh\0i"sv, 1252, nullptr, {}},
        DecodeCase{"Utf16HoldingNul", "\xFF\xFEh\0\0\0"sv, 1252, nullptr, {}},
        DecodeCase{"Utf8WithABinaryControl", "ok\x01", 1252, nullptr, {}}),
    [](const testing::TestParamInfo<DecodeCase> &info) { return std::string(info.param.name); });

struct EncodeCase {
    const char *name;
    const char *text;  // UTF-8
    TextFormat format;
    std::string_view bytes;
};

class EncodeText : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeText, WritesTheFormat)
{
    const EncodeCase &c = GetParam();
    EXPECT_EQ(tl::encodeText(QString::fromUtf8(c.text), c.format), bytesOf(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EncodeText,
    testing::Values(EncodeCase{"Lf", "a\nb\n", utf8(), "a\nb\n"},
                    EncodeCase{"CrLf", "a\nb\n", utf8(End::CrLf), "a\r\nb\r\n"},
                    EncodeCase{"Cr", "a\nb", utf8(End::Cr), "a\rb"},
                    EncodeCase{"Utf8", "Привет", utf8(), "Привет"},
                    EncodeCase{"Utf8Bom", "é", utf8(End::Lf, true), "\xEF\xBB\xBF\xC3\xA9"},
                    // What the editor separates lines and paragraphs with.
                    EncodeCase{"EditorSeparators", "a\u2029b\u2028c", utf8(End::CrLf), "a\r\nb\r\nc"},
                    EncodeCase{"NoBreakSpaceKept", "a\u00A0b", page(1252), "a\xA0" "b"},
                    EncodeCase{"Windows1252", "€é\u0081\n", page(1252, End::CrLf), "\x80\xE9\x81\r\n"},
                    EncodeCase{"UnfitCharacters", "Жé", page(1252), "?\xE9"},
                    EncodeCase{"Utf16BE", "h\n", {Enc::Utf16BE, 0, true, End::CrLf}, "\xFE\xFF\0h\0\r\0\n"sv}),
    [](const testing::TestParamInfo<EncodeCase> &info) { return std::string(info.param.name); });

TEST(TextEncoding, TextThatDoesNotFitItsPageIsHeldAsUtf8)
{
    const QString text = QStringLiteral("café Жук");
    EXPECT_EQ(tl::firstUnfit(text, page(1252)), 5);
    EXPECT_EQ(tl::firstUnfit(text, page(1251)), 3);
    EXPECT_EQ(tl::firstUnfit(text, utf8()), -1);
    EXPECT_EQ(tl::firstUnfit(QStringLiteral("a\u2029b"), page(1252)), -1);
    EXPECT_EQ(tl::formatToHold(text, page(1252, End::CrLf)), utf8(End::CrLf));
    EXPECT_EQ(tl::formatToHold(QStringLiteral("café"), page(1252, End::CrLf)), page(1252, End::CrLf));
}

TEST(TextEncoding, EncodingNames)
{
    EXPECT_EQ(tl::encodingName(utf8()), QStringLiteral("UTF-8"));
    EXPECT_EQ(tl::encodingName({Enc::Utf16LE, 0, true, End::Lf}), QStringLiteral("UTF-16LE"));
    EXPECT_EQ(tl::encodingName(page(1252)), QStringLiteral("Windows-1252"));
    EXPECT_EQ(tl::encodingName(page(28605)), QStringLiteral("ISO-8859-15"));
    EXPECT_EQ(tl::encodingName(page(20866)), QStringLiteral("KOI8-R"));
    EXPECT_EQ(tl::encodingName(page(437)), QStringLiteral("code page 437"));
}

struct CodesetCase {
    const char *codeset;
    int page;
};

class LocaleCodeset : public testing::TestWithParam<CodesetCase> {};

TEST_P(LocaleCodeset, NamesItsWindowsPage)
{
    EXPECT_EQ(tl::codePageForCodeset(GetParam().codeset), GetParam().page) << GetParam().codeset;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, LocaleCodeset,
    testing::Values(CodesetCase{"ISO-8859-1", 28591}, CodesetCase{"ISO-8859-15", 28605}, CodesetCase{"iso8859-2", 28592},
                    CodesetCase{"ISO-8859-13", 28603}, CodesetCase{"ISO-8859-16", 0}, CodesetCase{"KOI8-R", 20866},
                    CodesetCase{"KOI8-U", 21866}, CodesetCase{"CP1251", 1251}, CodesetCase{"WINDOWS-1252", 1252},
                    CodesetCase{"CP932", 0}, CodesetCase{"UTF-8", 0}, CodesetCase{"ANSI_X3.4-1968", 0},
                    CodesetCase{"EUC-JP", 0}, CodesetCase{"", 0}, CodesetCase{nullptr, 0}));

TEST(TextEncoding, TheCLocaleReadsWindows1252)
{
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(tl::localeCodePage(), 1252);
    std::setlocale(LC_CTYPE, before.c_str());
}

} // namespace
