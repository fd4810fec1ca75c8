// Backups of notes files: exact copies, private, named by time, made before
// the first write of a run and then once a day, rotated by day and week
// within a size cap, never inside the notes file's own folder.

#include "notes/backups.h"
#include "notes/notesession.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tl::backup;

namespace {

const QDateTime kMonday = QDateTime(QDate(2026, 3, 2), QTime(9, 30, 5));

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

struct ProgramRun {
    QString root = tltest::freshFolder() + QStringLiteral("/backups");
    QDateTime now = kMonday;
    Policy policy;
    Keeper keeper{[this] { return root; }, [this] { return policy; }, [this] { return now; }};
};

} // namespace

TEST(Backups, ACopyIsTheBytesOnDiskPrivateAndNamedByItsTime)
{
    // An archive and an encrypted file are copied as they are.
    const QByteArray kinds[] = {QByteArray("PK\x03\x04\x14\0\0\0\x08\0binary\xff\xfe", 20),
                                QByteArray("age-encryption.org/v1\n-> scrypt c2FsdA 18\n\x01\x02\x00\x03", 48)};
    for (const QByteArray &bytes : kinds) {
        const QString root = tltest::freshFolder() + QStringLiteral("/backups");
        const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts.age"), bytes);
        const QString copy = take(root, file, kMonday);
        EXPECT_EQ(tltest::readFile(copy), bytes);
        EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("Diary.nts 2026-03-02 09-30-05.age"));
        EXPECT_EQ(QFileInfo(copy).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const QString folder = QFileInfo(copy).absolutePath();
        EXPECT_EQ(folder, folderFor(root, file));
        EXPECT_TRUE(QFileInfo(folder).fileName().contains(QRegularExpression(QStringLiteral("^Diary\\.nts\\.age-[0-9a-f]{8}$"))))
            << qPrintable(folder);
        EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0);  // nobody else may look in
        EXPECT_EQ(namesIn(folder), QStringList{QFileInfo(copy).fileName()});  // no temporary file left
        ASSERT_EQ(list(root, file).size(), 1u);
        EXPECT_EQ(list(root, file)[0].taken, kMonday);
    }
}

TEST(Backups, TwoCopiesInOneSecondAreBothKept)
{
    const QString root = tltest::freshFolder();
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "one");
    const QString first = take(root, file, kMonday);
    tltest::writeFile(file, "two");
    const QString second = take(root, file, kMonday);
    EXPECT_NE(first, second);
    EXPECT_EQ(tltest::readFile(first), QByteArray("one"));
    ASSERT_EQ(list(root, file).size(), 2u);
    EXPECT_EQ(tltest::readFile(list(root, file)[0].path), QByteArray("two"));
}

TEST(Backups, FilesOfTheSameNameInTwoFoldersKeepTheirCopiesApart)
{
    const QString root = tltest::freshFolder();
    const QString a = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "a");
    const QString b = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "b");
    EXPECT_NE(folderFor(root, a), folderFor(root, b));
    // A link reaches the same file: the same copies.
    const QString link = tltest::freshFolder() + QStringLiteral("/Link.nts");
    ASSERT_TRUE(QFile::link(a, link));
    EXPECT_EQ(folderFor(root, link), folderFor(root, a));
}

TEST(Backups, MadeBeforeTheFirstWriteOfARunThenOnceADay)
{
    ProgramRun run;
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "v1");
    run.keeper.beforeWrite(file);
    tltest::writeFile(file, "v2");
    run.now = run.now.addSecs(3600);
    run.keeper.beforeWrite(file);
    ASSERT_EQ(list(run.root, file).size(), 1u);
    EXPECT_EQ(tltest::readFile(list(run.root, file)[0].path), QByteArray("v1"));

    run.now = kMonday.addSecs(24 * 3600);
    run.keeper.beforeWrite(file);
    ASSERT_EQ(list(run.root, file).size(), 2u);
    EXPECT_EQ(tltest::readFile(list(run.root, file)[0].path), QByteArray("v2"));

    // A new run copies again, unless the file is as its newest copy.
    run.keeper.reset();
    run.now = run.now.addSecs(60);
    run.keeper.beforeWrite(file);
    EXPECT_EQ(list(run.root, file).size(), 2u);
    tltest::writeFile(file, "v3");
    run.keeper.reset();
    run.keeper.beforeWrite(file);
    // The newest of the day stays: v3 takes v2's place.
    ASSERT_EQ(list(run.root, file).size(), 2u);
    EXPECT_EQ(tltest::readFile(list(run.root, file)[0].path), QByteArray("v3"));
    EXPECT_EQ(tltest::readFile(list(run.root, file)[1].path), QByteArray("v1"));

    // A file about to be made has nothing to keep; no copies at all turns backups off.
    run.keeper.beforeWrite(tltest::freshFolder() + QStringLiteral("/New.nts"));
    run.policy.days = run.policy.weeks = 0;
    const QString other = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Other.nts"), "x");
    run.keeper.beforeWrite(other);
    EXPECT_TRUE(list(run.root, other).empty());
    EXPECT_EQ(namesIn(run.root).size(), 0);  // only folders there
}

struct RotationCase {
    const char *name;
    std::vector<int> hoursAgo;  // the copies, newest first
    Policy policy;
    qint64 size;                // of each copy
    std::vector<int> kept;      // indexes into hoursAgo
};

class BackupRotation : public testing::TestWithParam<RotationCase> {};

