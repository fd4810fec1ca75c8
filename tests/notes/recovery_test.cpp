// Recovery files: where they go, how they are named and protected, and that
// each is told of once.

#include "notes/recovery.h"

#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class RecoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        data = tltest::freshFolder();
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    }
    QString data;
    const QDateTime when{QDate(2026, 12, 11), QTime(14, 5, 9)};
};

unsigned modeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST_F(RecoveryTest, KeepsTheBytesUnderTheDataFolderForThisUserOnly)
{
    const QString kept = tl::recovery::keep(QStringLiteral("Diary.nts note 2"), QStringLiteral(".rtf"), "{\\rtf1 x}", when);
    EXPECT_EQ(kept, data + QStringLiteral("/Tessaleaf/recovered/2026-12-11 14.05.09 Diary.nts note 2.rtf"));
    EXPECT_EQ(tltest::readFile(kept), QByteArray("{\\rtf1 x}"));
    EXPECT_EQ(modeOf(kept), 0600u);
    EXPECT_EQ(modeOf(tl::recovery::folder()), 0700u);
    // Nothing else is left beside it (no temporary file).
    EXPECT_EQ(QDir(tl::recovery::folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(RecoveryTest, NamesNeverClashOrLeaveTheFolder)
{
    struct Case {
        QString what, expected;
    };
    const QList<Case> cases{
        {QStringLiteral("Untitled"), QStringLiteral("2026-12-11 14.05.09 Untitled.txt")},
        {QStringLiteral("Untitled"), QStringLiteral("2026-12-11 14.05.09 Untitled (2).txt")},
        {QStringLiteral("../../etc/passwd"), QStringLiteral("2026-12-11 14.05.09 _.._etc_passwd.txt")},
        {QStringLiteral(".hidden"), QStringLiteral("2026-12-11 14.05.09 hidden.txt")},
        {QString(), QStringLiteral("2026-12-11 14.05.09.txt")},
    };
    for (const Case &c : cases) {
        const QString kept = tl::recovery::keep(c.what, QStringLiteral(".txt"), "x", when);
        EXPECT_EQ(QFileInfo(kept).fileName(), c.expected) << c.what.toStdString();
        EXPECT_EQ(QFileInfo(kept).absolutePath(), tl::recovery::folder());
    }
}

TEST_F(RecoveryTest, EachFileIsToldOnce)
{
    EXPECT_TRUE(tl::recovery::untold().isEmpty());  // no folder yet
    const QString first = tl::recovery::keep(QStringLiteral("a"), QStringLiteral(".txt"), "1", when);
    const QString second = tl::recovery::keep(QStringLiteral("b"), QStringLiteral(".txt"), "2", when.addSecs(60));
    ASSERT_EQ(tl::recovery::untold(), (QStringList{first, second}));  // oldest first
    tl::recovery::markTold(tl::recovery::untold());
    EXPECT_TRUE(tl::recovery::untold().isEmpty());

    const QString third = tl::recovery::keep(QStringLiteral("c"), QStringLiteral(".txt"), "3", when.addSecs(120));
    EXPECT_EQ(tl::recovery::untold(), QStringList{third});
    // A name told and deleted since leaves the list; the others stay told.
    QFile::remove(first);
    tl::recovery::markTold({third});
    EXPECT_TRUE(tl::recovery::untold().isEmpty());
    EXPECT_EQ(tltest::readFile(tl::recovery::folder() + QStringLiteral("/.told")),
              QByteArray("2026-12-11 14.06.09 b.txt\n2026-12-11 14.07.09 c.txt\n"));
}
