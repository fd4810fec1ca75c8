// Jump to note as a person uses it: Ctrl+O in the editor, a number typed
// into the popup, Return; the main window shows that note.

#include "notes/notesfixture.h"

#include "controls/flatbutton.h"
#include "notes/TfrmSeek.h"

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

namespace {

class JumpTest : public NotesFormTest {
protected:
    // Starts the program on a notes file of count notes "note 1" .. "note count".
    void startOnNotes(int count)
    {
        QStringList notes;
        for (int i = 1; i <= count; ++i)
            notes << QStringLiteral("note %1").arg(i);
        file = notesFile(QStringLiteral("Diary.nts"), notes);
        startOn(file);
    }
    void startOn(const QString &f)
    {
        form->FormCreate({ QStringLiteral("tessaleaf"), f });
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_EQ(focused(), form->memo1);
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focused(), k, mods); }
    TfrmSeek &seek() { return form->seekPopup(); }
    // Ctrl+O in the editor, then the popup has the typing.
    void openJump()
    {
        key(Qt::Key_O, Qt::ControlModifier);
        ASSERT_TRUE(seek().isVisible());
        // The window manager gives the new window the keyboard.
        QApplication::setActiveWindow(&seek());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&seek()));
        ASSERT_EQ(focused(), seek().txtNumber) << (focused() ? focused()->objectName().toStdString() : "none");
    }
    // When the popup closes, the window manager gives the keyboard back.
    void backToTheWindow()
    {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void typeNumber(const QString &text)
    {
        QTest::keyClicks(focused(), text);
        key(Qt::Key_Return);
    }

    QString file;
};

struct JumpCase {
    const char *name;
    int notes;
    const char *typed;
    int shown;  // 1-based note shown after Return; 0: a message instead
    const char *message;  // for shown == 0
};

void PrintTo(const JumpCase &c, std::ostream *os) { *os << c.name; }

class JumpCaseTest : public JumpTest, public testing::WithParamInterface<JumpCase> {};

