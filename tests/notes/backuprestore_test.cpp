// What a backup holds that the file does not, and bringing it back.

#include "notes/backuprestore.h"
#include "notes/recordstore.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>

using tl::backup::Difference;

namespace {

std::vector<QString> split(const char *letters)
{
    std::vector<QString> notes;
    for (const char *c = letters; *c; ++c)
        notes.push_back(QString(QLatin1Char(*c)));
    return notes;
}

// "R:b" removed note b; "A:x" added x; "C:b>x" b changed to x.
QStringList described(const std::vector<Difference> &diffs)
{
    QStringList out;
    for (const Difference &d : diffs) {
        switch (d.kind) {
        case Difference::Removed: out << QStringLiteral("R:") + d.backupText; break;
        case Difference::Added: out << QStringLiteral("A:") + d.fileText; break;
        case Difference::Changed: out << QStringLiteral("C:%1>%2").arg(d.backupText, d.fileText); break;
        }
    }
    return out;
}

struct DiffCase {
    const char *name;
    const char *backup, *file;
    QStringList expected;
};

class BackupDifferences : public testing::TestWithParam<DiffCase> {};

} // namespace

TEST_P(BackupDifferences, NameEachNoteThatDiffers)
{
    const DiffCase &c = GetParam();
    EXPECT_EQ(described(tl::backup::differences(split(c.backup), split(c.file))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , BackupDifferences,
    testing::Values(DiffCase{"Same", "abc", "abc", {}},
                    DiffCase{"Removed", "abc", "ac", {QStringLiteral("R:b")}},
                    DiffCase{"Added", "ac", "abc", {QStringLiteral("A:b")}},
                    DiffCase{"Changed", "abc", "axc", {QStringLiteral("C:b>x")}},
                    DiffCase{"ChangedAndRemoved", "abcd", "axd", {QStringLiteral("C:b>x"), QStringLiteral("R:c")}},
                    DiffCase{"Moved", "abc", "bca", {QStringLiteral("R:a"), QStringLiteral("A:a")}},
                    DiffCase{"AllNew", "", "xy", {QStringLiteral("A:x"), QStringLiteral("A:y")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BackupRestore, TheWholeFileComesBackAfterItsPresentStateIsBackedUp)
{
    const QString root = tltest::freshFolder();
    tl::RecordStore store;
    const QString file = tltest::freshFolder() + QStringLiteral("/Diary.nts");
    store.saveNote(0, file, {});
    store.saveNote(0, file, QStringLiteral("one"));
    store.saveNote(1, file, QStringLiteral("two"));
    const QDateTime monday(QDate(2026, 3, 2), QTime(9, 0));
    const QString backup = tl::backup::take(root, file, monday);
    store.saveNote(1, file, QStringLiteral("two, changed"));
    const QByteArray now = tltest::readFile(file);

    const std::vector<Difference> diffs = tl::backup::differences(tl::backup::notesOf(backup), tl::backup::notesOf(file));
    EXPECT_EQ(described(diffs), QStringList{QStringLiteral("C:two>two, changed")});

    tl::backup::restoreWhole(root, file, backup, monday.addSecs(60));
    EXPECT_EQ(tltest::readFile(file), tltest::readFile(backup));
    const std::vector<tl::backup::Copy> copies = tl::backup::list(root, file);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(tltest::readFile(copies[0].path), now);  // what was replaced is a backup too

    // A backup that cannot be read leaves the file as it is.
    EXPECT_THROW(tl::backup::restoreWhole(root, file, backup + QStringLiteral(".gone"), monday.addSecs(120)), tl::Error);
    EXPECT_EQ(tltest::readFile(file), tltest::readFile(backup));
}
