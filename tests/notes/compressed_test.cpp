// Compressed notes files in the main window: the working copy, packing it
// back, archives from other tools, read-only archives, failed writes, a copy
// left by a killed program, and archives that must not be unpacked.

#include "notesfixture.h"

#include "settings/settingstable.h"

#include "notes/compressed.h"
#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "support/zipbytes.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

namespace {

namespace cz = tl::compressed;

class CompressedTest : public NotesFormTest {
protected:
    void SetUp() override
    {
        NotesFormTest::SetUp();
        temp = emptiedPrivateTemp();
    }
    void TearDown() override
    {
        tl::archive::setBeforeReplaceHook({});
        NotesFormTest::TearDown();
    }

    // An archive made by this program at level, from a notes file of these notes.
    QString archive(const QString &name, const QStringList &notes, int level = 6)
    {
        const QString plainName = name.chopped(5) + QStringLiteral(".nts");
        QDir(dir).mkpath(QFileInfo(QStringLiteral("src/") + plainName).path());
        const QString plain = notesFile(QStringLiteral("src/") + plainName, notes);
        tl::RecordStore().setParam(plain, QStringLiteral("CompressLevel"), QString::number(level));
        cz::packNotes(plain, path(name), level);
        return path(name);
    }

    // The notes of the archive's one member (its name checked).
    QStringList notesIn(const QString &archivePath)
    {
        tl::archive::Reader reader(archivePath);
        EXPECT_EQ(reader.members().size(), 1u);
        if (reader.members().empty())
            return {};
        EXPECT_EQ(reader.members()[0].name, cz::memberNameFor(archivePath));
        const QString out = tltest::freshFolder() + QStringLiteral("/member.nts");
        reader.extractTo(reader.members()[0], out, cz::maxNotesBytes);
        return notesOf(out);
    }

    QString copyOf(const QString &archivePath) const { return cz::workingCopyPath(archivePath, temp); }
    QStringList tempFiles() const { return QDir(temp).entryList(QDir::Files | QDir::Hidden); }

    QString temp;
};

class CompressedLevelTest : public CompressedTest, public testing::WithParamInterface<int> { };

TEST_P(CompressedLevelTest, OpenEditCloseAndReopenKeepsEveryEdit)
{
    const QString a
        = archive(QStringLiteral("Diary.znts"), { QStringLiteral("one"), QStringLiteral("two") }, GetParam());
    open(a);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    EXPECT_EQ(form->CurrentFile(), copyOf(a));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - Diary.znts"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 2 from Diary.znts"));
    EXPECT_EQ(form->CurrentZipLevel, GetParam());
    EXPECT_EQ(form->GetNotesParam(QStringLiteral("RealPath")), a);

    type(QStringLiteral(" kiwi"));
    form->cmdNextClick();
    type(QStringLiteral(" lime"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(form->CurrentFile(), a);
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(notesIn(a), (QStringList { QStringLiteral("one kiwi"), QStringLiteral("two lime") }));
    EXPECT_TRUE(dialogs->boxes.empty());

    open(a);
    EXPECT_EQ(editorText(), QStringLiteral("one kiwi"));
    form->cmdNextClick();
    EXPECT_EQ(editorText(), QStringLiteral("two lime"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Levels, CompressedLevelTest, testing::Values(0, 9));

TEST_F(CompressedTest, ProgramEndPacksTheCopyAndLeavesNoneBehind)
{
    const QString a = archive(QStringLiteral("End.znts"), { QStringLiteral("one") });
    form->FormCreate({ QStringLiteral("tessaleaf"), a });
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    type(QStringLiteral(" pear"));
    form->FormDestroy();
    EXPECT_EQ(notesIn(a), QStringList { QStringLiteral("one pear") });
    EXPECT_TRUE(tempFiles().isEmpty());
}

// Archives another tool made: folders in the member's name, a folder
// entry, no realpath or compresslevel of ours.

class OtherToolTest : public CompressedTest, public testing::WithParamInterface<const char *> { };

TEST_P(OtherToolTest, ArchiveMadeElsewhereOpens)
{
    const QString tool = QString::fromLatin1(GetParam());
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    QDir(dir).mkpath(QStringLiteral("inner/notes"));
    notesFile(QStringLiteral("inner/notes/Other.nts"), { QStringLiteral("made elsewhere"), QStringLiteral("two") });
    QProcess p;
    p.setWorkingDirectory(path(QStringLiteral("inner")));
    if (tool == QLatin1String("zip"))
        p.start(exe,
            { QStringLiteral("-q"), QStringLiteral("-r"), path(QStringLiteral("Other.znts")),
                QStringLiteral("notes") });
    else
        p.start(exe,
            { QStringLiteral("-c"),
                QStringLiteral("import zipfile,sys; z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED); "
                               "z.write('notes'); z.write('notes/Other.nts'); z.close()"),
                path(QStringLiteral("Other.znts")) });
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    open(path(QStringLiteral("Other.znts")));
    EXPECT_EQ(editorText(), QStringLiteral("made elsewhere"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 2 from Other.znts"));
    EXPECT_EQ(form->CurrentZipLevel, 0); // its compresslevel is empty
    type(QStringLiteral(" and here"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(path(QStringLiteral("Other.znts"))),
        (QStringList { QStringLiteral("made elsewhere and here"), QStringLiteral("two") }));
}

INSTANTIATE_TEST_SUITE_P(Tools, OtherToolTest, testing::Values("python3", "zip"));

TEST_F(CompressedTest, ReadOnlyArchiveIsBrowsedAndLeftAsItWas)
{
    const QString a = makeReadOnly(archive(QStringLiteral("Locked.znts"), { QStringLiteral("one") }));
    const QByteArray before = tltest::readFile(a);
    open(a);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    EXPECT_TRUE(tl::isReadOnlyFile(form->CurrentFile()));
    EXPECT_TRUE(form->memo1->isReadOnly());
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(tltest::readFile(a), before);
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(CompressedTest, FailedWriteKeepsTheOldArchiveAndTheCopyAndSaysSo)
{
    const QString a = archive(QStringLiteral("Fail.znts"), { QStringLiteral("one") });
    const QByteArray before = tltest::readFile(a);
    open(a);
    type(QStringLiteral(" plum"));
    tl::archive::setBeforeReplaceHook(
        [](const QString &) { throw tl::Error(QStringLiteral("No space left on device")); });
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(tltest::readFile(a), before);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("No space left on device")));
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QDir::toNativeSeparators(copyOf(a))));
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Error);
    EXPECT_EQ(notesOf(copyOf(a)), QStringList { QStringLiteral("one plum") });
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("Fail.znts") });

    // The next try, with room again, gets it all into the archive.
    tl::archive::setBeforeReplaceHook({});
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(a), QStringList { QStringLiteral("one plum") });
    EXPECT_TRUE(tempFiles().isEmpty());
}

