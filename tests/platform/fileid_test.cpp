// A file id must change with every change a reader could miss: another file
// under the name, another size, another modification time (to the nanosecond),
// a rewrite in place that sets the modification time back. What the times
// cannot tell is left to the settled rule.

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

// Nothing there and a look that fails are kept apart: a settings file may be
// created where nothing is, never over what cannot be looked at.
TEST(FileId, TellsNothingThereFromWhatCannotBeLookedAt)
{
    using Kind = tl::FileId::Kind;
    const QString dir = tltest::freshFolder();
    const QString file = tltest::writeFile(dir + QStringLiteral("/a.nts"), "abc");
    const QString dangling = dir + QStringLiteral("/dangling.nts");
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("/gone.nts"), dangling));
    const struct {
        QString path;
        Kind kind;
    } cases[] = {
        {file, Kind::File},
        {dir + QStringLiteral("/missing.nts"), Kind::Absent},
        {dangling, Kind::Absent},
        {dir, Kind::Error},                               // a folder
        {file + QStringLiteral("/inside"), Kind::Error},  // a path through a file
    };
    for (const auto &c : cases) {
        EXPECT_EQ(tl::fileIdOf(c.path).kind, c.kind) << c.path.toStdString();
        tl::FileId id;
        id.size = 42;
        EXPECT_EQ(tl::fileIdOf(c.path, &id), c.kind == Kind::File) << c.path.toStdString();
        if (c.kind != Kind::File)
            EXPECT_EQ(id.size, 42) << "left untouched";
    }
}

tl::FileId fileChangedAt(std::int64_t mtimeNs, std::int64_t ctimeNs, std::int64_t lookedNs)
{
    tl::FileId id;
    id.kind = tl::FileId::Kind::File;
    id.device = 1;
    id.inode = 2;
    id.size = 3;
    id.mtimeNs = mtimeNs;
    id.ctimeNs = ctimeNs;
    id.lookedNs = lookedNs;
    return id;
}

constexpr std::int64_t kMs = 1000000;
constexpr std::int64_t kLook = 1700000000000 * kMs;

struct SettleCase {
    const char *name;
    tl::FileId id;
    bool settled;
};

void PrintTo(const SettleCase &c, std::ostream *os) { *os << c.name; }

class FileIdSettled : public testing::TestWithParam<SettleCase> {};

TEST_P(FileIdSettled, OnlyALastChangeFarEnoughBackIsSettled)
{
    EXPECT_EQ(GetParam().id.settled(), GetParam().settled);
}

tl::FileId ofKind(tl::FileId::Kind kind)
{
    tl::FileId id;
    id.kind = kind;
    id.lookedNs = kLook;
    return id;
}

INSTANTIATE_TEST_SUITE_P(
    Looks, FileIdSettled,
    testing::Values(SettleCase{"LongAgo", fileChangedAt(kLook - 5000 * kMs, kLook - 5000 * kMs, kLook), true},
                    SettleCase{"JustTheSettleTime", fileChangedAt(kLook - 100 * kMs, kLook - 100 * kMs, kLook), true},
                    SettleCase{"InsideTheSettleTime", fileChangedAt(kLook - 99 * kMs, kLook - 99 * kMs, kLook), false},
                    // Rewritten in place with its old time put back.
                    SettleCase{"StatusChangedJustNow", fileChangedAt(kLook - 5000 * kMs, kLook - 1 * kMs, kLook), false},
                    SettleCase{"DatedAhead", fileChangedAt(kLook + 5000 * kMs, kLook - 5000 * kMs, kLook), false},
                    SettleCase{"NothingThere", ofKind(tl::FileId::Kind::Absent), true},
                    SettleCase{"CannotBeLookedAt", ofKind(tl::FileId::Kind::Error), false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FileId, AFileDatedAheadIsNotSettledWhenLookedAt)
{
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/a.nts"), "abc");
    setModified(path, QDateTime::currentDateTime().addSecs(3600));
    const tl::FileId id = tl::fileIdOf(path);
    ASSERT_TRUE(id.isFile());
    EXPECT_FALSE(id.settled());
}

// The rule every cache goes by, from the looks around a read or the look
// after a write to whether a later look may use the copy.
struct KeepCase {
    const char *name;
    bool written;  // the copy was written, not read
    tl::FileId before, after;
    bool kept;
};

void PrintTo(const KeepCase &c, std::ostream *os) { *os << c.name; }

class KeptCopyRule : public testing::TestWithParam<KeepCase> {};

TEST_P(KeptCopyRule, KeepsOnlyWhatIsProvablyTheFile)
{
    const KeepCase &c = GetParam();
    tl::KeptCopy copy;
    EXPECT_FALSE(copy.serves(c.after));  // nothing kept yet
    if (c.written)
        copy.afterWrite(c.after);
    else
        copy.afterRead(c.before, c.after);
    EXPECT_EQ(copy.isKept(), c.kept);
    // A later look at the same version, at another time.
    tl::FileId later = c.after;
    later.lookedNs += 1000 * kMs;
    EXPECT_EQ(copy.serves(later), c.kept);
    // Any other version is never served.
    tl::FileId other = c.after;
    other.ctimeNs += 1;
    EXPECT_FALSE(copy.serves(other));
    copy.drop();
    EXPECT_FALSE(copy.serves(later));
}

const tl::FileId kOld = fileChangedAt(kLook - 5000 * kMs, kLook - 5000 * kMs, kLook);
const tl::FileId kFresh = fileChangedAt(kLook - 2 * kMs, kLook - 2 * kMs, kLook);
tl::FileId grown(tl::FileId id)
{
    ++id.size;
    return id;
}

INSTANTIATE_TEST_SUITE_P(
    Copies, KeptCopyRule,
    testing::Values(KeepCase{"ReadSettled", false, kOld, kOld, true},
                    KeepCase{"ReadJustChanged", false, kFresh, kFresh, false},
                    KeepCase{"ChangedDuringTheRead", false, kOld, grown(kOld), false},
                    KeepCase{"ReadWhereNothingIs", false, ofKind(tl::FileId::Kind::Absent),
                             ofKind(tl::FileId::Kind::Absent), true},
                    KeepCase{"ReadWhatCannotBeLookedAt", false, ofKind(tl::FileId::Kind::Error),
                             ofKind(tl::FileId::Kind::Error), false},
                    KeepCase{"WrittenJustNow", true, {}, kFresh, true},
                    KeepCase{"WrittenButCannotBeLookedAt", true, {}, ofKind(tl::FileId::Kind::Error), false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
