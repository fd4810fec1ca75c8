// The main window's keys and clicks as a person gives them: keys go to the
// widget that has the keyboard focus, clicks land on a button's face, and
// the key preview is the one the program installs at start.

#include "notes/notesfixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextCursor>

namespace {

class KeyboardTest : public NotesFormTest {
protected:
    // Starts the program on file, as its command line would, and activates it.
    void startOn(const QString &file)
    {
        form->FormCreate({QStringLiteral("tessaleaf"), file});
        activate();
    }
    void activate()
    {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focused(), k, mods); }
    void keys(const QString &text) { QTest::keyClicks(focused(), text); }
    // A real dialog takes the focus while it is up; when it closes, the
    // window waits for the window manager to give it back.
    void dialogsTakeTheFocus()
    {
        dialogs->whileShown = [] { QApplication::setActiveWindow(nullptr); };
    }
    void showFindBar()
    {
        form->FindBar1Click();
        ASSERT_EQ(focused(), form->cbSeek);
    }
};

TEST_F(KeyboardTest, AtStartTheEditorHasTheFocus)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("first")}));
    EXPECT_EQ(focused(), form->memo1);
}

// A click on a tool or format button runs its command and leaves the typing
// in the editor: no button holds the focus for a later space to press it.
struct ButtonCase {
    const char *name;
    tl::FlatButton *TForm1::*button;
};

void PrintTo(const ButtonCase &c, std::ostream *os) { *os << c.name; }

class ToolButtonClickTest : public KeyboardTest, public testing::WithParamInterface<ButtonCase> {};

TEST_P(ToolButtonClickTest, LeavesTheKeyboardFocusInTheEditor)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one"), QStringLiteral("two")}));
    tl::FlatButton *b = form.get()->*GetParam().button;
    click(b);
    ASSERT_EQ(focused(), form->memo1);  // else the space below would press the button
    form->memo1->moveCursor(QTextCursor::End);
    const QString before = editorText();
    keys(QStringLiteral(" x"));
    EXPECT_EQ(editorText(), before + QStringLiteral(" x"));
    EXPECT_TRUE(dialogs->boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ToolButtonClickTest,
                         testing::Values(ButtonCase{"Add", &TForm1::cmdNew}, ButtonCase{"Next", &TForm1::cmdNext},
                                         ButtonCase{"Bold", &TForm1::cmdBold},
                                         ButtonCase{"Italic", &TForm1::cmdItalic},
                                         ButtonCase{"Underline", &TForm1::cmdUnder},
                                         ButtonCase{"AlignCenter", &TForm1::cmdACenter},
                                         ButtonCase{"AlignRight", &TForm1::cmdARight},
                                         ButtonCase{"Bullet", &TForm1::cmdBullet}),
                         [](const testing::TestParamInfo<ButtonCase> &i) { return std::string(i.param.name); });

TEST_F(KeyboardTest, TextTypedAfterAddGoesIntoTheNewNoteAndIsStoredByTheNextStep)
{
    const QString file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("first")});
    startOn(file);
    click(form->cmdNew);
    ASSERT_EQ(focused(), form->memo1);  // else the space would press the focused button
    keys(QStringLiteral("fresh text"));
    click(form->cmdBack);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("first"), QStringLiteral("fresh text")}));
    EXPECT_EQ(editorText(), QStringLiteral("first"));
}

TEST_F(KeyboardTest, TypingAfterSelectAllAndBoldReplacesTheTextInBold)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("plain")}));
    key(Qt::Key_A, Qt::ControlModifier);
    click(form->cmdBold);
    keys(QStringLiteral("Big"));
    EXPECT_EQ(editorText(), QStringLiteral("Big"));
    QTextCursor c(form->memo1->document());
    c.setPosition(2);
    EXPECT_GE(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(form->cmdBold->isChecked());
}

TEST_F(KeyboardTest, AButtonReachedWithTabRunsOnSpaceAndHandsTheTypingBack)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one")}));
    key(Qt::Key_A, Qt::ControlModifier);
    form->cmdBold->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focused(), form->cmdBold);
    key(Qt::Key_Space);
    EXPECT_TRUE(form->cmdBold->isChecked());
    EXPECT_EQ(focused(), form->memo1);
    keys(QStringLiteral("B"));
    EXPECT_EQ(editorText(), QStringLiteral("B"));
}

// Alt with a digit jumps (when the note exists) and Alt with anything types
// nothing, wherever the focus is.
struct AltCase {
    const char *name;
    Qt::Key key;
    bool fromFindBox;
    int note;  // shown afterwards
};

void PrintTo(const AltCase &c, std::ostream *os) { *os << c.name; }

class AltKeyTest : public KeyboardTest, public testing::WithParamInterface<AltCase> {};