// A working copy left by a killed program, with an edit the archive lacks.
QString leaveCopy(const QString &copy, const QString &archivePath, const QStringList &notes)
{
    tl::RecordStore store;
    store.saveNote(0, copy, {});
    for (int i = 0; i < notes.size(); ++i)
        store.saveNote(i, copy, notes[i]);
    store.setParam(copy, QStringLiteral("RealPath"), archivePath);
    store.setParam(copy, QStringLiteral("CompressLevel"), QStringLiteral("6")); // as archive() writes
    return copy;
}

TEST_F(CompressedTest, LeftCopyIsRecoveredIntoTheArchiveByDefault)
{
    const QString a = archive(QStringLiteral("Crash.znts"), { QStringLiteral("old"), QStringLiteral("two") });
    leaveCopy(copyOf(a), a, { QStringLiteral("typed before the crash"), QStringLiteral("two") });
    open(a); // the fake answers Yes, the default
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::YesNo);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("Crash.znts")));
    EXPECT_EQ(notesIn(a), (QStringList { QStringLiteral("typed before the crash"), QStringLiteral("two") }));
    EXPECT_EQ(editorText(), QStringLiteral("typed before the crash"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(a), (QStringList { QStringLiteral("typed before the crash"), QStringLiteral("two") }));
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(CompressedTest, LeftCopyCanBeKeptBesideAsADatedCopy)
{
    const QString a = archive(QStringLiteral("Crash.znts"), { QStringLiteral("old") });
    leaveCopy(copyOf(a), a, { QStringLiteral("typed before the crash") });
    dialogs->answers = { tl::MsgResult::No };
    open(a);
    const QStringList beside = QDir(dir).entryList({ QStringLiteral("Crash (recovered *).nts") }, QDir::Files);
    ASSERT_EQ(beside.size(), 1);
    const QString kept = path(beside[0]);
    EXPECT_EQ(notesOf(kept), QStringList { QStringLiteral("typed before the crash") });
    EXPECT_EQ(tl::RecordStore().param(kept, QStringLiteral("RealPath")), QString());
    EXPECT_EQ(editorText(), QStringLiteral("old"));
    EXPECT_EQ(notesIn(a), QStringList { QStringLiteral("old") });
}

TEST_F(CompressedTest, LeftCopyWithoutChangesIsTakenWithoutAQuestion)
{
    const QString a = archive(QStringLiteral("Same.znts"), { QStringLiteral("same") });
    leaveCopy(copyOf(a), a, { QStringLiteral("same") });
    open(a);
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(editorText(), QStringLiteral("same"));
}

TEST_F(CompressedTest, RecoveryThatCannotWriteTheArchiveDeletesNothing)
{
    const QString a = makeReadOnly(archive(QStringLiteral("Crash.znts"), { QStringLiteral("old") }));
    const QString copy = leaveCopy(copyOf(a), a, { QStringLiteral("typed before the crash") });
    open(a);
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[1].icon, tl::MsgIcon::Error);
    EXPECT_EQ(notesOf(copy), QStringList { QStringLiteral("typed before the crash") });
    EXPECT_TRUE(form->CurrentFile().isEmpty());
}

