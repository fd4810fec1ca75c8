#include "platform/codepage.h"

#include <gtest/gtest.h>

using tl::CodePage;

namespace {

struct ByteCase {
    int page;
    std::uint8_t byte;
    char16_t expected;
};

class CodePageBytes : public testing::TestWithParam<ByteCase> {};

TEST_P(CodePageBytes, DecodesAndEncodesTheByte)
{
    const ByteCase &c = GetParam();
    const CodePage &page = CodePage::get(c.page);
    EXPECT_EQ(page.single(c.byte), c.expected);
    EXPECT_EQ(page.encode(c.expected), c.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CodePageBytes,
    testing::Values(ByteCase{1252, 0x41, u'A'}, ByteCase{1252, 0x80, u'\u20AC'}, ByteCase{1252, 0xE9, u'\u00E9'},
                    ByteCase{1252, 0x9F, u'\u0178'},
                    // The bytes Windows-1252 leaves undefined keep their value.
                    ByteCase{1252, 0x81, u'\u0081'}, ByteCase{1252, 0x8D, u'\u008D'}, ByteCase{1252, 0x8F, u'\u008F'},
                    ByteCase{1252, 0x90, u'\u0090'}, ByteCase{1252, 0x9D, u'\u009D'},
                    ByteCase{1251, 0xC0, u'\u0410'}, ByteCase{1251, 0x88, u'\u20AC'},
                    ByteCase{1250, 0x8A, u'\u0160'}, ByteCase{20866, 0xC1, u'\u0430'},
                    ByteCase{28591, 0x80, u'\u0080'}, ByteCase{28591, 0xE9, u'\u00E9'}));

// Every byte of a single-byte page comes back as it was: text read in the
// page and written in it again is unchanged.
class CodePageRoundTrip : public testing::TestWithParam<int> {};

TEST_P(CodePageRoundTrip, EveryByteComesBack)
{
    const CodePage &page = CodePage::get(GetParam());
    ASSERT_EQ(page.number(), GetParam());
    ASSERT_FALSE(page.isDoubleByte());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(page.encode(page.single(std::uint8_t(b))), b) << "byte " << b;
}

INSTANTIATE_TEST_SUITE_P(Pages, CodePageRoundTrip, testing::Values(1250, 1251, 1252, 1253, 1254, 1257, 20866, 28591));

TEST(CodePage, UnknownPagesAreWindows1252)
{
    EXPECT_EQ(CodePage::get(0).number(), 1252);
    EXPECT_EQ(CodePage::get(-5).number(), 1252);
    EXPECT_EQ(CodePage::get(12345).number(), 1252);
    EXPECT_EQ(CodePage::get(12345).single(0x80), u'\u20AC');
}

TEST(CodePage, CharactersOutsideThePageHaveNoByte)
{
    EXPECT_EQ(CodePage::get(1252).encode(u'\u0416'), -1);
    EXPECT_EQ(CodePage::get(1251).encode(u'\u00E9'), -1);
}

TEST(CodePage, DoubleBytePagesDecodePairs)
{
    const CodePage &sjis = CodePage::get(932);
    ASSERT_TRUE(sjis.isDoubleByte());
    EXPECT_TRUE(sjis.isLeadByte(0x82));
    EXPECT_FALSE(sjis.isLeadByte(0x41));
    EXPECT_EQ(sjis.pair(0x82, 0xA0), u'\u3042');
}

TEST(CodePage, FontCharsetsNameTheirPages)
{
    EXPECT_EQ(tl::codePageForCharset(0), 1252);
    EXPECT_EQ(tl::codePageForCharset(204), 1251);
    EXPECT_EQ(tl::codePageForCharset(128), 932);
    EXPECT_EQ(tl::codePageForCharset(1), 0);  // the document's own
}

} // namespace