TEST_P(JumpCaseTest, ShowsTheNoteOrSaysWhyNot)
{
    const JumpCase &c = GetParam();
    startOnNotes(c.notes);
    openJump();
    typeNumber(QString::fromUtf8(c.typed));
    if (c.shown > 0) {
        EXPECT_TRUE(dialogs->boxes.empty());
        EXPECT_FALSE(seek().isVisible());
        EXPECT_EQ(editorText(), QStringLiteral("note %1").arg(c.shown));
        EXPECT_EQ(form->CurrentNote(), c.shown - 1);
        EXPECT_EQ(info(), QStringLiteral("Note %1 of %2 from Diary.nts").arg(c.shown).arg(c.notes));
        EXPECT_EQ(form->cmdNext->isEnabled(), c.shown < c.notes);
        EXPECT_EQ(form->cmdBack->isEnabled(), c.shown > 1);
        EXPECT_EQ(form->memo1->textCursor().position(), 0);
        return;
    }
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Result search"));
    EXPECT_EQ(dialogs->boxes[0].text, QString::fromUtf8(c.message));
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::Ok);
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::None);
    // The popup stays with its text for another try.
    EXPECT_TRUE(seek().isVisible());
    EXPECT_EQ(seek().txtNumber->text(), QString::fromUtf8(c.typed));
    EXPECT_EQ(editorText(), QStringLiteral("note 1"));
    EXPECT_EQ(form->CurrentNote(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, JumpCaseTest,
    testing::Values(JumpCase{"FiveOfFive", 5, "5", 5, ""}, JumpCase{"LeadingZeros", 8, "007", 7, ""},
        JumpCase{"SixOfFive", 5, "6", 0, "The note is not exists!"},
        JumpCase{"Zero", 5, "0", 0, "The note is not exists!"},
        JumpCase{"LeadingSpace", 5, " 3", 0, "Please enter correct number!"},
        JumpCase{"Nothing", 5, "", 0, "Please enter correct number!"}),
    [](const testing::TestParamInfo<JumpCase> &i) { return std::string(i.param.name); });

TEST_F(JumpTest, AfterAMessageASecondTryJumps)
{
    startOnNotes(3);
    openJump();
    typeNumber(QStringLiteral("9"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    ASSERT_EQ(focused(), seek().txtNumber);
    seek().txtNumber->selectAll();
    typeNumber(QStringLiteral("2"));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(editorText(), QStringLiteral("note 2"));
    EXPECT_FALSE(seek().isVisible());
}

TEST_F(JumpTest, TypingAfterTheJumpLandsInThatNoteAndTheEditBeforeIsKept)
{
    startOnNotes(3);
    form->memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(focused(), QStringLiteral(" edited"));
    openJump();
    typeNumber(QStringLiteral("3"));
    ASSERT_FALSE(seek().isVisible());
    backToTheWindow();
    ASSERT_EQ(focused(), form->memo1);
    QTest::keyClicks(focused(), QStringLiteral("typed "));
    form->StoreShownNote();
    EXPECT_EQ(notesOf(file),
        QStringList({ QStringLiteral("note 1 edited"), QStringLiteral("note 2"), QStringLiteral("typed note 3") }));
}

TEST_F(JumpTest, EachCtrlOClearsTheNumberAndTheCloseButtonAndEscJumpNowhere)
{
    startOnNotes(3);
    openJump();
    QTest::keyClicks(focused(), QStringLiteral("2"));
    QTest::mouseClick(seek().cmdClose, Qt::LeftButton, {}, seek().cmdClose->rect().center());
    EXPECT_FALSE(seek().isVisible());
    EXPECT_EQ(editorText(), QStringLiteral("note 1"));
    backToTheWindow();
    openJump();
    EXPECT_EQ(seek().txtNumber->text(), QString());
    QTest::keyClicks(focused(), QStringLiteral("3"));
    key(Qt::Key_Escape);
    EXPECT_FALSE(seek().isVisible());
    EXPECT_EQ(editorText(), QStringLiteral("note 1"));
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(JumpTest, TheJumpButtonJumpsAndTheTypingStaysInTheBox)
{
    startOnNotes(4);
    openJump();
    QTest::keyClicks(focused(), QStringLiteral("x"));
    QTest::mouseClick(seek().cmdGoNumber, Qt::LeftButton, {}, seek().cmdGoNumber->rect().center());
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(focused(), seek().txtNumber);
    key(Qt::Key_Backspace);
    QTest::keyClicks(focused(), QStringLiteral("4"));
    QTest::mouseClick(seek().cmdGoNumber, Qt::LeftButton, {}, seek().cmdGoNumber->rect().center());
    EXPECT_EQ(editorText(), QStringLiteral("note 4"));
}

TEST_F(JumpTest, ADocumentHasNoNotesToJumpTo)
{
    startOn(tltest::writeFile(path(QStringLiteral("doc.txt")), "some text"));
    key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(seek().isVisible());
    EXPECT_TRUE(dialogs->openRequests.empty());  // nor is it Open
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(editorText(), QStringLiteral("some text"));
    form->Jumptonote1->trigger();
    EXPECT_FALSE(seek().isVisible());
}

TEST_F(JumpTest, TheMenuItemOpensThePopupCentredOnTheWindow)
{
    startOnNotes(2);
    form->Jumptonote1->trigger();
    ASSERT_TRUE(seek().isVisible());
    EXPECT_EQ(seek().size(), QSize(206, 45));
    EXPECT_TRUE(seek().isModal());
    EXPECT_LE((seek().frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 2);
    seek().cmdCloseClick();
}

struct TopCase {
    const char *name;
    bool alwaysOnTop;
};

void PrintTo(const TopCase &c, std::ostream *os) { *os << c.name; }

class JumpTopTest : public JumpTest, public testing::WithParamInterface<TopCase> {};

TEST_P(JumpTopTest, ThePopupTakesTheTopAndHandsItBackAsAlwaysOnTopSays)
{
    startOnNotes(3);
    if (form->Sta1->isChecked() != GetParam().alwaysOnTop)
        form->Sta1->trigger();
    ASSERT_EQ(form->isOnTop(), GetParam().alwaysOnTop);
    openJump();
    EXPECT_FALSE(form->isOnTop());
    typeNumber(QStringLiteral("2"));
    EXPECT_FALSE(seek().isVisible());
    EXPECT_EQ(form->isOnTop(), GetParam().alwaysOnTop);
}

INSTANTIATE_TEST_SUITE_P(States, JumpTopTest,
    testing::Values(TopCase{"AlwaysOnTop", true}, TopCase{"NotOnTop", false}),
    [](const testing::TestParamInfo<TopCase> &i) { return std::string(i.param.name); });

TEST_F(JumpTest, ThePopupIsDraggedByItsTitle)
{
    startOnNotes(2);
    openJump();
    QWidget *title = seek().imgHead;
    const QPoint start = seek().pos();
    auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        const QPoint global = title->mapToGlobal(local);
        QMouseEvent e(type, QPointF(local), QPointF(global), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(title, &e);
    };
    // Points in the title's own coordinates, which move with the window.
    send(QEvent::MouseButtonPress, QPoint(60, 5), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(70, 10), Qt::LeftButton);
    EXPECT_EQ(seek().pos(), start + QPoint(10, 5));
    // The title moved along: 5 to the right of the press point is 5 more.
    send(QEvent::MouseButtonRelease, QPoint(65, 5), Qt::NoButton);
    EXPECT_EQ(seek().pos(), start + QPoint(15, 5));
    send(QEvent::MouseMove, QPoint(100, 10), Qt::NoButton);
    EXPECT_EQ(seek().pos(), start + QPoint(15, 5));
    seek().cmdCloseClick();
}

} // namespace
