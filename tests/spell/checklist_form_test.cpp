// Checklists in the main window: the button and the menu item, a click on
// a box, the key, and what the notes file then holds.

#include "spellformfixture.h"

#include "spell/checklist.h"

namespace {

const QString openBox = QString(QChar(tl::checklist::Open)) + QLatin1Char(' ');
const QString ticked = QString(QChar(tl::checklist::Ticked)) + QLatin1Char(' ');

class ChecklistFormTest : public SpellFormTest {
protected:
    void SetUp() override
    {
        SpellFormTest::SetUp();
        file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("milk\nbread\neggs")});
        open(file);
    }
    QString stored()
    {
        form->StoreShownNote();
        return notesOf(file).value(0);
    }
    QString file;
};

TEST_F(ChecklistFormTest, TheButtonBoxesTheSelectedParagraphsAndTakesTheBoxesAway)
{
    select(1, 7);
    QTest::mouseClick(form->cmdChecklist, Qt::LeftButton);
    EXPECT_EQ(stored(), openBox + "milk\n" + openBox + "bread\neggs");
    EXPECT_EQ(QApplication::focusWidget(), form->memo1);
    form->Checklist1->trigger();
    EXPECT_EQ(stored(), QStringLiteral("milk\nbread\neggs"));
    EXPECT_FALSE(form->cmdChecklist->accessibleName().isEmpty());
}

TEST_F(ChecklistFormTest, AClickOnTheBoxTicksItAndAnotherOpensIt)
{
    select(0, 0);
    form->Checklist1->trigger();
    select(8, 8);
    QTest::mouseClick(form->memo1->viewport(), Qt::LeftButton, {}, pointAt(0));
    EXPECT_EQ(stored(), ticked + "milk\nbread\neggs");
    QTest::mouseClick(form->memo1->viewport(), Qt::LeftButton, {}, pointAt(0));
    EXPECT_EQ(stored(), openBox + "milk\nbread\neggs");
    // A click on the text beside the box only places the caret.
    QTest::mouseClick(form->memo1->viewport(), Qt::LeftButton, {}, pointAt(4));
    EXPECT_EQ(stored(), openBox + "milk\nbread\neggs");
}

TEST_F(ChecklistFormTest, CtrlTTicksTheBoxOfTheCaretsParagraph)
{
    select(6, 9);
    form->Checklist1->trigger();  // "milk" stays plain, "bread" gets a box
    select(10, 10);
    form->memo1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(stored(), QStringLiteral("milk\n") + ticked + "bread\neggs");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(stored(), QStringLiteral("milk\n") + openBox + "bread\neggs");
    select(1, 1);  // a paragraph without a box: nothing
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(stored(), QStringLiteral("milk\n") + openBox + "bread\neggs");
}

TEST_F(ChecklistFormTest, TheBoxesAreStoredAsTheirCharactersAndFindSeesTheText)
{
    select(0, 0);
    form->Checklist1->trigger();
    form->StoreShownNote();
    const QString rtf = tl::RecordStore().loadNote(0, file);
    EXPECT_TRUE(rtf.contains(QLatin1String("\\u9744"))) << qPrintable(rtf);
    EXPECT_EQ(form->SearchString(QStringLiteral("milk"), 0), 3);
}

TEST_F(ChecklistFormTest, ABrowsedNoteIsNotChanged)
{
    form->memo1->setReadOnly(true);
    select(0, 0);
    form->Checklist1->trigger();
    EXPECT_EQ(editorText(), QStringLiteral("milk\nbread\neggs"));
}

} // namespace