// Two archives of one name in two folders share the copy's name: a copy
// left by the other one goes back into that one, not this.
TEST_F(CompressedTest, LeftCopyOfAnotherArchiveOfTheSameNameGoesBackThere)
{
    QDir(dir).mkpath(QStringLiteral("other"));
    const QString mine = archive(QStringLiteral("Diary.znts"), { QStringLiteral("mine") });
    const QString theirs = archive(QStringLiteral("other/Diary.znts"), { QStringLiteral("theirs") });
    leaveCopy(copyOf(mine), theirs, { QStringLiteral("theirs edited") });
    open(mine);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QDir::toNativeSeparators(theirs)));
    EXPECT_EQ(notesIn(theirs), QStringList { QStringLiteral("theirs edited") });
    EXPECT_EQ(editorText(), QStringLiteral("mine"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(mine), QStringList { QStringLiteral("mine") });
    EXPECT_TRUE(tempFiles().isEmpty());
}

// A member whose sizes, in both headers, claim two gigabytes.
QByteArray claimsHugeSize()
{
    QByteArray z = tltest::zipOf({ { QStringLiteral("Bad.nts"), "<root/>" } }, 0);
    for (const char *sig : { "PK\3\4", "PK\1\2" }) {
        const qsizetype at = z.indexOf(QByteArray(sig, 4));
        const int offset = sig[2] == 3 ? 22 : 24; // uncompressed size
        qToLittleEndian<quint32>(0x80000000u, z.data() + at + offset);
    }
    return z;
}

struct BadCase {
    const char *name;
    QByteArray (*bytes)();
    const char *says;
};

QByteArray notAZip()
{
    return "<root><info/><notes><note>plain xml</note></notes></root>";
}
QByteArray truncated()
{
    const QByteArray z = tltest::zipOf({ { QStringLiteral("Bad.nts"), QByteArray(5000, 'x') } });
    return z.left(z.size() - 30);
}
QByteArray otherName()
{
    return tltest::zipOf({ { QStringLiteral("folder/Diary.nts"), "<root/>" } });
}
QByteArray slip()
{
    return tltest::zipOf({ { QStringLiteral("../../Bad.nts"), "<root/>" } });
}

class BadArchiveTest : public CompressedTest, public testing::WithParamInterface<BadCase> { };

