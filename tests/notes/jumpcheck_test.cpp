// The number typed into the Jump-to-note window, judged without the window.

#include "notes/jumpcheck.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using tl::jump::Verdict;

struct JumpCase {
    const char *name;
    const char *typed;
    int count;
    Verdict verdict;
    int index;
};

void PrintTo(const JumpCase &c, std::ostream *os) { *os << c.name; }

class JumpCheckTest : public testing::TestWithParam<JumpCase> {};

TEST_P(JumpCheckTest, JudgesTheNumberTyped)
{
    const JumpCase &c = GetParam();
    const tl::jump::Check got = tl::jump::checkNumber(QString::fromUtf8(c.typed), c.count);
    EXPECT_EQ(got.verdict, c.verdict);
    if (c.verdict == Verdict::Show) {
        EXPECT_EQ(got.index, c.index);
    }
}

constexpr int kMax = std::numeric_limits<int>::max();

INSTANTIATE_TEST_SUITE_P(Cases, JumpCheckTest,
    testing::Values(JumpCase{"LastOfFive", "5", 5, Verdict::Show, 4},
        JumpCase{"FirstOfFive", "1", 5, Verdict::Show, 0}, JumpCase{"LeadingZeros", "007", 7, Verdict::Show, 6},
        JumpCase{"BeyondTheLast", "6", 5, Verdict::NoSuchNote, -1}, JumpCase{"Zero", "0", 5, Verdict::NoSuchNote, -1},
        JumpCase{"ZerosOnly", "000", 5, Verdict::NoSuchNote, -1}, JumpCase{"NoNotes", "1", 0, Verdict::NoSuchNote, -1},
        JumpCase{"LeadingSpace", " 3", 5, Verdict::NotANumber, -1},
        JumpCase{"TrailingSpace", "3 ", 5, Verdict::NotANumber, -1}, JumpCase{"Empty", "", 5, Verdict::NotANumber, -1},
        JumpCase{"Minus", "-1", 5, Verdict::NotANumber, -1}, JumpCase{"Plus", "+1", 5, Verdict::NotANumber, -1},
        JumpCase{"Letter", "2a", 5, Verdict::NotANumber, -1}, JumpCase{"HexPrefix", "0x2", 5, Verdict::NotANumber, -1},
        JumpCase{"ArabicIndicDigit", "\u0663", 5, Verdict::NotANumber, -1},
        JumpCase{"FullwidthDigit", "\uFF13", 5, Verdict::NotANumber, -1},
        JumpCase{"LargestInt", "2147483647", kMax, Verdict::Show, kMax - 1},
        JumpCase{"OnePastInt", "2147483648", kMax, Verdict::NoSuchNote, -1},
        JumpCase{"FarTooLong", "99999999999999999999999", kMax, Verdict::NoSuchNote, -1},
        JumpCase{"LongRunOfZeros", "0000000000000000000003", 5, Verdict::Show, 2}),
    [](const testing::TestParamInfo<JumpCase> &i) { return std::string(i.param.name); });

} // namespace
