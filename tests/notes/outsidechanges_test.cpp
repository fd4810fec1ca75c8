// The open notes file changed by another writer while the window shows it:
// edits of both sides end up in the file, the note shown follows outside
// changes unless it is being edited, a file deleted outside keeps the text.

#include "notes/notesfixture.h"

#include "settings/settingstable.h"

#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class OutsideChangeTest : public NotesFormTest {
protected:
    void startOn(const QStringList &notes)
    {
        file = notesFile(QStringLiteral("Synced.nts"), notes);
        form->FormCreate({QStringLiteral("tessaleaf"), file});
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_EQ(QApplication::focusWidget(), form->memo1);
        // The welcome banner has the information bar for a while after start-up.
        ASSERT_TRUE(waitFor([&] { return form->bannerStep == 0; }));
        form->pShowPanelInfo(form->CurrentFile());
    }
    // Typed at the end of the note, as a person types after a click below the text.
    void typeAtEnd(const QString &text)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void click(QWidget *button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }

    // The other side: another process writes the file with a store of its
    // own, as another copy of the program would.
    void otherProcessWrites(const std::function<void(tl::RecordStore &)> &edit)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            tl::RecordStore other;
            edit(other);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // The other side rewrites the whole file with these notes, replacing it
    // by a rename as sync tools do.
    void otherSideHas(const QStringList &notes)
    {
        const QString fresh = path(QStringLiteral(".Synced.nts.part"));
        QFile::remove(fresh);
        tl::RecordStore other;
        other.saveNote(0, fresh, {});
        for (int i = 0; i < notes.size(); ++i)
            other.saveNote(i, fresh, notes[i]);
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(file).constData()), 0);
    }
    bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 10000); }

    QString file;
};

TEST_F(OutsideChangeTest, AnEditHereAndAnEditThereOfAnotherNoteBothReachTheFile)
{
    startOn({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    typeAtEnd(QStringLiteral(" ours"));
    otherProcessWrites([&](tl::RecordStore &other) { other.saveNote(1, file, QStringLiteral("two theirs")); });
    click(form->cmdNext);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one ours"), QStringLiteral("two theirs"), QStringLiteral("three")}));
    EXPECT_EQ(editorText(), QStringLiteral("two theirs"));
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 3 from Synced.nts"));
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(OutsideChangeTest, BothSidesEditingOneNoteKeepBothOursFirst)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    typeAtEnd(QStringLiteral(" ours"));
    otherProcessWrites([&](tl::RecordStore &other) { other.saveNote(0, file, QStringLiteral("one theirs")); });
    click(form->cmdNext);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one ours"), QStringLiteral("one theirs"), QStringLiteral("two")}));
    // The step goes on from our version: the other one is shown next.
    EXPECT_EQ(editorText(), QStringLiteral("one theirs"));
    EXPECT_TRUE(info().startsWith(QStringLiteral("Note 2 of 3 from Synced.nts - changed outside too"))) << info().toStdString();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("Both are kept"))) << dialogs->boxes[0].text.toStdString();
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("note 2"))) << dialogs->boxes[0].text.toStdString();
}

// The notice of a conflict tells of the step that met it: the next step,
// Add, Delete or jump shows the information bar without it.
struct AfterConflictCase {
    const char *name;
    void (*act)(TForm1 &);
    const char *info;
};

void PrintTo(const AfterConflictCase &c, std::ostream *os) { *os << c.name; }

void clickOn(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

class AfterConflictTest : public OutsideChangeTest, public testing::WithParamInterface<AfterConflictCase> {};

TEST_P(AfterConflictTest, TheNextCommandShowsTheBarWithoutTheNotice)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    typeAtEnd(QStringLiteral(" ours"));
    otherProcessWrites([&](tl::RecordStore &other) { other.saveNote(0, file, QStringLiteral("one theirs")); });
    click(form->cmdNext);
    ASSERT_TRUE(info().contains(QStringLiteral(" - changed outside too"))) << info().toStdString();
    GetParam().act(*form);
    EXPECT_EQ(info(), QLatin1String(GetParam().info)) << info().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AfterConflictTest,
    testing::Values(AfterConflictCase{"Next", [](TForm1 &f) { clickOn(f.cmdNext); }, "Note 3 of 3 from Synced.nts"},
                    AfterConflictCase{"Back", [](TForm1 &f) { clickOn(f.cmdBack); }, "Note 1 of 3 from Synced.nts"},
                    AfterConflictCase{"Add", [](TForm1 &f) { clickOn(f.cmdNew); }, "Note 4 of 4 from Synced.nts"},
                    AfterConflictCase{"Delete", [](TForm1 &f) { clickOn(f.cmdDel); }, "Note 1 of 2 from Synced.nts"},
                    AfterConflictCase{"AltDigit",
                                      [](TForm1 &) {
                                          QTest::keyClick(QApplication::focusWidget(), Qt::Key_1, Qt::AltModifier);
                                      },
                                      "Note 1 of 3 from Synced.nts"}),
    [](const testing::TestParamInfo<AfterConflictCase> &i) { return std::string(i.param.name); });

