// Compressed notes files in the session, without a window: opening an
// archive's working copy (and a copy a killed program left), packing, turning
// the copy into a plain file, taking in the archive's outside changes.

#include "notes/compressed.h"
#include "notes/notesession.h"
#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

namespace cz = tl::compressed;

QStringList notesOf(const QString &file)
{
    tl::RecordStore store;
    QStringList notes;
    const int count = store.noteCount(file);
    for (int i = 0; i < count; ++i)
        notes << store.loadNote(i, file);
    return notes;
}

void writeNotes(const QString &path, const QStringList &notes)
{
    tl::RecordStore store;
    store.saveNote(0, path, {});
    for (int i = 0; i < notes.size(); ++i)
        store.saveNote(i, path, notes[i]);
}

class SessionPacking : public testing::Test {
protected:
    void SetUp() override
    {
        dir = tltest::freshFolder();
        temp = tl::paths::privateTempFolder();
        for (const QString &f : QDir(temp).entryList(QDir::Files | QDir::Hidden)) {
            QFile::setPermissions(temp + QLatin1Char('/') + f, QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(temp + QLatin1Char('/') + f);
        }
    }
    void TearDown() override { tl::archive::setBeforeReplaceHook({}); }

    QString path(const QString &name) const { return dir + QLatin1Char('/') + name; }

    // An archive of these notes, written as this program writes one.
    QString archive(const QString &name, const QStringList &notes)
    {
        const QString plain = tltest::freshFolder() + QLatin1Char('/') + name.chopped(5) + QStringLiteral(".nts");
        writeNotes(plain, notes);
        tl::RecordStore().setParam(plain, QStringLiteral("CompressLevel"), QStringLiteral("6"));
        cz::packNotes(plain, path(name), 6);
        return path(name);
    }

    QStringList notesIn(const QString &archivePath)
    {
        const QString out = tltest::freshFolder() + QStringLiteral("/member.nts");
        cz::unpackNotes(archivePath, out);
        return notesOf(out);
    }

    QString copyOf(const QString &archivePath) const { return cz::workingCopyPath(archivePath, temp); }
    QStringList tempFiles() const { return QDir(temp).entryList(QDir::Files | QDir::Hidden); }

    // Answers the session's questions in turn, recording them.
    tl::NotesSession::Ask answering(std::vector<bool> answers)
    {
        return [this, answers](const tl::NotesSession::Question &q) {
            asked.push_back(q);
            return asked.size() <= answers.size() ? answers[asked.size() - 1] : false;
        };
    }

    // The session with the archive's working copy open.
    void open(tl::NotesSession &session, const QString &archivePath)
    {
        session.file().adopt(archivePath);
        const tl::NotesSession::Packed opened = session.openWorkingCopy(0, answering({}));
        ASSERT_EQ(opened.path, copyOf(archivePath)) << opened.problem.toStdString();
        session.loadNote(0, opened.path);
    }

    QString dir, temp;
    std::vector<tl::NotesSession::Question> asked;
};

const QStringList kOld{QStringLiteral("old"), QStringLiteral("two")};
const QStringList kTyped{QStringLiteral("typed before the crash"), QStringLiteral("two")};

// A copy left in the temporary folder by a program that did not close it.
struct LeftCase {
    const char *name;
    std::optional<QStringList> left;  // the left copy's notes; none: no copy left
    bool answer;                      // to the question about it
    bool asks;
    QStringList opened;   // the working copy opened
    QStringList archive;  // the archive afterwards
    bool keptBeside;      // a dated copy beside the archive holds the left notes
};

void PrintTo(const LeftCase &c, std::ostream *os)
{
    *os << c.name;
}

class OpeningArchive : public SessionPacking, public testing::WithParamInterface<LeftCase> {};

TEST_P(OpeningArchive, OpensTheWorkingCopyAndRecoversALeftOneAsAnswered)
{
    const LeftCase &c = GetParam();
    const QString a = archive(QStringLiteral("Diary.znts"), {QStringLiteral("old"), QStringLiteral("two")});
    if (c.left) {
        // The member itself when nothing changed: its time of last update too.
        if (*c.left == kOld)
            cz::unpackNotes(a, copyOf(a));
        else
            writeNotes(copyOf(a), *c.left);
        tl::RecordStore().setParam(copyOf(a), QStringLiteral("RealPath"), a);
    }
    tl::NotesSession session;
    session.file().adopt(a);

    const tl::NotesSession::Packed opened = session.openWorkingCopy(0, answering({c.answer}));

    EXPECT_EQ(opened.problem, QString());
    EXPECT_EQ(opened.path, copyOf(a));
    ASSERT_EQ(asked.size(), c.asks ? 1u : 0u);
    if (c.asks)
        EXPECT_TRUE(asked[0].text.contains(QDir::toNativeSeparators(a))) << asked[0].text.toStdString();
    EXPECT_EQ(session.file().path, copyOf(a));
    EXPECT_EQ(session.file().archive, a);
    EXPECT_TRUE(session.file().isWorkingCopy());
    EXPECT_EQ(session.watchedPath(), a);
    EXPECT_EQ(notesOf(copyOf(a)), c.opened);
    EXPECT_EQ(tl::RecordStore().param(copyOf(a), QStringLiteral("RealPath")), a);
    EXPECT_EQ(notesIn(a), c.archive);
    const QStringList beside = QDir(dir).entryList({QStringLiteral("Diary (recovered *).nts")}, QDir::Files);
    ASSERT_EQ(beside.size(), c.keptBeside ? 1 : 0);
    if (c.keptBeside) {
        EXPECT_EQ(notesOf(path(beside[0])), *c.left);
        EXPECT_EQ(tl::RecordStore().param(path(beside[0]), QStringLiteral("RealPath")), QString());
    }
    EXPECT_EQ(tempFiles(), QStringList{QStringLiteral("Diary.nts")});
}


INSTANTIATE_TEST_SUITE_P(
    Cases, OpeningArchive,
    testing::Values(LeftCase{"NoneLeft", std::nullopt, true, false, kOld, kOld, false},
                    LeftCase{"LeftTheSame", kOld, true, false, kOld, kOld, false},
                    LeftCase{"LeftWithChangesRecovered", kTyped, true, true, kTyped, kTyped, false},
                    LeftCase{"LeftWithChangesKeptBeside", kTyped, false, true, kOld, kOld, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SessionPacking, AnArchiveThatCannotBeUnpackedOpensNothingAndSaysWhy)
{
    const QByteArray bytes("PK\x03\x04 not really", 16);
    const QString a = tltest::writeFile(path(QStringLiteral("Bad.znts")), bytes);
    tl::NotesSession session;
    session.file().adopt(a);

    const tl::NotesSession::Packed opened = session.openWorkingCopy(0, answering({}));

    EXPECT_TRUE(opened.path.isEmpty());
    EXPECT_TRUE(opened.problem.startsWith(QStringLiteral("Cannot open \"%1\"").arg(QDir::toNativeSeparators(a))))
        << opened.problem.toStdString();
    EXPECT_TRUE(session.file().path.isEmpty());
    EXPECT_EQ(tltest::readFile(a), bytes);
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(SessionPacking, ARecoveryThatCannotWriteTheArchiveKeepsTheLeftCopyAndOpensNothing)
{
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    writeNotes(copyOf(a), kTyped);
    tl::archive::setBeforeReplaceHook([](const QString &) { throw tl::Error(QStringLiteral("No space left")); });
    tl::NotesSession session;
    session.file().adopt(a);

    const tl::NotesSession::Packed opened = session.openWorkingCopy(0, answering({true}));

    EXPECT_TRUE(opened.path.isEmpty());
    EXPECT_TRUE(opened.problem.contains(QStringLiteral("No space left"))) << opened.problem.toStdString();
    EXPECT_TRUE(session.file().path.isEmpty());
    EXPECT_EQ(notesOf(copyOf(a)), kTyped);
    tl::archive::setBeforeReplaceHook({});
    EXPECT_EQ(notesIn(a), kOld);
    EXPECT_EQ(tempFiles(), QStringList{QStringLiteral("Diary.nts")});
}

TEST_F(SessionPacking, PackingTheWorkingCopyWritesTheArchiveThenDeletesTheCopy)
{
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    tl::NotesSession session;
    open(session, a);
    session.storeShown(copyOf(a), QStringLiteral("new"));

    const tl::NotesSession::Packed packed = session.pack(tl::NotesSession::Pack::WorkingCopy, 9, answering({}));

    EXPECT_EQ(packed.path, a);
    EXPECT_EQ(packed.problem, QString());
    EXPECT_EQ(notesIn(a), (QStringList{QStringLiteral("new"), QStringLiteral("two")}));
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_TRUE(asked.empty());
}

TEST_F(SessionPacking, APackThatFailsKeepsTheArchiveAndTheCopyAndNamesBoth)
{
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    const QByteArray before = tltest::readFile(a);
    tl::NotesSession session;
    open(session, a);
    session.storeShown(copyOf(a), QStringLiteral("new"));
    tl::archive::setBeforeReplaceHook([](const QString &) { throw tl::Error(QStringLiteral("No space left")); });

    const tl::NotesSession::Packed packed = session.pack(tl::NotesSession::Pack::WorkingCopy, 6, answering({}));

    EXPECT_TRUE(packed.path.isEmpty());
    for (const QString &part : {QStringLiteral("No space left"), QDir::toNativeSeparators(a),
                                QDir::toNativeSeparators(copyOf(a))})
        EXPECT_TRUE(packed.problem.contains(part)) << packed.problem.toStdString();
    EXPECT_EQ(tltest::readFile(a), before);
    EXPECT_EQ(notesOf(copyOf(a)), (QStringList{QStringLiteral("new"), QStringLiteral("two")}));
}

TEST_F(SessionPacking, AReadOnlyArchiveIsOnlyBrowsedAndPackingLeavesItAsItWas)
{
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    QFile::setPermissions(a, QFile::ReadOwner);
    const QByteArray before = tltest::readFile(a);
    tl::NotesSession session;
    open(session, a);
    EXPECT_TRUE(tl::isReadOnlyFile(copyOf(a)));

    const tl::NotesSession::Packed packed = session.pack(tl::NotesSession::Pack::WorkingCopy, 6, answering({}));

    EXPECT_EQ(packed.path, a);
    EXPECT_EQ(tltest::readFile(a), before);
    EXPECT_TRUE(tempFiles().isEmpty());
}

struct ReplaceCase {
    const char *name;
    bool exists;  // the file to be written is there already
    bool answer;  // to "Replace it?"
    bool done;
};

void PrintTo(const ReplaceCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReplacingFile : public SessionPacking, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplacingFile, APlainFilePacksBesideItself)
{
    const ReplaceCase &c = GetParam();
    const QString plain = path(QStringLiteral("Diary.nts"));
    writeNotes(plain, kOld);
    const QString target = path(QStringLiteral("Diary.znts"));
    if (c.exists)
        tltest::writeFile(target, "theirs");
    tl::NotesSession session;
    session.file().adopt(plain);

    const tl::NotesSession::Packed packed = session.pack(tl::NotesSession::Pack::PlainFile, 6, answering({c.answer}));

    EXPECT_EQ(asked.size(), c.exists ? 1u : 0u);
    EXPECT_EQ(packed.problem, QString());
    EXPECT_EQ(packed.path, c.done ? target : QString());
    EXPECT_EQ(QFileInfo::exists(plain), !c.done);
    if (c.done)
        EXPECT_EQ(notesIn(target), kOld);
    else
        EXPECT_EQ(tltest::readFile(target), QByteArray("theirs"));
    EXPECT_EQ(session.file().path, plain);  // the caller opens the archive
}

TEST_P(ReplacingFile, AWorkingCopyBecomesAPlainFileBesideItsArchive)
{
    const ReplaceCase &c = GetParam();
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    const QString plain = path(QStringLiteral("Diary.nts"));
    if (c.exists)
        tltest::writeFile(plain, "theirs");
    tl::NotesSession session;
    open(session, a);
    session.loadNote(1, copyOf(a));

    const tl::NotesSession::Packed unpacked = session.unpackToPlainFile(answering({c.answer}));

    EXPECT_EQ(asked.size(), c.exists ? 1u : 0u);
    EXPECT_EQ(unpacked.problem, QString());
    EXPECT_EQ(unpacked.path, c.done ? plain : QString());
    EXPECT_EQ(QFileInfo::exists(a), !c.done);
    EXPECT_EQ(QFileInfo::exists(copyOf(a)), !c.done);
    if (!c.done) {
        EXPECT_EQ(tltest::readFile(plain), QByteArray("theirs"));
        EXPECT_TRUE(session.file().isWorkingCopy());
        return;
    }
    EXPECT_EQ(notesOf(plain), kOld);
    EXPECT_EQ(tl::RecordStore().param(plain, QStringLiteral("RealPath")), QString());
    EXPECT_EQ(session.file().path, plain);
    EXPECT_FALSE(session.file().isWorkingCopy());
    EXPECT_EQ(session.file().note, 1);
    EXPECT_EQ(session.file().noteCount, 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplacingFile,
                         testing::Values(ReplaceCase{"Free", false, false, true},
                                         ReplaceCase{"ThereReplaced", true, true, true},
                                         ReplaceCase{"ThereKept", true, false, false}),
                         [](const auto &info) { return std::string(info.param.name); });

struct MergeCase {
    const char *name;
    bool pack;
    QStringList copy;     // the working copy afterwards
    QStringList archive;  // the archive afterwards
    bool keptBoth;
};

void PrintTo(const MergeCase &c, std::ostream *os)
{
    *os << c.name;
}

class MergingArchive : public SessionPacking, public testing::WithParamInterface<MergeCase> {};

TEST_P(MergingArchive, TakesInTheOtherSideWithTheEditsStoredHere)
{
    const MergeCase &c = GetParam();
    const QString a = archive(QStringLiteral("Diary.znts"), kOld);
    tl::NotesSession session;
    open(session, a);
    session.file().shownEdited = true;
    session.storeShown(copyOf(a), QStringLiteral("ours"));
    ASSERT_EQ(session.file().pending.size(), 1u);
    EXPECT_FALSE(session.mergeArchiveChanges(c.pack, 6).taken);  // the archive is as opened

    archive(QStringLiteral("Diary.znts"), {QStringLiteral("theirs"), QStringLiteral("two"), QStringLiteral("three")});
    const tl::NotesSession::Merged merged = session.mergeArchiveChanges(c.pack, 6);

    EXPECT_TRUE(merged.taken);
    EXPECT_EQ(merged.problem, QString());
    EXPECT_EQ(merged.keptBoth.has_value(), c.keptBoth);
    if (merged.keptBoth)
        EXPECT_TRUE(merged.keptBoth->message.contains(QStringLiteral("\"Diary.znts\"")));
    EXPECT_EQ(notesOf(copyOf(a)), c.copy);
    EXPECT_EQ(tl::RecordStore().param(copyOf(a), QStringLiteral("RealPath")), a);
    EXPECT_EQ(notesIn(a), c.archive);
    // Packed, the archive holds every edit: none is left to replay.
    EXPECT_EQ(session.file().pending.size(), c.pack ? 0u : 1u);
    EXPECT_FALSE(session.mergeArchiveChanges(c.pack, 6).taken);
}

const QStringList kBoth{QStringLiteral("ours"), QStringLiteral("theirs"), QStringLiteral("two"),
                        QStringLiteral("three")};

INSTANTIATE_TEST_SUITE_P(
    Cases, MergingArchive,
    testing::Values(
        MergeCase{"CopyOnly", false, kBoth, {QStringLiteral("theirs"), QStringLiteral("two"), QStringLiteral("three")},
                  true},
        MergeCase{"CopyAndArchive", true, kBoth, kBoth, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SessionPacking, APlainNotesFileHasNoArchiveChangesToTakeIn)
{
    const QString plain = path(QStringLiteral("Diary.nts"));
    writeNotes(plain, kOld);
    tl::RecordStore().setParam(plain, QStringLiteral("RealPath"), archive(QStringLiteral("Diary.znts"), kOld));
    tl::NotesSession session;
    session.file().adopt(plain);
    EXPECT_FALSE(session.mergeArchiveChanges(true, 6).taken);
    EXPECT_EQ(notesOf(plain), kOld);
}

} // namespace
