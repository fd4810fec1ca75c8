// The open file's state: what adopting, renaming and clearing keep and reset,
// and the step buttons it allows.

#include "notes/openfile.h"

#include <gtest/gtest.h>

namespace {

// A document read with everything set that a read can set.
tl::OpenFile readDocument()
{
    tl::OpenFile f;
    f.adopt(QStringLiteral("/n/Diary.txt"));
    f.note = 2;
    f.noteCount = 3;
    f.rtf = true;
    f.textFormat = {tl::TextFormat::Encoding::CodePage, 1252, false, tl::TextFormat::LineEnd::CrLf};
    f.textNotice = QStringLiteral(" - saved as UTF-8");
    f.faithful = false;
    f.unheld = 1;
    return f;
}

TEST(OpenFile, AdoptDecidesTheKindOnceByTheExactExtension)
{
    tl::OpenFile f;
    f.adopt(QStringLiteral("/n/Diary.nts"));
    EXPECT_TRUE(f.isNotes());
    f.adopt(QStringLiteral("/n/Diary.NTS"));
    EXPECT_FALSE(f.isNotes());
    EXPECT_EQ(f.kind, tl::FileKind::Document);
    f.adopt(QStringLiteral("/n/Diary.znts"));
    EXPECT_EQ(f.kind, tl::FileKind::Compressed);
}

TEST(OpenFile, AdoptStartsAtTheFirstNoteWithNothingReadButTheTextFormat)
{
    tl::OpenFile f = readDocument();
    f.adopt(QStringLiteral("/n/Other.nts"));
    EXPECT_EQ(f.path, QStringLiteral("/n/Other.nts"));
    EXPECT_EQ(f.note, 0);
    EXPECT_EQ(f.noteCount, 0);
    EXPECT_FALSE(f.rtf);
    EXPECT_TRUE(f.faithful);
    EXPECT_EQ(f.unheld, 0u);
    // The editor's text keeps its encoding and line ends.
    EXPECT_EQ(f.textFormat, readDocument().textFormat);
    EXPECT_EQ(f.textNotice, readDocument().textNotice);
}

TEST(OpenFile, RenameKeepsTheNoteShown)
{
    tl::OpenFile f = readDocument();
    f.renameTo(QStringLiteral("/n/Copy.rtf"));
    EXPECT_EQ(f.path, QStringLiteral("/n/Copy.rtf"));
    EXPECT_EQ(f.note, 2);
    EXPECT_EQ(f.noteCount, 0);
    EXPECT_FALSE(f.rtf);  // the new file holds what was written there, by its name
    EXPECT_TRUE(f.faithful);
    EXPECT_EQ(f.unheld, 0u);  // it holds what the editor wrote there
    EXPECT_EQ(f.textFormat, readDocument().textFormat);
}

TEST(OpenFile, ClearLeavesNoFile)
{
    tl::OpenFile f = readDocument();
    f.adopt(QStringLiteral("/n/Diary.nts"));
    f.clear();
    EXPECT_TRUE(f.path.isEmpty());
    EXPECT_EQ(f.note, 0);
    EXPECT_FALSE(f.isNotes());
    EXPECT_FALSE(f.hasPreviousNote());
    EXPECT_FALSE(f.hasNextNote());
}

struct StepCase {
    int note;
    int count;
    bool previous;
    bool next;
};

class StepButtons : public testing::TestWithParam<StepCase> {};

TEST_P(StepButtons, FollowTheNoteShown)
{
    tl::OpenFile f;
    f.adopt(QStringLiteral("/n/Diary.nts"));
    f.note = GetParam().note;
    f.noteCount = GetParam().count;
    EXPECT_EQ(f.hasPreviousNote(), GetParam().previous);
    EXPECT_EQ(f.hasNextNote(), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Notes, StepButtons,
                         testing::Values(StepCase{0, 0, false, false},  // not counted, or a missing file
                                         StepCase{2, 0, false, false}, StepCase{0, 1, false, false},
                                         StepCase{0, 3, false, true}, StepCase{1, 3, true, true},
                                         StepCase{2, 3, true, false}));

} // namespace

namespace {

// Only the copy this program unpacked is packed away: a new name, a new
// file or no file is no working copy any more.
TEST(OpenFile, TheArchiveOfAWorkingCopyGoesWithEveryChangeOfFile)
{
    for (void (*change)(tl::OpenFile &) : {+[](tl::OpenFile &f) { f.adopt(QStringLiteral("/t/Diary.nts")); },
                                           +[](tl::OpenFile &f) { f.renameTo(QStringLiteral("/n/Mine.nts")); },
                                           +[](tl::OpenFile &f) { f.clear(); }}) {
        tl::OpenFile f;
        f.adopt(QStringLiteral("/t/Diary.nts"));
        f.archive = QStringLiteral("/n/Diary.znts");
        EXPECT_TRUE(f.isWorkingCopy());
        change(f);
        EXPECT_FALSE(f.isWorkingCopy());
        EXPECT_TRUE(f.archive.isEmpty());
    }
}

} // namespace