TEST_P(BackupRotation, KeepsTheNewestOfEachDayThenOfEachWeekWithinTheCap)
{
    const RotationCase &c = GetParam();
    const QDateTime now(QDate(2026, 3, 20), QTime(18, 0));  // a Friday
    std::vector<Copy> copies;
    for (size_t i = 0; i < c.hoursAgo.size(); ++i)
        copies.push_back({QString::number(i), now.addSecs(-3600LL * c.hoursAgo[i]), c.size});
    std::vector<int> got;
    for (const Copy &k : kept(copies, c.policy))
        got.push_back(k.path.toInt());
    EXPECT_EQ(got, c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    , BackupRotation,
    testing::Values(
        // Three a day: the newest of each day stays.
        RotationCase{"NewestOfEachDay", {1, 2, 3, 25, 26, 49}, {7, 4, 0}, 10, {0, 3, 5}},
        // Seven days, then the week of Mar 9 once more: its Friday, not its Thursday.
        RotationCase{"SevenDays", {0, 24, 48, 72, 96, 120, 144, 168, 192}, {7, 4, 0}, 10, {0, 1, 2, 3, 4, 5, 6, 7}},
        // Three days daily; then the newest of the weeks of Mar 9 and Mar 2.
        RotationCase{"WeeksBeyondTheDays",
                     {0, 24, 48, 24 * 9, 24 * 10, 24 * 16, 24 * 17, 24 * 25, 24 * 40},
                     {3, 2, 0}, 10, {0, 1, 2, 3, 5}},
        RotationCase{"OnlyWeeks", {0, 24, 24 * 7, 24 * 14}, {0, 2, 0}, 10, {0, 2}},
        // 25 bytes allowed: the oldest leave, the newest always stays.
        RotationCase{"SizeCap", {0, 24, 48, 72}, {7, 4, 25}, 10, {0, 1}},
        RotationCase{"NewestStaysOverTheCap", {0, 24}, {7, 4, 5}, 10, {0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Backups, RotationDeletesWhatThePolicyDoesNotKeep)
{
    const QString root = tltest::freshFolder();
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "x");
    for (int day = 0; day < 5; ++day)
        take(root, file, kMonday.addDays(-day));
    take(root, file, kMonday.addSecs(-60));  // an older one of the same day
    rotate(root, file, {2, 0, 0});
    std::vector<QDateTime> left;
    for (const Copy &c : list(root, file))
        left.push_back(c.taken);
    EXPECT_EQ(left, (std::vector<QDateTime>{kMonday, kMonday.addDays(-1)}));
}

TEST(Backups, NeverInsideTheNotesFilesOwnFolder)
{
    const QString synced = tltest::freshFolder();
    const QString file = tltest::writeFile(synced + QStringLiteral("/Diary.nts"), "x");
    const QString inside = synced + QStringLiteral("/.local/backups");
    EXPECT_FALSE(refusal(inside, file).isEmpty());
    EXPECT_THROW(take(inside, file, kMonday), tl::Error);
    EXPECT_FALSE(QFileInfo::exists(inside));
    EXPECT_EQ(namesIn(synced), QStringList{QStringLiteral("Diary.nts")});
    // Through a link into the folder too.
    const QString link = tltest::freshFolder() + QStringLiteral("/into");
    ASSERT_TRUE(QFile::link(synced, link));
    EXPECT_FALSE(refusal(link + QStringLiteral("/backups"), file).isEmpty());
    EXPECT_TRUE(refusal(tltest::freshFolder(), file).isEmpty());
    // The home folder holds the data folder: a file kept right there is backed up.
    const QString home = tltest::writeFile(QDir::homePath() + QStringLiteral("/Home.nts"), "x");
    EXPECT_TRUE(refusal(QDir::homePath() + QStringLiteral("/.local/share/Tessaleaf/backups"), home).isEmpty());
    QFile::remove(home);
}

TEST(Backups, TheSessionBacksUpTheFileAsItWasBeforeItsFirstWrite)
{
    const QString folder = tltest::freshFolder();
    tl::RecordStore plain;
    const QString file = folder + QStringLiteral("/Diary.nts");
    plain.saveNote(0, file, {});
    plain.saveNote(0, file, QStringLiteral("one"));
    plain.saveNote(1, file, QStringLiteral("two"));
    const QByteArray before = tltest::readFile(file);

    tl::NotesSession session;
    session.file().adopt(file);
    session.loadNote(0, file);
    session.file().shownEdited = true;
    session.storeShown(file, QStringLiteral("one, edited"));
    session.records().removeNote(1, file);
    const std::vector<Copy> copies = list(tl::NotesSession::backupsFolder(), file);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(tltest::readFile(copies[0].path), before);

    // A working copy's writes back up its archive, as it is on disk.
    const QString archive = tltest::writeFile(folder + QStringLiteral("/Packed.znts"), QByteArray("PK\x03\x04zip", 7));
    const QString copy = folder + QStringLiteral("/Packed.nts");
    plain.saveNote(0, copy, {});
    tl::NotesSession packed;
    packed.file().adopt(copy);
    packed.file().archive = archive;
    packed.appendNote();
    const std::vector<Copy> archived = list(tl::NotesSession::backupsFolder(), archive);
    ASSERT_EQ(archived.size(), 1u);
    EXPECT_EQ(tltest::readFile(archived[0].path), QByteArray("PK\x03\x04zip", 7));
    EXPECT_TRUE(list(tl::NotesSession::backupsFolder(), copy).empty());
}
