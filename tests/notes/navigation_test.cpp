// Stepping, adding and deleting notes in the real main window.

#include "notesfixture.h"

#include "settings/settingstable.h"

#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace s = tl::setting;

namespace {

using NavigationTest = NotesFormTest;

TEST_F(NavigationTest, StepsThroughThreeNotesWithTheButtons)
{
    open(notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - Diary.nts"));

    struct Step {
        tl::FlatButton *button;  // nullptr: the state after opening
        QString text, info;
        bool back, next;
    };
    const Step steps[] = {
        {nullptr, QStringLiteral("one"), QStringLiteral("Note 1 of 3 from Diary.nts"), false, true},
        {form->cmdNext, QStringLiteral("two"), QStringLiteral("Note 2 of 3 from Diary.nts"), true, true},
        {form->cmdNext, QStringLiteral("three"), QStringLiteral("Note 3 of 3 from Diary.nts"), true, false},
        {form->cmdNext, QStringLiteral("three"), QStringLiteral("Note 3 of 3 from Diary.nts"), true, false},  // disabled
        {form->cmdBack, QStringLiteral("two"), QStringLiteral("Note 2 of 3 from Diary.nts"), true, true},
        {form->cmdBack, QStringLiteral("one"), QStringLiteral("Note 1 of 3 from Diary.nts"), false, true},
        {form->cmdBack, QStringLiteral("one"), QStringLiteral("Note 1 of 3 from Diary.nts"), false, true},  // disabled
    };
    int row = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(row++);
        if (step.button)
            step.button->click();
        EXPECT_EQ(editorText(), step.text);
        EXPECT_EQ(info(), step.info);
        EXPECT_EQ(form->cmdBack->isEnabled(), step.back);
        EXPECT_EQ(form->cmdNext->isEnabled(), step.next);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(NavigationTest, AnEditIsStoredByNextAndShownAgainByBack)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    open(file);
    form->cmdNextClick();
    type(QStringLiteral(" more"));
    EXPECT_TRUE(form->Modified());
    form->cmdNextClick();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one"), QStringLiteral("two more"), QStringLiteral("three")}));
    form->cmdBackClick();
    EXPECT_EQ(editorText(), QStringLiteral("two more"));
    EXPECT_EQ(form->CurrentNote(), 1);
}

TEST_F(NavigationTest, AnEditReachesTheFileALinkNames)
{
    QDir().mkpath(path(QStringLiteral("real")));
    QDir().mkpath(path(QStringLiteral("links")));
    const QString real = notesFile(QStringLiteral("real/Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    const QString link = path(QStringLiteral("links/Link.nts"));
    ASSERT_EQ(::symlink("../real/Diary.nts", QFile::encodeName(link).constData()), 0);
    open(link);
    form->show();
    type(QStringLiteral(" more"));
    QTest::mouseClick(form->cmdNext, Qt::LeftButton);
    EXPECT_EQ(editorText(), QStringLiteral("two"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(notesOf(real), (QStringList{QStringLiteral("one more"), QStringLiteral("two")}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(NavigationTest, TypingRefreshesTheInformationBar)
{
    open(notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one")}));
    form->Panel1->setText(QStringLiteral("stale"));
    form->session().file().shownEdited = false;
    type(QStringLiteral("x"));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Diary.nts"));
    EXPECT_EQ(editorText(), QStringLiteral("onex"));
}

TEST_F(NavigationTest, JumpShowsTheNoteAtItsTopOnlyWhenItExists)
{
    const QString file = notesFile(QStringLiteral("Two.nts"), {QStringLiteral("first"), QStringLiteral("second")});
    open(file);
    type(QStringLiteral("!"));
    form->JumpToNote(3);
    EXPECT_EQ(form->CurrentNote(), 0);
    EXPECT_EQ(editorText(), QStringLiteral("first!"));
    form->JumpToNote(2);
    EXPECT_EQ(form->CurrentNote(), 1);
    EXPECT_EQ(editorText(), QStringLiteral("second"));
    EXPECT_EQ(form->memo1->textCursor().position(), 0);
    EXPECT_EQ(notesOf(file).value(0), QStringLiteral("first!"));

    open(tltest::writeFile(path(QStringLiteral("a.txt")), "text"));
    form->JumpToNote(1);
    EXPECT_EQ(editorText(), QStringLiteral("text"));
}

TEST_F(NavigationTest, AddAppendsAnEmptyNoteAtTheEnd)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    type(QStringLiteral("1"));
    form->cmdNew->click();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one1"), QStringLiteral("two"), QString()}));
    EXPECT_EQ(editorText(), QString());
    EXPECT_EQ(info(), QStringLiteral("Note 3 of 3 from Diary.nts"));
    EXPECT_TRUE(form->cmdBack->isEnabled());
    EXPECT_FALSE(form->cmdNext->isEnabled());
    type(QStringLiteral("new"));
    form->cmdBackClick();
    EXPECT_EQ(notesOf(file).value(2), QStringLiteral("new"));
}

TEST_F(NavigationTest, AddWithAnEmptyEditorFirstStoresALineBreak)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QString()});
    open(file);
    ASSERT_EQ(editorText(), QString());
    form->cmdNewClick();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("\n"), QString()}));
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 2 from Diary.nts"));
}

TEST_F(NavigationTest, AddWithNoFileOpenAsksForANewNotesFile)
{
    form->memo1->setContentText(QStringLiteral("kept"));
    const QString file = path(QStringLiteral("New.nts"));
    dialogs->saveNames = {file};
    form->cmdNewClick();
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("kept"), QString()}));
    EXPECT_EQ(form->CurrentFile(), file);
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 2 from New.nts"));
    EXPECT_EQ(editorText(), QString());
}