// A step in a file that has become read-only stores nothing; the notice of
// the outside change goes with the step all the same.
TEST_F(OutsideChangeTest, ANoticeOfAReadOnlyFileGoesWithTheNextStep)
{
    startOn({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    otherSideHas({QStringLiteral("one theirs"), QStringLiteral("two"), QStringLiteral("three")});
    makeReadOnly(file);
    ASSERT_TRUE(waitFor([&] { return editorText() == QStringLiteral("one theirs"); })) << editorText().toStdString();
    ASSERT_TRUE(info().endsWith(QStringLiteral(" - changed outside"))) << info().toStdString();
    click(form->cmdNext);
    EXPECT_EQ(editorText(), QStringLiteral("two"));
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 3 from Synced.nts (read-only)")) << info().toStdString();
}

TEST_F(OutsideChangeTest, HidingTheWindowStoresAConflictAndSaysSoInTheInformationBar)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    typeAtEnd(QStringLiteral(" ours"));
    otherSideHas({QStringLiteral("one theirs"), QStringLiteral("two")});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one ours"), QStringLiteral("one theirs"), QStringLiteral("two")}));
    EXPECT_EQ(editorText(), QStringLiteral("one ours"));
    EXPECT_TRUE(info().startsWith(QStringLiteral("Note 1 of 3 from Synced.nts"))) << info().toStdString();
    EXPECT_TRUE(info().contains(QStringLiteral("the other as note 2"))) << info().toStdString();
}

TEST_F(OutsideChangeTest, NotesAddedAndRemovedOutsideWhileAStepRunsStay)
{
    startOn({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    click(form->cmdNext);
    typeAtEnd(QStringLiteral(" ours"));
    // Two notes put before it, "one" and "three" removed, one added at the end.
    otherSideHas({QStringLiteral("new a"), QStringLiteral("new b"), QStringLiteral("two"), QStringLiteral("new c")});
    click(form->cmdNext);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("new a"), QStringLiteral("new b"), QStringLiteral("two ours"),
                                          QStringLiteral("new c")}));
    EXPECT_EQ(editorText(), QStringLiteral("new c"));
    EXPECT_EQ(info(), QStringLiteral("Note 4 of 4 from Synced.nts"));
    EXPECT_FALSE(form->cmdNext->isEnabled());
    click(form->cmdBack);
    EXPECT_EQ(editorText(), QStringLiteral("two ours"));
}

TEST_F(OutsideChangeTest, TheNoteShownFollowsAnOutsideChangeAtOnceKeepingTheCaret)
{
    startOn({QStringLiteral("one two three"), QStringLiteral("second")});
    QTextCursor c = form->memo1->textCursor();
    c.setPosition(4);
    form->memo1->setTextCursor(c);
    otherSideHas({QStringLiteral("one 2 three four"), QStringLiteral("second"), QStringLiteral("added")});
    ASSERT_TRUE(waitFor([&] { return editorText() == QStringLiteral("one 2 three four"); })) << editorText().toStdString();
    EXPECT_EQ(form->memo1->textCursor().position(), 4);
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 3 from Synced.nts - changed outside"));
    EXPECT_TRUE(form->cmdNext->isEnabled());
    // Nothing was edited here: a step keeps the other side's text.
    click(form->cmdNext);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one 2 three four"), QStringLiteral("second"),
                                          QStringLiteral("added")}));
}

TEST_F(OutsideChangeTest, AnOutsideChangeInPlaceWithTheTimeSetBackIsSeen)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("beta")});
    QByteArray bytes = tltest::readFile(file);
    bytes.replace("alpha", "ALPHA");
    tltest::rewriteInPlaceKeepingTime(file, bytes);
    ASSERT_TRUE(waitFor([&] { return editorText() == QStringLiteral("ALPHA"); })) << editorText().toStdString();
}

TEST_F(OutsideChangeTest, AnEditedNoteIsNotReplacedByTheOutsideChange)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    typeAtEnd(QStringLiteral(" ours"));
    otherSideHas({QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two theirs")});
    ASSERT_TRUE(waitFor([&] { return info().endsWith(QStringLiteral(" - changed outside")); })) << info().toStdString();
    EXPECT_EQ(editorText(), QStringLiteral("one ours"));
    EXPECT_TRUE(info().startsWith(QStringLiteral("Note 1 of 3"))) << info().toStdString();
    click(form->cmdNext);
    // Ours was found one note on, where the other side moved it.
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("zero"), QStringLiteral("one ours"), QStringLiteral("two theirs")}));
    EXPECT_EQ(editorText(), QStringLiteral("two theirs"));
}

TEST_F(OutsideChangeTest, DeletingANoteChangedOutsideKeepsTheirVersion)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    set(tl::setting::AskDelNote, QStringLiteral("false"));
    otherSideHas({QStringLiteral("one theirs"), QStringLiteral("two")});
    click(form->cmdDel);  // before or after the window followed: theirs stays
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one theirs"), QStringLiteral("two")}));
    EXPECT_EQ(editorText(), QStringLiteral("one theirs"));
}

TEST_F(OutsideChangeTest, AFileDeletedOutsideKeepsTheTextAndOffersSaveAs)
{
    startOn({QStringLiteral("one"), QStringLiteral("two")});
    typeAtEnd(QStringLiteral(" ours"));
    const QString saved = path(QStringLiteral("Saved.nts"));
    dialogs->saveNames.push_back(saved);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(waitFor([&] { return !dialogs->boxes.empty(); }));
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("was deleted"))) << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::YesNo);
    EXPECT_EQ(editorText(), QStringLiteral("one ours"));
    // Yes went to Save As: the text reaches the new file at the next store.
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(form->CurrentFile(), saved);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(notesOf(saved), QStringList{QStringLiteral("one ours")});
}

TEST_F(OutsideChangeTest, AFileReplacedByAFolderIsToldAndTheTextStays)
{
    startOn({QStringLiteral("one")});
    dialogs->answers.push_back(tl::MsgResult::No);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir().mkdir(file));
    ASSERT_TRUE(waitFor([&] { return !dialogs->boxes.empty() && info().contains(QStringLiteral("deleted outside")); }))
        << info().toStdString();
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    // A step has nowhere to go and loses nothing.
    click(form->cmdNext);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    QDir().rmdir(file);
}

} // namespace
