// The disk failing under the writers of whole files: a full disk in the
// middle of a write or at its flush, a read-only folder, a file replaced by a
// folder, a settings folder removed while the program runs. Each fails with
// a message naming the file and the reason, and loses nothing: the file on
// disk stays as it was, no temporary file is left, and once the fault is
// gone the next write holds every value.

#include "notes/recordstore.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/settingsfile.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

const char kNotes[] =
    "<root><info><lastupdate>01.02.2003</lastupdate><authorname/><companyname/><comments/><realpath/>"
    "<compresslevel>0</compresslevel></info><notes><note>{\\rtf1 one}</note><note>{\\rtf1 two}</note></notes></root>";

// Fails the n-th call of the write path (0: the first) with err, and every
// call after it, as a disk that stays full does.
struct Fault {
    const char *name;
    int failFrom;
    int err;
    const char *reason;
};

class DiskFault : public testing::TestWithParam<Fault> {
protected:
    void SetUp() override
    {
        calls = 0;
        tl::setWriteFaultHook([this] { return calls++ >= GetParam().failFrom ? GetParam().err : 0; });
    }
    void TearDown() override { tl::setWriteFaultHook({}); }

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    int calls = 0;
};

TEST_P(DiskFault, NoteWriteFailsNamingTheReasonAndKeepsTheFile)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    tl::RecordStore store;
    try {
        store.saveNote(0, path, QStringLiteral("{\\rtf1 ONE, changed}"));
        FAIL() << "the write succeeded";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Diary.nts"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QLatin1String(GetParam().reason))) << e.message().toStdString();
    }
    EXPECT_EQ(tltest::readFile(path), QByteArray(kNotes));
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("Diary.nts")});

    // The store holds nothing ahead of the file; with room again the same
    // save goes through and keeps the other note.
    EXPECT_EQ(store.loadNote(0, path), QStringLiteral("{\\rtf1 one}"));
    tl::setWriteFaultHook({});
    store.saveNote(0, path, QStringLiteral("{\\rtf1 ONE, changed}"));
    tl::RecordStore fresh;
    EXPECT_EQ(fresh.loadNote(0, path), QStringLiteral("{\\rtf1 ONE, changed}"));
    EXPECT_EQ(fresh.loadNote(1, path), QStringLiteral("{\\rtf1 two}"));
}

TEST_P(DiskFault, SettingsWriteFailsNamingTheValueAndKeepsTheFile)
{
    const QString dir = tltest::freshFolder();
    const tl::SettingsFile file(dir + QStringLiteral("/settings.conf"));
    tl::setWriteFaultHook({});
    file.setString(QStringLiteral("CurrentFile"), QStringLiteral("/home/a/Diary.nts"));
    const QByteArray before = tltest::readFile(file.path());
    SetUp();
    try {
        file.setInteger(QStringLiteral("Top"), 120);
        FAIL() << "the write succeeded";
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'Top'"));
    }
    EXPECT_EQ(tltest::readFile(file.path()), before);
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("settings.conf")});
    EXPECT_FALSE(file.exists(QStringLiteral("Top")));

    tl::setWriteFaultHook({});
    file.setInteger(QStringLiteral("Top"), 120);
    const auto entries = tl::SettingsFile::parse(tltest::readFile(file.path()));
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].value.text, QStringLiteral("/home/a/Diary.nts"));
    EXPECT_EQ((*entries)[1].value.number, 120);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskFault,
    testing::Values(Fault{"FullAtFirstWrite", 0, ENOSPC, "No space left on device"},
                    Fault{"FullAtFlush", 1, ENOSPC, "No space left on device"},
                    Fault{"QuotaAtFlush", 1, EDQUOT, "quota exceeded"},
                    Fault{"InputOutputError", 0, EIO, "Input/output error"}),
    [](const auto &info) { return std::string(info.param.name); });

// The flush is the last step asked; a write that fits in one call asks twice.
TEST(DiskFaultHook, IsAskedForEveryWriteAndTheFlush)
{
    int calls = 0;
    tl::setWriteFaultHook([&] { return ++calls, 0; });
    tl::writeFileAtomically(tltest::freshFolder() + QStringLiteral("/a"), "abc");
    tl::setWriteFaultHook({});
    EXPECT_EQ(calls, 2);
}

// Reads take the folder for a missing file (nothing to lose there); a save
// is refused with the file's name. The folder is left as it was either way.
TEST(FolderFault, ANotesFileReplacedByAFolderIsRefusedAndTheFolderKept)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    tl::RecordStore store;
    ASSERT_EQ(store.noteCount(path), 2);
    QFile::remove(path);
    QDir().mkpath(path + QStringLiteral("/inside"));
    EXPECT_EQ(store.loadNote(0, path), QString());
    EXPECT_EQ(store.noteCount(path), 0);
    try {
        store.saveNote(0, path, QStringLiteral("x"));
        ADD_FAILURE() << "the save was not refused";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Diary.nts"))) << e.message().toStdString();
    }
    EXPECT_NO_THROW(store.removeNote(0, path));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Diary.nts")});
}

TEST(FolderFault, AReadOnlyFolderRefusesTheWriteAndKeepsTheFile)
{
    const QString dir = tltest::freshFolder() + QStringLiteral("/locked");
    const QString path = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
    struct Restore {
        QString dir;
        ~Restore() { QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    } restore{dir};
    if (::access(QFile::encodeName(dir).constData(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into a read-only folder";
    tl::RecordStore store;
    try {
        store.saveNote(1, path, QStringLiteral("{\\rtf1 changed}"));
        FAIL() << "the write succeeded";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Diary.nts"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Permission denied"))) << e.message().toStdString();
    }
    EXPECT_EQ(tltest::readFile(path), QByteArray(kNotes));
}

TEST(FolderFault, ASettingsFolderRemovedWhileRunningIsMadeAgainAtTheNextWrite)
{
    const QString config = tltest::freshFolder() + QStringLiteral("/Tessaleaf");
    const tl::SettingsFile file(config + QStringLiteral("/settings.conf"));
    file.setString(QStringLiteral("CurLanguage"), QStringLiteral("German"));
    ASSERT_TRUE(QDir(config).removeRecursively());

    // Gone with its folder: read as an empty store, not as a broken one.
    EXPECT_FALSE(file.exists(QStringLiteral("CurLanguage")));
    EXPECT_TRUE(tl::SettingsFile::takeNotices().isEmpty());
    ASSERT_TRUE(QDir(config).removeRecursively());
    file.setInteger(QStringLiteral("Left"), 10);
    const auto entries = tl::SettingsFile::parse(tltest::readFile(file.path()));
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].name, QStringLiteral("Left"));
    EXPECT_EQ((*entries)[0].value.number, 10);
}

} // namespace