TEST_P(BadArchiveTest, IsToldAndLeavesNoCopy)
{
    const QString a = tltest::writeFile(path(QStringLiteral("Bad.znts")), GetParam().bytes());
    open(a);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Error);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QLatin1String(GetParam().says)))
        << dialogs->boxes[0].text.toStdString();
    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(temp).absolutePath() + QStringLiteral("/Bad.nts")));
    EXPECT_FALSE(
        QFileInfo::exists(QFileInfo(QFileInfo(temp).absolutePath()).absolutePath() + QStringLiteral("/Bad.nts")));
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Archives, BadArchiveTest,
    testing::Values(BadCase { "NotAZip", &notAZip, "is not a ZIP archive" },
        BadCase { "Truncated", &truncated, "damaged or truncated" },
        BadCase { "OtherName", &otherName, "not the notes file \"Bad.nts\"" },
        BadCase { "ZipSlip", &slip, "would unpack outside its folder" },
        BadCase { "Huge", &claimsHugeSize, "more than a notes file" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(CompressedTest, SaveAsFromAWorkingCopyPacksItAndLeavesAPlainFile)
{
    const QString a = archive(QStringLiteral("Diary.znts"), { QStringLiteral("one") });
    open(a);
    form->SaveFileAs(path(QStringLiteral("Plain.nts")));
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Plain.nts"));
    type(QStringLiteral(" more"));
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesOf(path(QStringLiteral("Plain.nts"))), QStringList { QStringLiteral("one more") });
    EXPECT_EQ(notesIn(a), QStringList { QStringLiteral("one") });
}

// A notes file that only names an archive (unpacked by another tool keeps
// its realpath) is the user's own: closing it neither packs nor deletes it.
TEST_F(CompressedTest, PlainFileNamingAnArchiveStaysPlain)
{
    const QString a = archive(QStringLiteral("Diary.znts"), { QStringLiteral("in archive") });
    const QByteArray before = tltest::readFile(a);
    const QString plain = notesFile(QStringLiteral("Diary.nts"), { QStringLiteral("mine") });
    tl::RecordStore().setParam(plain, QStringLiteral("RealPath"), a);
    open(plain);
    type(QStringLiteral(" too"));
    form->CloseNotes(plain);
    EXPECT_EQ(notesOf(plain), QStringList { QStringLiteral("mine too") });
    EXPECT_EQ(tltest::readFile(a), before);
}

// The archive changed by another writer while its working copy is open.
class SyncedArchiveTest : public CompressedTest {
protected:
    void openShown(const QString &a)
    {
        open(a);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->memo1->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), form->memo1);
    }
    void typeAtEnd(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
};

TEST_F(SyncedArchiveTest, AnOutsideChangeIsTakenInWithTheEditsStoredHere)
{
    const QString a = archive(QStringLiteral("Diary.znts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    openShown(a);
    typeAtEnd(QStringLiteral(" ours"));
    QTest::mouseClick(form->cmdNext, Qt::LeftButton, {}, form->cmdNext->rect().center());
    // The other side: note 2 (shown here, not edited) changed, a note added.
    archive(QStringLiteral("Diary.znts"), {QStringLiteral("one"), QStringLiteral("two theirs"), QStringLiteral("three"),
                                           QStringLiteral("four")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return editorText() == QStringLiteral("two theirs"); }, 10000))
        << editorText().toStdString();
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 4 from Diary.znts - changed outside"));
    // Taken in at once: the archive holds both sides before the file closes.
    const QStringList both{QStringLiteral("one ours"), QStringLiteral("two theirs"), QStringLiteral("three"),
                           QStringLiteral("four")};
    EXPECT_EQ(notesIn(a), both);
    EXPECT_EQ(notesOf(copyOf(a)), both);
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(a), both);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(SyncedArchiveTest, BothSidesEditingOneNoteBeforeTheCloseKeepBoth)
{
    const QString a = archive(QStringLiteral("Diary.znts"), {QStringLiteral("one"), QStringLiteral("two")});
    openShown(a);
    typeAtEnd(QStringLiteral(" ours"));
    archive(QStringLiteral("Diary.znts"), {QStringLiteral("one theirs"), QStringLiteral("two"), QStringLiteral("three")});
    // Closed before the window saw the change: closing takes it in.
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(a), (QStringList{QStringLiteral("one ours"), QStringLiteral("one theirs"), QStringLiteral("two"),
                                       QStringLiteral("three")}));
    EXPECT_FALSE(QFileInfo::exists(copyOf(a)));
}

TEST_F(SyncedArchiveTest, NotesAddedAndDeletedHereSurviveAnOutsideChange)
{
    const QString a = archive(QStringLiteral("Diary.znts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    set(tl::setting::AskDelNote, QStringLiteral("false"));
    openShown(a);
    QTest::mouseClick(form->cmdDel, Qt::LeftButton, {}, form->cmdDel->rect().center());  // "one" goes
    QTest::mouseClick(form->cmdNew, Qt::LeftButton, {}, form->cmdNew->rect().center());
    typeAtEnd(QStringLiteral("added"));
    QTest::mouseClick(form->cmdBack, Qt::LeftButton, {}, form->cmdBack->rect().center());
    archive(QStringLiteral("Diary.znts"), {QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two"),
                                           QStringLiteral("three")});
    form->CloseNotes(form->CurrentFile());
    EXPECT_EQ(notesIn(a), (QStringList{QStringLiteral("zero"), QStringLiteral("two"), QStringLiteral("three"),
                                       QStringLiteral("added")}));
}

} // namespace