TEST_F(NavigationTest, AddWithNoFileOpenAndCancelCreatesNothing)
{
    form->memo1->setContentText(QStringLiteral("kept"));
    form->cmdNewClick();
    EXPECT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_EQ(editorText(), QStringLiteral("kept"));
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files).isEmpty());
}

TEST_F(NavigationTest, AddChoosingAReadOnlyFileSaysSoAndAddsNothing)
{
    const QString file = makeReadOnly(tltest::writeFile(path(QStringLiteral("Locked.nts")), "locked"));
    dialogs->saveNames = {file};
    form->cmdNewClick();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("File \"") + file + QStringLiteral("\" Read Only!"));
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Warning);
    EXPECT_EQ(tltest::readFile(file), QByteArray("locked"));
    EXPECT_TRUE(form->CurrentFile().isEmpty());
}

// Delete: which note goes, what is asked and what is shown afterwards.
struct DeleteCase {
    const char *name;
    int notes;          // in the file
    int shown;          // index shown when Delete is pressed
    const char *ask;    // the setting's value
    tl::MsgResult answer;
    bool asked;
    QStringList remaining;  // empty: the file is gone
    const char *text;       // in the editor afterwards
    const char *info;
};

class DeleteTest : public NotesFormTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, RemovesTheNoteShownOrTheFile)
{
    const DeleteCase &c = GetParam();
    QStringList texts;
    for (int i = 1; i <= c.notes; ++i)
        texts << QStringLiteral("n%1").arg(i);
    const QString file = notesFile(QStringLiteral("Diary.nts"), texts);
    open(file);
    form->JumpToNote(c.shown + 1);
    set(c.notes == 1 ? s::AskDelFile : s::AskDelNote, QString::fromUtf8(c.ask));
    dialogs->answers = {c.answer};

    form->cmdDel->click();

    ASSERT_EQ(dialogs->boxes.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Confirmation"));
        EXPECT_EQ(dialogs->boxes[0].text, c.notes == 1 ? QStringLiteral("Delete file of notes?") : QStringLiteral("Delete note?"));
        EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::OkCancel);
    }
    if (c.remaining.isEmpty()) {
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(form->CurrentFile().isEmpty());
    } else {
        EXPECT_EQ(notesOf(file), c.remaining);
    }
    EXPECT_EQ(editorText(), QString::fromUtf8(c.text));
    EXPECT_EQ(info(), QString::fromUtf8(c.info));
    EXPECT_TRUE(errors.isEmpty());
}

