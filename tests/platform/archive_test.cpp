#include "platform/archive.h"
#include "platform/error.h"
#include "support/tempenv.h"
#include "support/zipbytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

namespace ar = tl::archive;

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Text that compresses well, large enough that the level shows.
QByteArray notesLike(int lines)
{
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += "<note>{\\rtf1\\ansi line " + QByteArray::number(i) + " of the notes}</note>\n";
    return out;
}

// The message of the tl::Error that f throws; empty when none.
template <typename F> QString errorOf(F &&f)
{
    try {
        f();
    } catch (const tl::Error &e) {
        return e.message();
    }
    return {};
}

struct NameCase {
    const char *raw;
    const char *file; // nullptr: would leave the folder
};

class MemberFileName : public testing::TestWithParam<NameCase> { };

TEST_P(MemberFileName, DropsFoldersAndRefusesEscapes)
{
    const auto got = ar::memberFileName(QString::fromUtf8(GetParam().raw));
    if (!GetParam().file)
        EXPECT_FALSE(got.has_value()) << GetParam().raw;
    else
        EXPECT_EQ(got.value_or(QStringLiteral("<refused>")), QString::fromUtf8(GetParam().file)) << GetParam().raw;
}

INSTANTIATE_TEST_SUITE_P(Names, MemberFileName,
    testing::Values(NameCase { "Diary.nts", "Diary.nts" }, NameCase { "tmp/x/Diary.nts", "Diary.nts" },
        NameCase { "tmp\\x\\Diary.nts", "Diary.nts" }, NameCase { "notes/", "" }, NameCase { "../Diary.nts", nullptr },
        NameCase { "a/../../Diary.nts", nullptr }, NameCase { "a\\..\\Diary.nts", nullptr },
        NameCase { "/etc/Diary.nts", nullptr }, NameCase { "C:Diary.nts", nullptr },
        NameCase { "\\\\server\\Diary.nts", nullptr }));

class ArchiveLevel : public testing::TestWithParam<int> { };

TEST_P(ArchiveLevel, RoundTripHoldsOneMemberWithTheBytes)
{
    const QString dir = tltest::freshFolder();
    const QByteArray bytes = notesLike(2000);
    const QString source = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), bytes);
    const QString target = dir + QStringLiteral("/Diary.znts");
    ar::writeSingleMember(target, QStringLiteral("Diary.nts"), source, GetParam());

    ar::Reader reader(target);
    ASSERT_EQ(reader.members().size(), 1u);
    EXPECT_EQ(reader.members()[0].name, QStringLiteral("Diary.nts"));
    EXPECT_EQ(reader.members()[0].size, bytes.size());
    EXPECT_EQ(reader.read(reader.members()[0], bytes.size()), bytes);
    // Level 0 stores: the archive is larger than its member; 9 packs it.
    if (GetParam() == 0)
        EXPECT_GT(QFileInfo(target).size(), bytes.size());
    else
        EXPECT_LT(QFileInfo(target).size(), bytes.size() / 5);
    EXPECT_EQ(namesIn(dir), (QStringList { QStringLiteral("Diary.nts"), QStringLiteral("Diary.znts") }));
}

INSTANTIATE_TEST_SUITE_P(Levels, ArchiveLevel, testing::Values(0, 1, 6, 9));

TEST(ArchiveWrite, FailureBeforeTheRenameKeepsTheOldArchive)
{
    const QString dir = tltest::freshFolder();
    const QString source = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), notesLike(10));
    const QByteArray old = tltest::zipOf({ { QStringLiteral("Diary.nts"), "old notes" } });
    const QString target = tltest::writeFile(dir + QStringLiteral("/Diary.znts"), old);
    ar::setBeforeReplaceHook([](const QString &) { throw tl::Error(QStringLiteral("disk gone")); });
    EXPECT_EQ(errorOf([&] { ar::writeSingleMember(target, QStringLiteral("Diary.nts"), source, 6); }),
        QStringLiteral("disk gone"));
    ar::setBeforeReplaceHook({});
    EXPECT_EQ(tltest::readFile(target), old);
    EXPECT_EQ(namesIn(dir), (QStringList { QStringLiteral("Diary.nts"), QStringLiteral("Diary.znts") }));
}

