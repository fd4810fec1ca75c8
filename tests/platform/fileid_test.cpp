// A file id must change with every change a reader could miss: another file
// under the name, another size, another modification time (to the nanosecond),
// a rewrite in place that sets the modification time back.

#include "platform/atomicfile.h"
#include "platform/fileid.h"
#include "support/tempenv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

tl::FileId idOf(const QString &path)
{
    tl::FileId id;
    EXPECT_TRUE(tl::fileIdOf(path, &id)) << path.toStdString();
    return id;
}

void setModified(const QString &path, const QDateTime &when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

TEST(FileId, SameFileUnchangedGivesTheSameId)
{
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/a.nts"), "abc");
    EXPECT_EQ(idOf(path), idOf(path));
    EXPECT_EQ(idOf(path).size, 3);
}

TEST(FileId, ChangesWithSizeTimeAndFile)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/a.nts"), "abc");
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1700000000123);
    setModified(path, when);
    const tl::FileId first = idOf(path);

    // Same bytes count, one millisecond later.
    setModified(path, when.addMSecs(1));
    const tl::FileId later = idOf(path);
    EXPECT_NE(later, first);
    EXPECT_EQ(later.mtimeNs - first.mtimeNs, 1000000);

    // Another file put in its place, with the same size and time.
    tl::writeFileAtomically(path, "xyz");
    setModified(path, when);
    const tl::FileId replaced = idOf(path);
    EXPECT_EQ(replaced.size, first.size);
    EXPECT_EQ(replaced.mtimeNs, first.mtimeNs);
    EXPECT_NE(replaced.inode, first.inode);
    EXPECT_NE(replaced, first);

    tltest::writeFile(path, "abcd");
    setModified(path, when);
    EXPECT_EQ(idOf(path).size, 4);
}

TEST(FileId, ChangesWhenRewrittenInPlaceWithTheTimeSetBack)
{
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/a.nts"), "abc");
    const tl::FileId before = idOf(path);
    tltest::rewriteInPlaceKeepingTime(path, "xyz");
    const tl::FileId after = idOf(path);
    EXPECT_EQ(after.inode, before.inode);
    EXPECT_EQ(after.size, before.size);
    EXPECT_EQ(after.mtimeNs, before.mtimeNs);
    EXPECT_NE(after, before);
}

TEST(FileId, FollowsLinksAndKnowsNoFolderOrMissingFile)
{
    const QString dir = tltest::freshFolder();
    const QString target = tltest::writeFile(dir + QStringLiteral("/a.nts"), "abc");
    const QString link = dir + QStringLiteral("/link.nts");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(idOf(link), idOf(target));

    tl::FileId id;
    EXPECT_FALSE(tl::fileIdOf(dir, &id));
    EXPECT_FALSE(tl::fileIdOf(dir + QStringLiteral("/missing.nts"), &id));
    ASSERT_TRUE(QFile::remove(target));
    EXPECT_FALSE(tl::fileIdOf(link, &id));
}

} // namespace
