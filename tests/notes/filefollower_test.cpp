// Following a file others change: told once a burst of changes has settled,
// once when the file goes, again when it is back; never of a file no longer
// followed.

#include "notes/filefollower.h"
#include "support/tempenv.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class FileFollowerTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = tltest::freshFolder();
        file = tltest::writeFile(dir + QStringLiteral("/Synced.nts"), "one");
        target = file;
        ASSERT_TRUE(follower.refresh());
        ASSERT_EQ(retargeted.count(), 1);
        retargeted.clear();
    }
    // Another writer replaces the file by a rename, as sync tools do.
    void replace(const QByteArray &bytes)
    {
        const QString part = tltest::writeFile(dir + QStringLiteral("/.Synced.nts.part"), bytes);
        ASSERT_EQ(std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()), 0);
    }
    static bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 10000); }

    QString dir, file, target;
    tl::FileFollower follower{[this] { return target; }};
    QSignalSpy changed{&follower, &tl::FileFollower::changed};
    QSignalSpy gone{&follower, &tl::FileFollower::gone};
    QSignalSpy retargeted{&follower, &tl::FileFollower::retargeted};
};

TEST_F(FileFollowerTest, AReplacedFileIsToldOnceAndStillFollowed)
{
    EXPECT_EQ(follower.path(), file);
    replace("one, two");
    ASSERT_TRUE(waitFor([&] { return changed.count() == 1; }));
    EXPECT_EQ(changed.takeFirst().at(0).toBool(), false);
    follower.check();  // the same version again: nothing to tell
    EXPECT_EQ(changed.count(), 0);

    // The rename took the old file's watch; the file is watched again.
    replace("one, two, three");
    ASSERT_TRUE(waitFor([&] { return changed.count() == 1; }));
    EXPECT_EQ(gone.count(), 0);
}

TEST_F(FileFollowerTest, AFileWrittenInPlaceIsTold)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(", two");
    f.close();
    ASSERT_TRUE(waitFor([&] { return changed.count() == 1; }));
}

TEST_F(FileFollowerTest, AFileGoneIsToldOnceAndItsReturnAsAChange)
{
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(waitFor([&] { return gone.count() == 1; }));
    follower.check();
    EXPECT_EQ(gone.count(), 1);
    EXPECT_EQ(changed.count(), 0);

    tltest::writeFile(file, "one");
    ASSERT_TRUE(waitFor([&] { return changed.count() == 1; }));
    EXPECT_EQ(changed.takeFirst().at(0).toBool(), true);  // something was put in its place
    EXPECT_EQ(gone.count(), 1);
}

TEST_F(FileFollowerTest, AFileNoLongerFollowedIsNotToldOf)
{
    const QString other = tltest::writeFile(dir + QStringLiteral("/Other.nts"), "other");
    target = other;
    EXPECT_TRUE(follower.refresh());
    EXPECT_FALSE(follower.refresh());
    EXPECT_EQ(follower.path(), other);
    EXPECT_EQ(retargeted.count(), 1);
    replace("one, two");
    ASSERT_TRUE(QFile::remove(file));
    follower.check();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(gone.count(), 0);

    target.clear();
    follower.check();  // looks at the file to follow now
    EXPECT_TRUE(follower.path().isEmpty());
    EXPECT_EQ(retargeted.count(), 2);
    ASSERT_TRUE(QFile::remove(other));
    follower.check();
    EXPECT_EQ(gone.count(), 0);
}

} // namespace
