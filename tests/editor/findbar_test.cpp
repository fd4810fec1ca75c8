// The find bar on a real main window: the walk over small notes files, the
// buttons' states after each step, the list of found texts, the bar itself.

#include "editorfixture.h"

#include <QApplication>
#include <QTest>

namespace {

// One step of a search session and what it leaves: the note shown, the
// selection, and whether Find Back and Find Next are enabled.
struct Step {
    char op;  // 'F' Find, '>' Find Forward, '<' Find Back
    int note;
    int selStart;  // -1: nothing selected
    bool back;
    bool next;
};

struct Session {
    const char *name;
    std::vector<const char *> notes;
    const char *text;
    std::vector<Step> steps;
};

void PrintTo(const Session &s, std::ostream *os) { *os << s.name; }

class FindSessionTest : public EditorTest, public testing::WithParamInterface<Session> {};

TEST_P(FindSessionTest, EachStepShowsTheHitAndSetsTheButtons)
{
    const Session &s = GetParam();
    QStringList notes;
    for (const char *n : s.notes)
        notes << QString::fromUtf8(n);
    open(notesFile(QStringLiteral("find.nts"), notes));
    form->cbSeek->setEditText(QString::fromUtf8(s.text));
    const QString wanted = QString::fromUtf8(s.text);
    int k = 0;
    for (const Step &step : s.steps) {
        SCOPED_TRACE(testing::Message() << "step " << k++ << " '" << step.op << "'");
        switch (step.op) {
        case 'F': form->cmdSearch->click(); break;
        case '>': form->cmdSearchAgain->click(); break;
        case '<': form->cmdSearchBack->click(); break;
        }
        EXPECT_EQ(form->CurrentNote(), step.note);
        EXPECT_EQ(editorText(), notes.value(step.note));
        if (step.selStart < 0) {
            EXPECT_FALSE(form->memo1->textCursor().hasSelection());
        } else {
            EXPECT_EQ(selStart(), step.selStart);
            EXPECT_EQ(tl::find::asciiLower(selected()), tl::find::asciiLower(wanted));
        }
        EXPECT_EQ(form->cmdSearchBack->isEnabled(), step.back);
        EXPECT_EQ(form->cmdSearchAgain->isEnabled(), step.next);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, FindSessionTest,
    testing::Values(
        Session{"HitsInNotesTwoAndFive",
                {"nothing", "a word", "nothing", "nothing", "last word"},
                "word",
                {{'F', 1, 2, false, true}, {'>', 4, 5, true, true}, {'>', 4, 5, true, false}, {'<', 1, 2, true, true}}},
        Session{"OverlappingOccurrences",
                {"aaaa", "b aa"},
                "aa",
                {{'F', 0, 0, false, true}, {'>', 0, 1, true, true}, {'>', 0, 2, true, true}, {'>', 1, 2, true, true}}},
        Session{"CapitalAsciiMatchesSmall", {"x", "say Hello"}, "HELLO", {{'F', 1, 4, false, true}}},
        Session{"CyrillicCapitalDoesNotMatchSmall", {"привет"}, "ПРИВЕТ", {{'F', 0, -1, false, false}}},
        Session{"CyrillicMatchesItself", {"x", "и привет"}, "привет", {{'F', 1, 2, false, true}}},
        Session{"BackToTheFirstHitOfTheFirstNoteDisablesBack",
                {"word word"},
                "word",
                {{'F', 0, 0, false, true}, {'>', 0, 5, true, true}, {'<', 0, 0, false, true}}},
        Session{"BackFromTheFirstHitWhenTheFirstNoteHasNoneFindsItAgain",
                {"x", "word"},
                "word",
                {{'F', 1, 0, false, true}, {'>', 1, 0, true, false}, {'<', 1, 0, true, true}}},
        Session{"FindAlwaysBeginsAtTheFirstNote",
                {"word", "x", "word"},
                "word",
                {{'F', 0, 0, false, true}, {'>', 2, 0, true, true}, {'F', 0, 0, true, true}}}),
    [](const testing::TestParamInfo<Session> &i) { return std::string(i.param.name); });

TEST_F(EditorTest, AHitInTheNoteShownKeepsTheEditorsText)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one word"), QStringLiteral("two")}));
    type(QStringLiteral(" typed"));  // not saved
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    EXPECT_EQ(editorText(), QStringLiteral("one word typed"));
    EXPECT_EQ(selStart(), 4);
    EXPECT_EQ(selected(), QStringLiteral("word"));
}

TEST_F(EditorTest, NotesAreSearchedAsStoredAndEditsAreKeptWhenAnotherNoteIsShown)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one"), QStringLiteral("two word")}));
    type(QStringLiteral(" word"));  // in the editor only: the walk reads the file
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    EXPECT_EQ(form->CurrentNote(), 1);
    EXPECT_EQ(selStart(), 4);
    EXPECT_EQ(notesOf(path(QStringLiteral("a.nts"))).value(0), QStringLiteral("one word"));
}

