// What the File Properties dialog counts and shows.

#include "notes/fileinfo.h"

#include <gtest/gtest.h>

namespace {

struct CountCase {
    const char *text;
    qsizetype withSpaces, withoutSpaces;
};

class SymbolCountTest : public testing::TestWithParam<CountCase> { };

TEST_P(SymbolCountTest, CountsWithoutLineBreaksAndSpaces)
{
    const tl::SymbolCounts c = tl::countSymbols(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(c.withSpaces, GetParam().withSpaces) << GetParam().text;
    EXPECT_EQ(c.withoutSpaces, GetParam().withoutSpaces) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, SymbolCountTest,
    testing::Values(CountCase { "a b\nc", 4, 3 }, CountCase { "a b\r\nc", 4, 3 }, CountCase { "", 0, 0 },
        CountCase { "\t x \t", 5, 3 }, // tabs count, spaces do not
        CountCase { "a\u2029b\u2028c", 3, 3 }, CountCase { "\n\n\n", 0, 0 }, CountCase { "ä ö", 3, 2 }));

TEST(Comments, LineBreaksAreStoredAsCrlfAndComeBackFromAnyCase)
{
    EXPECT_EQ(tl::commentsToStored(QStringLiteral("one\ntwo\r\nthree")), QStringLiteral("onecrlftwocrlfthree"));
    EXPECT_EQ(tl::commentsFromStored(QStringLiteral("oneCRLFtwocRlFthree")), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(tl::commentsFromStored(tl::commentsToStored(QStringLiteral("a\nb"))), QStringLiteral("a\nb"));
}

TEST(PropertiesTime, WeekdayDayMonthYearThenTheLongTime)
{
    const QLocale en(QLocale::English, QLocale::UnitedKingdom);
    const QDateTime t(QDate(2025, 5, 5), QTime(14, 3, 7), Qt::LocalTime);
    EXPECT_EQ(tl::propertiesTime(t, en),
        QStringLiteral("Monday, 5 May 2025 г.,") + en.toString(QTime(14, 3, 7), QLocale::LongFormat));
    EXPECT_EQ(tl::propertiesTime(QDateTime(), en), QStringLiteral("unknown"));
}

} // namespace