const QStringList n12 = {QStringLiteral("n1"), QStringLiteral("n2")};
const QStringList n23 = {QStringLiteral("n2"), QStringLiteral("n3")};
const QStringList n123 = {QStringLiteral("n1"), QStringLiteral("n2"), QStringLiteral("n3")};

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteTest,
    testing::Values(
        DeleteCase{"FirstOfThree", 3, 0, "", tl::MsgResult::Ok, false, n23, "n2", "Note 1 of 2 from Diary.nts"},
        DeleteCase{"LastOfThree", 3, 2, "", tl::MsgResult::Ok, false, n12, "n2", "Note 2 of 2 from Diary.nts"},
        DeleteCase{"AskedOk", 3, 1, "true", tl::MsgResult::Ok, true, {QStringLiteral("n1"), QStringLiteral("n3")}, "n1",
                   "Note 1 of 2 from Diary.nts"},
        DeleteCase{"AskedCancel", 3, 1, "true", tl::MsgResult::Cancel, true, n123, "n2", "Note 2 of 3 from Diary.nts"},
        DeleteCase{"AskOnlyWhenExactlyTrue", 3, 0, "TRUE", tl::MsgResult::Cancel, false, n23, "n2",
                   "Note 1 of 2 from Diary.nts"},
        DeleteCase{"OnlyNoteDeletesTheFile", 1, 0, "", tl::MsgResult::Ok, false, {}, "", "No File of Notes"},
        DeleteCase{"OnlyNoteAskedOk", 1, 0, "true", tl::MsgResult::Ok, true, {}, "", "No File of Notes"},
        DeleteCase{"OnlyNoteAskedCancel", 1, 0, "true", tl::MsgResult::Cancel, true, {QStringLiteral("n1")}, "n1",
                   "Note 1 of 1 from Diary.nts"}),
    [](const testing::TestParamInfo<DeleteCase> &info) { return std::string(info.param.name); });

TEST_F(NavigationTest, DeleteOfADocumentDeletesTheFileAfterTheQuestion)
{
    const QString file = tltest::writeFile(path(QStringLiteral("a.txt")), "text");
    open(file);
    set(s::AskDelFile, QStringLiteral("true"));
    form->cmdDelClick();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("Delete file of notes?"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(info(), QStringLiteral("No File of Notes"));
}

TEST_F(NavigationTest, DeleteThatFailsKeepsTheFileOpenAndSaysWhy)
{
    const QString sub = path(QStringLiteral("locked"));
    QDir().mkpath(sub);
    const QString file = tltest::writeFile(sub + QStringLiteral("/a.txt"), "text");
    open(file);
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner);
    readOnly << sub;
    if (QFile(file).remove()) {
        GTEST_SKIP() << "this user may delete from a read-only folder";
    }
    form->cmdDel->click();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(form->CurrentFile(), file);
    EXPECT_EQ(editorText(), QStringLiteral("text"));
}

// A read-only notes file is browsed: no step writes, none ends in an error.
TEST_F(NavigationTest, AReadOnlyNotesFileIsBrowsedWithoutWriting)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    makeReadOnly(file);
    const QByteArray before = tltest::readFile(file);
    open(file);
    EXPECT_TRUE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 3 from Diary.nts (read-only)"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - Diary.nts"));
    type(QStringLiteral("lost"));
    EXPECT_EQ(editorText(), QStringLiteral("one"));

    form->cmdNext->click();
    form->cmdNext->click();
    form->cmdBack->click();
    form->JumpToNote(3);
    form->cmdNew->click();
    form->cmdDel->click();
    EXPECT_EQ(editorText(), QStringLiteral("three"));
    EXPECT_EQ(info(), QStringLiteral("Note 3 of 3 from Diary.nts (read-only)"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(dialogs->boxes.empty());
    form->CloseNotes(file);
    EXPECT_EQ(tltest::readFile(file), before);
}

} // namespace