TEST_F(EditorTest, ADocumentIsSearchedWithItsUnsavedEdits)
{
    const QString doc = tltest::writeFile(path(QStringLiteral("doc.txt")), "first line\nsecond");
    open(doc);
    type(QStringLiteral(" needle"));
    form->cbSeek->setEditText(QStringLiteral("NEEDLE"));
    form->cmdSearch->click();
    EXPECT_EQ(selStart(), 18);
    EXPECT_EQ(selected(), QStringLiteral("needle"));
    EXPECT_EQ(tltest::readFile(doc), QByteArray("first line\nsecond"));
}

TEST_F(EditorTest, EverySuccessfulFindListsTheTextAgain)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("word")}));
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    form->cmdSearch->click();
    form->cbSeek->setEditText(QStringLiteral("absent"));
    form->cmdSearch->click();
    ASSERT_EQ(form->cbSeek->count(), 2);
    EXPECT_EQ(form->cbSeek->itemText(0), QStringLiteral("word"));
    EXPECT_EQ(form->cbSeek->itemText(1), QStringLiteral("word"));
    EXPECT_EQ(form->cbSeek->currentText(), QStringLiteral("absent"));
}

TEST_F(EditorTest, EditingTheSearchTextDisablesBothStepButtons)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("word word word")}));
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    form->cmdSearchAgain->click();
    ASSERT_TRUE(form->cmdSearchBack->isEnabled());
    ASSERT_TRUE(form->cmdSearchAgain->isEnabled());
    QTest::keyClick(form->cbSeek->lineEdit(), Qt::Key_S);
    EXPECT_FALSE(form->cmdSearchBack->isEnabled());
    EXPECT_FALSE(form->cmdSearchAgain->isEnabled());
    // Enter is Find: the next hit enables Find Next again, not Find Back.
    QTest::keyClick(form->cbSeek->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(form->cbSeek->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(selStart(), 0);
    EXPECT_TRUE(form->cmdSearchAgain->isEnabled());
    EXPECT_FALSE(form->cmdSearchBack->isEnabled());
}

TEST_F(EditorTest, FindForwardAfterNotesWereAddedReachesTheNewNotes)
{
    const QString file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("word"), QStringLiteral("x")});
    open(file);
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    tl::RecordStore store;
    for (int i = 2; i < 6; ++i)
        store.saveNote(i, file, i == 5 ? QStringLiteral("new word") : QStringLiteral("y"));
    form->cmdSearchAgain->click();
    EXPECT_EQ(form->CurrentNote(), 5);
    EXPECT_EQ(selStart(), 4);
    form->cmdSearchAgain->click();
    EXPECT_FALSE(form->cmdSearchAgain->isEnabled());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EditorTest, FindForwardAfterNotesWereRemovedStaysInRange)
{
    const QString file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("word")});
    open(file);
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    ASSERT_EQ(form->CurrentNote(), 2);
    tl::RecordStore store;
    store.removeNote(0, file);
    store.removeNote(0, file);
    form->cmdSearchBack->setEnabled(true);
    form->cmdSearchBackClick();
    form->cmdSearchAgainClick();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EditorTest, WithoutAFileOrTextFindDoesNothing)
{
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->memo1->setContentText(QStringLiteral("word"));
    form->cmdSearch->click();
    EXPECT_EQ(form->cbSeek->count(), 0);
    EXPECT_FALSE(form->cmdSearchAgain->isEnabled());
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("word")}));
    form->cbSeek->setEditText(QString());
    form->cmdSearch->click();
    form->cmdSearchAgainClick();
    form->cmdSearchBackClick();
    EXPECT_EQ(form->memo1->textCursor().hasSelection(), false);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(EditorTest, TheHitsLineBecomesTheFirstLineShown)
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("line %1\n").arg(i);
    text += QStringLiteral("the word\n");
    for (int i = 0; i < 50; ++i)
        text += QStringLiteral("more\n");
    open(notesFile(QStringLiteral("a.nts"), {text}));
    form->resize(300, 300);
    form->show();
    form->cbSeek->setEditText(QStringLiteral("word"));
    form->cmdSearch->click();
    EXPECT_EQ(selected(), QStringLiteral("word"));
    EXPECT_EQ(form->memo1->firstVisibleLine(), 200);
    EXPECT_EQ(form->memo1->caretLine(), 200);
}

