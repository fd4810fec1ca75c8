#include "notes/filekind.h"

#include <gtest/gtest.h>

namespace {

struct KindCase {
    const char *path;
    tl::FileKind kind;
    bool rtf;
};

class FileKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(FileKindTest, ExtensionDecides)
{
    const KindCase &c = GetParam();
    EXPECT_EQ(tl::fileKindOf(QString::fromUtf8(c.path)), c.kind);
    EXPECT_EQ(tl::writesRtf(QString::fromUtf8(c.path)), c.rtf);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileKindTest,
    testing::Values(KindCase{"/n/Diary.nts", tl::FileKind::Notes, false},
                    KindCase{"/n/Diary.NTS", tl::FileKind::Document, false},
                    KindCase{"/n/Diary.znts", tl::FileKind::Compressed, false},
                    KindCase{"/n/Diary.ZNTS", tl::FileKind::Document, false},
                    KindCase{"/n/Diary.snts", tl::FileKind::Document, false},
                    KindCase{"/n/a.rtf", tl::FileKind::Document, true},
                    KindCase{"/n/a.RTF", tl::FileKind::Document, true},
                    KindCase{"/n/a.txt", tl::FileKind::Document, false},
                    KindCase{"/n/rtf", tl::FileKind::Document, false},
                    KindCase{"/n.nts/notes", tl::FileKind::Document, false},
                    KindCase{"/n/a.nts.txt", tl::FileKind::Document, false},
                    KindCase{"/n/Diary.nts.age", tl::FileKind::Notes, false},
                    KindCase{"/n/Diary.NTS.age", tl::FileKind::Document, false},
                    KindCase{"/n/Diary.znts.age", tl::FileKind::Document, false},
                    KindCase{"/n/a.rtf.age", tl::FileKind::Document, true},
                    KindCase{"/n/a.txt.age", tl::FileKind::Document, false},
                    KindCase{"/n/.age", tl::FileKind::Document, false},
                    KindCase{"/n/a.age", tl::FileKind::Document, false}));

} // namespace
