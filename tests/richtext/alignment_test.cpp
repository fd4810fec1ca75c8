// One answer for every alignment Qt can hold: the buttons, the editor and the
// RTF writer all ask this.

#include "richtext/alignment.h"

#include <gtest/gtest.h>

namespace {

struct AlignCase {
    const char *name;
    Qt::Alignment stored;
    Qt::Alignment shown;
};

class HorizontalAlignment : public testing::TestWithParam<AlignCase> {};

TEST_P(HorizontalAlignment, IsOneOfFour)
{
    EXPECT_EQ(tl::horizontalAlignment(GetParam().stored), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, HorizontalAlignment,
    testing::Values(AlignCase{"None", Qt::Alignment(), Qt::AlignLeft},
                    AlignCase{"Left", Qt::AlignLeft, Qt::AlignLeft},
                    AlignCase{"Centre", Qt::AlignHCenter, Qt::AlignHCenter},
                    AlignCase{"Right", Qt::AlignRight, Qt::AlignRight},
                    AlignCase{"Justify", Qt::AlignJustify, Qt::AlignJustify},
                    AlignCase{"CentreWithVertical", Qt::AlignHCenter | Qt::AlignVCenter, Qt::AlignHCenter},
                    AlignCase{"VerticalOnly", Qt::AlignBottom, Qt::AlignLeft},
                    AlignCase{"AbsoluteRight", Qt::AlignAbsolute | Qt::AlignRight, Qt::AlignRight},
                    AlignCase{"CentreBeatsRight", Qt::AlignHCenter | Qt::AlignRight, Qt::AlignHCenter},
                    AlignCase{"JustifyBeatsCentre", Qt::AlignJustify | Qt::AlignHCenter, Qt::AlignJustify}),
    [](const testing::TestParamInfo<AlignCase> &info) { return std::string(info.param.name); });

} // namespace