TEST_F(EditorTest, ShowingTheBarFocusesTheSearchBoxAndHidingGivesItBack)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    form->memo1->setFocus();
    form->FindBar1Click();
    EXPECT_FALSE(form->panSearch->isHidden());
    EXPECT_EQ(form->FindBar1->text().trimmed(), QStringLiteral("Hide Find Bar"));
    EXPECT_TRUE(form->cbSeek->isAncestorOf(form->focusWidget()) || form->focusWidget() == form->cbSeek);
    const int withBar = form->Panel2->height();
    form->FindBar1Click();
    EXPECT_TRUE(form->panSearch->isHidden());
    EXPECT_EQ(form->FindBar1->text().trimmed(), QStringLiteral("Show Find Bar"));
    EXPECT_EQ(form->focusWidget(), form->memo1);
    EXPECT_EQ(form->Panel2->height(), withBar + form->panSearch->height());
}

TEST_F(EditorTest, TheSearchLabelReadsWholeBesideTheBox)
{
    form->show();
    for (const char *text : {"Look for:", "Suchen nach:"}) {
        form->lblSearch->setText(QString::fromUtf8(text));
        form->FindBar1Click();  // shown
        ASSERT_FALSE(form->panSearch->isHidden());
        EXPECT_GE(form->lblSearch->width(), form->lblSearch->sizeHint().width()) << text;
        EXPECT_GT(form->cbSeek->x(), form->lblSearch->geometry().right()) << text;
        EXPECT_LT(form->cbSeek->geometry().right(), form->cmdSearch->x()) << text;
        form->FindBar1Click();  // hidden again
    }
}

TEST_F(EditorTest, CtrlFTogglesTheBarOnceFromTheEditorAndFromTheSearchBox)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->memo1->setFocus();
    QTest::keyClick(form->memo1, Qt::Key_F, Qt::ControlModifier);
    ASSERT_FALSE(form->panSearch->isHidden());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form->panSearch->isHidden());
}

// Enter in the search box, as the keyboard delivers it (to the widget that
// has the focus): the hit's note is shown with the hit selected, and the
// next keys go into the editor.
struct EnterCase {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
};

void PrintTo(const EnterCase &c, std::ostream *os) { *os << c.name; }

class FindBoxEnterTest : public EditorTest, public testing::WithParamInterface<EnterCase> {};

TEST_P(FindBoxEnterTest, FindsAndHandsTheTypingToTheEditor)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("nothing"), QStringLiteral("a needle here")}));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->FindBar1Click();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("needle"));
    QTest::keyClick(QApplication::focusWidget(), GetParam().key, GetParam().mods);
    EXPECT_EQ(form->CurrentNote(), 1);
    EXPECT_EQ(selected(), QStringLiteral("needle"));
    EXPECT_EQ(QApplication::focusWidget(), form->memo1);
    EXPECT_EQ(form->cbSeek->count(), 1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pin"));
    EXPECT_EQ(editorText(), QStringLiteral("a pin here"));
    EXPECT_EQ(form->cbSeek->currentText(), QStringLiteral("needle"));
}

INSTANTIATE_TEST_SUITE_P(Keys, FindBoxEnterTest,
                         testing::Values(EnterCase{"Return", Qt::Key_Return, Qt::NoModifier},
                                         EnterCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier}),
                         [](const testing::TestParamInfo<EnterCase> &i) { return std::string(i.param.name); });

TEST_F(EditorTest, EnterWithoutAHitListsNothingAndKeepsTheSearchBox)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("one")}));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->FindBar1Click();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("absent"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(form->cbSeek->count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), form->cbSeek);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
}

TEST_F(EditorTest, F3AndF2StepOnlyWhileTheirButtonsAreEnabled)
{
    open(notesFile(QStringLiteral("a.nts"), {QStringLiteral("word word")}));
    form->cbSeek->setEditText(QStringLiteral("word"));
    QKeyEvent f3(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    form->FormKeyDown(&f3);
    EXPECT_FALSE(form->memo1->textCursor().hasSelection());
    form->cmdSearch->click();
    form->FormKeyDown(&f3);
    EXPECT_EQ(selStart(), 5);
    form->FormKeyDown(&f2);
    EXPECT_EQ(selStart(), 0);
    EXPECT_FALSE(form->cmdSearchBack->isEnabled());
    form->FormKeyDown(&f2);
    EXPECT_EQ(selStart(), 0);
}

} // namespace