TEST_P(AltKeyTest, JumpsOnlyAndTypesNothing)
{
    const AltCase &c = GetParam();
    const QStringList notes{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
    const QString file = notesFile(QStringLiteral("a.nts"), notes);
    startOn(file);
    if (c.fromFindBox)
        showFindBar();
    key(c.key, Qt::AltModifier);
    EXPECT_EQ(form->CurrentNote(), c.note);
    EXPECT_EQ(editorText(), notes[c.note]);
    EXPECT_EQ(form->cbSeek->currentText(), QString());
    form->StoreShownNote();
    EXPECT_EQ(notesOf(file), notes);
}

INSTANTIATE_TEST_SUITE_P(Keys, AltKeyTest,
                         testing::Values(AltCase{"Alt2", Qt::Key_2, false, 1}, AltCase{"Alt3", Qt::Key_3, false, 2},
                                         AltCase{"Alt4BeyondTheLastNote", Qt::Key_4, false, 0},
                                         AltCase{"Alt9", Qt::Key_9, false, 0},
                                         AltCase{"AltLetter", Qt::Key_Q, false, 0},
                                         AltCase{"Alt2FromTheFindBox", Qt::Key_2, true, 1},
                                         AltCase{"AltLetterFromTheFindBox", Qt::Key_Q, true, 0}),
                         [](const testing::TestParamInfo<AltCase> &i) { return std::string(i.param.name); });

TEST_F(KeyboardTest, AltKeysTypeNothingIntoADocument)
{
    const QString doc = tltest::writeFile(path(QStringLiteral("doc.txt")), "some text");
    startOn(doc);
    for (Qt::Key k : {Qt::Key_2, Qt::Key_1, Qt::Key_W})
        key(k, Qt::AltModifier);
    EXPECT_EQ(editorText(), QStringLiteral("some text"));
}

// Ctrl+O and Ctrl+S: one key press, one dialog, even when the dialog takes
// the focus away while it is up.
struct DialogKeyCase {
    const char *name;
    Qt::Key key;
    bool fromFindBox;
    size_t opens, saves;
};

void PrintTo(const DialogKeyCase &c, std::ostream *os) { *os << c.name; }

class DialogKeyTest : public KeyboardTest, public testing::WithParamInterface<DialogKeyCase> {};

TEST_P(DialogKeyTest, OpensOneDialogPerPress)
{
    const DialogKeyCase &c = GetParam();
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one")}));
    if (c.fromFindBox)
        showFindBar();
    dialogsTakeTheFocus();
    key(c.key, Qt::ControlModifier);
    EXPECT_EQ(dialogs->openRequests.size(), c.opens);
    EXPECT_EQ(dialogs->saveRequests.size(), c.saves);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    EXPECT_EQ(form->cbSeek->currentText(), QString());
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeyTest,
                         testing::Values(DialogKeyCase{"CtrlOInTheEditorJumpsInstead", Qt::Key_O, false, 0, 0},
                                         DialogKeyCase{"CtrlOInTheFindBox", Qt::Key_O, true, 1, 0},
                                         DialogKeyCase{"CtrlSInTheFindBox", Qt::Key_S, true, 0, 1},
                                         DialogKeyCase{"CtrlSInTheEditorDoesNothing", Qt::Key_S, false, 0, 0}),
                         [](const testing::TestParamInfo<DialogKeyCase> &i) { return std::string(i.param.name); });

// Keys a tool sends carry no time, and one event object may bring the next
// press as well: each press is previewed once, wherever in the focused
// control it is handed in.
struct RepeatCase {
    const char *name;
    bool firstToTheEditField;  // the find box's own edit field, inside the box
};

void PrintTo(const RepeatCase &c, std::ostream *os) { *os << c.name; }

class RepeatedKeyTest : public KeyboardTest, public testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatedKeyTest, EachPressOfTheSameEventIsPreviewed)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one")}));
    showFindBar();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier);
    press.setTimestamp(0);
    QApplication::sendEvent(GetParam().firstToTheEditField ? form->cbSeek->lineEdit() : focused(), &press);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    ASSERT_EQ(focused(), form->cbSeek);
    QApplication::sendEvent(focused(), &press);
    EXPECT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_EQ(form->cbSeek->currentText(), QString());
}

INSTANTIATE_TEST_SUITE_P(Keys, RepeatedKeyTest,
                         testing::Values(RepeatCase{"BothToTheFindBox", false},
                                         RepeatCase{"FirstToItsEditField", true}),
                         [](const testing::TestParamInfo<RepeatCase> &i) { return std::string(i.param.name); });

TEST_F(KeyboardTest, CtrlFTogglesTheFindBarOnceWithTheKeyPreviewInPlace)
{
    startOn(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one")}));
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_FALSE(form->panSearch->isHidden());
    EXPECT_EQ(focused(), form->cbSeek);
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form->panSearch->isHidden());
    EXPECT_EQ(focused(), form->memo1);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
}

} // namespace