TEST(ArchiveWrite, ReadOnlyTargetIsRefusedAndKept)
{
    const QString dir = tltest::freshFolder();
    const QString source = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), notesLike(10));
    const QByteArray old = tltest::zipOf({ { QStringLiteral("Diary.nts"), "old notes" } });
    const QString target = tltest::writeFile(dir + QStringLiteral("/Diary.znts"), old);
    QFile::setPermissions(target, QFile::ReadOwner);
    EXPECT_TRUE(errorOf([&] {
        ar::writeSingleMember(target, QStringLiteral("Diary.nts"), source, 6);
    }).contains(QStringLiteral("read-only")));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(tltest::readFile(target), old);
    EXPECT_EQ(namesIn(dir).size(), 2);
}

TEST(ArchiveWrite, MissingSourceLeavesNothingBehind)
{
    const QString dir = tltest::freshFolder();
    EXPECT_FALSE(errorOf([&] {
        ar::writeSingleMember(
            dir + QStringLiteral("/Diary.znts"), QStringLiteral("Diary.nts"), dir + QStringLiteral("/none.nts"), 6);
    }).isEmpty());
    EXPECT_TRUE(namesIn(dir).isEmpty());
}

struct BadArchive {
    const char *name;
    QByteArray (*bytes)();
    const char *says;
};

class ArchiveRead : public testing::TestWithParam<BadArchive> { };

TEST_P(ArchiveRead, BrokenFileIsReportedClearly)
{
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/x.znts"), GetParam().bytes());
    const QString message = errorOf([&] { ar::Reader reader(path); });
    EXPECT_TRUE(message.contains(QLatin1String(GetParam().says))) << message.toStdString();
}

QByteArray textFile()
{
    return "just some text, no archive at all";
}
QByteArray emptyFile()
{
    return {};
}
QByteArray cutInHalf()
{
    const QByteArray zip = tltest::zipOf({ { QStringLiteral("x.nts"), notesLike(100) } });
    return zip.left(zip.size() / 2);
}
QByteArray lastBytesCut()
{
    const QByteArray zip = tltest::zipOf({ { QStringLiteral("x.nts"), notesLike(100) } });
    return zip.left(zip.size() - 10);
}

INSTANTIATE_TEST_SUITE_P(Files, ArchiveRead,
    testing::Values(BadArchive { "text", &textFile, "is not a ZIP archive" },
        BadArchive { "empty", &emptyFile, "is not a ZIP archive" },
        BadArchive { "half", &cutInHalf, "damaged or truncated" },
        BadArchive { "end", &lastBytesCut, "damaged or truncated" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ArchiveRead, MemberBeyondTheLimitIsRefusedAndLeavesNoFile)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(
        dir + QStringLiteral("/x.zip"), tltest::zipOf({ { QStringLiteral("big"), QByteArray(100000, 'a') } }));
    ar::Reader reader(path);
    const QString out = dir + QStringLiteral("/big");
    EXPECT_TRUE(
        errorOf([&] { reader.extractTo(reader.members()[0], out, 99999); }).contains(QStringLiteral("more than")));
    EXPECT_FALSE(QFileInfo::exists(out));
    reader.extractTo(reader.members()[0], out, 100000);
    EXPECT_EQ(QFileInfo(out).size(), 100000);
}

TEST(ArchiveRead, ExtractionReplacesALinkInsteadOfWritingThroughIt)
{
    const QString dir = tltest::freshFolder();
    const QString victim = tltest::writeFile(dir + QStringLiteral("/victim"), "keep me");
    const QString path
        = tltest::writeFile(dir + QStringLiteral("/x.zip"), tltest::zipOf({ { QStringLiteral("m"), "new" } }));
    const QString out = dir + QStringLiteral("/m");
    ASSERT_TRUE(QFile::link(victim, out));
    ar::Reader reader(path);
    reader.extractTo(reader.members()[0], out, 100);
    EXPECT_EQ(tltest::readFile(victim), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(out).isSymLink());
    EXPECT_EQ(tltest::readFile(out), QByteArray("new"));
}

} // namespace

namespace {

// The check before the rename relies on this: a member whose bytes do not
// match its CRC does not unpack.
TEST(ArchiveRead, MemberWhoseBytesDoNotMatchItsCrcIsDamaged)
{
    QByteArray zip = tltest::zipOf({ { QStringLiteral("m.nts"), QByteArray("0123456789abcdef") } }, 0);
    const qsizetype at = zip.indexOf("0123456789abcdef");
    ASSERT_GT(at, 0);
    zip[at + 3] = 'X';
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/m.zip"), zip);
    tl::archive::Reader reader(path);
    EXPECT_TRUE(errorOf([&] { reader.read(reader.members()[0], 100); }).contains(QStringLiteral("damaged")));
}

} // namespace
