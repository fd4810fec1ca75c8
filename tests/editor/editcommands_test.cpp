// The format column, the editor's menu and keys, and the font popup on a
// real main window.

#include "editorfixture.h"

#include "app/application.h"
#include "platform/paths.h"
#include "platform/qtservices.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

TEST_F(EditorTest, APartlyBoldSelectionShowsWhatTheEditorReportsAndTheClickSetsItAll)
{
    content(QStringLiteral("abcdef"), 0, 3);
    form->memo1->setSelectionBold(true);
    select(0, 6);
    EXPECT_EQ(form->cmdBold->isChecked(), form->memo1->selectionCharFormat().bold);
    for (int round = 0; round < 2; ++round) {
        form->cmdBold->click();
        const bool down = form->cmdBold->isChecked();
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(formatAt(i).fontWeight() >= QFont::Bold, down) << "character " << i;
    }
}

// A style button against the selection: the click follows the button's new
// state, and the selection's state comes back to the button.
struct StyleCase {
    const char *name;
    tl::FlatButton *TForm1::*button;
    bool (*has)(const QTextCharFormat &);
};

class StyleButtonTest : public EditorTest, public testing::WithParamInterface<StyleCase> {};

TEST_P(StyleButtonTest, SetsAndClearsItsStyleOnly)
{
    const StyleCase &c = GetParam();
    tl::FlatButton *b = form.get()->*c.button;
    content(QStringLiteral("one two"), 0, 3);
    form->memo1->setSelectionItalic(c.button != &TForm1::cmdItalic);  // another style that must stay
    select(0, 3);
    ASSERT_FALSE(b->isChecked());
    b->click();
    EXPECT_TRUE(c.has(formatAt(1)));
    EXPECT_FALSE(c.has(formatAt(5)));
    select(4, 5);
    EXPECT_FALSE(b->isChecked());
    select(0, 2);
    EXPECT_TRUE(b->isChecked());
    b->click();
    EXPECT_FALSE(c.has(formatAt(0)));
    EXPECT_TRUE(c.has(formatAt(2)));
    if (c.button != &TForm1::cmdItalic) {
        EXPECT_TRUE(formatAt(0).fontItalic());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, StyleButtonTest,
    testing::Values(StyleCase{"Bold", &TForm1::cmdBold, [](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }},
                    StyleCase{"Italic", &TForm1::cmdItalic, [](const QTextCharFormat &f) { return f.fontItalic(); }},
                    StyleCase{"Underline", &TForm1::cmdUnder,
                              [](const QTextCharFormat &f) { return f.fontUnderline(); }}),
    [](const testing::TestParamInfo<StyleCase> &i) { return std::string(i.param.name); });

TEST_F(EditorTest, ThePressedAlignLeftRaisedByAClickKeepsTheParagraphLeft)
{
    content(QStringLiteral("para"));
    ASSERT_TRUE(form->cmdALeft->isChecked());
    form->cmdALeft->click();
    EXPECT_FALSE(form->cmdALeft->isChecked());
    EXPECT_TRUE(form->memo1->paragraphAlignment() & Qt::AlignLeft);
}

TEST_F(EditorTest, AlignmentButtonsAreOneGroupThatFollowsTheParagraph)
{
    content(QStringLiteral("first\nsecond"));
    form->cmdACenter->click();
    EXPECT_TRUE(form->memo1->paragraphAlignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form->cmdACenter->isChecked());
    EXPECT_FALSE(form->cmdALeft->isChecked());
    form->cmdARight->click();
    EXPECT_TRUE(form->memo1->paragraphAlignment() & Qt::AlignRight);
    EXPECT_FALSE(form->cmdACenter->isChecked());
    select(8, 8);  // the second paragraph, still left
    EXPECT_TRUE(form->cmdALeft->isChecked());
    EXPECT_FALSE(form->cmdARight->isChecked());
    select(1, 1);
    EXPECT_TRUE(form->cmdARight->isChecked());
    EXPECT_FALSE(form->cmdALeft->isChecked());
}

TEST_F(EditorTest, WhileTheButtonsFollowTheSelectionAClickChangesNothing)
{
    content(QStringLiteral("para"));
    form->SelectionSync = true;
    form->cmdACenter->click();
    form->cmdBullet->click();
    form->SelectionSync = false;
    EXPECT_FALSE(form->memo1->paragraphAlignment() & Qt::AlignHCenter);
    EXPECT_FALSE(form->memo1->paragraphBullet());
    form->memo1SelectionChange();
    EXPECT_FALSE(form->SelectionSync);
}

TEST_F(EditorTest, BulletsGoOnAndOff)
{
    content(QStringLiteral("item"));
    form->cmdBullet->click();
    EXPECT_TRUE(form->memo1->paragraphBullet());
    EXPECT_TRUE(form->cmdBullet->isChecked());
    form->cmdBullet->click();
    EXPECT_FALSE(form->memo1->paragraphBullet());
    EXPECT_FALSE(form->cmdBullet->isChecked());
}

TEST_F(EditorTest, TheColourDialogColoursTheSelectionUnlessCancelled)
{
    content(QStringLiteral("red and not"), 0, 3);
    dialogs->nextColor = QColor(200, 10, 20);
    form->cmdSelectColor->click();
    EXPECT_EQ(formatAt(1).foreground().color(), QColor(200, 10, 20));
    select(4, 7);
    dialogs->nextColor.reset();
    form->cmdSelectColor->click();
    EXPECT_NE(formatAt(5).foreground().color(), QColor(200, 10, 20));
}

TEST_F(EditorTest, PastedFormattedTextArrivesPlainInTheCaretsFormat)
{
    content(QStringLiteral("ab"), 1, 1);
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b style=\"color:#ff0000\">BIG</b>"));
    mime->setText(QStringLiteral("BIG"));
    QApplication::clipboard()->setMimeData(mime);
    form->Paste1Click();
    EXPECT_EQ(editorText(), QStringLiteral("aBIGb"));
    for (int i = 1; i < 4; ++i) {
        EXPECT_LT(formatAt(i).fontWeight(), QFont::Bold);
        EXPECT_EQ(formatAt(i).foreground(), formatAt(0).foreground());
    }
}

TEST_F(EditorTest, TheEditorsMenuHoldsItsItemsInOrder)
{
    QStringList shown;
    for (QAction *a : form->mnuMemo->actions())
        shown << (a->isSeparator() ? QStringLiteral("-") : a->isVisible() ? a->text().trimmed() : QStringLiteral("(hidden)"))
                     + (a->shortcut().isEmpty() ? QString() : QLatin1Char(' ') + a->shortcut().toString());
    EXPECT_EQ(shown, QStringList({"Undo Ctrl+Z", "-", "Cut Ctrl+X", "Copy Ctrl+C", "Paste Ctrl+V", "-", "Options", "-",
                                  "Select All Ctrl+A", "Show Find Bar Ctrl+F", "Print Ctrl+P", "(hidden) Ctrl+S",
                                  "Jump to note... Ctrl+O", "File Properties... Alt+Return", "-", "Checklist",
                                  "Tick Box Ctrl+T", "Check Spelling", "Spelling Language"}));
    for (QAction *a : form->Sendtoemail1->actions())
        EXPECT_FALSE(a->isVisible());
}

TEST_F(EditorTest, ARightPressInTheEditorOpensItsMenuBesideThePress)
{
    form->move(40, 30);
    form->resize(300, 300);
    form->show();
    content(QStringLiteral("text"));
    QTest::mousePress(form->memo1->viewport(), Qt::RightButton, {}, QPoint(20, 15));
    ASSERT_TRUE(form->mnuMemo->isVisible());
    const QPoint inEditor = form->memo1->viewport()->mapTo(form->memo1, QPoint(20, 15));
    EXPECT_EQ(form->mnuMemo->pos(), QPoint(inEditor.x() + form->x() + 10, inEditor.y() + form->y() + 40));
    form->mnuMemo->hide();
    QTest::mousePress(form->memo1->viewport(), Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_FALSE(form->mnuMemo->isVisible());
}

TEST_F(EditorTest, AClickOnALinkTheNoteHoldsOpensItThroughTheShell)
{
    auto &shell = *static_cast<tltest::FakeShell *>(form->services().shell.get());
    form->resize(300, 300);
    form->show();
    content(QStringLiteral("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a?b=1\"}}"
                           "{\\fldrslt{\\ul the link}}} end}"));
    auto pointAt = [&](int position) {
        QTextCursor c(form->memo1->document());
        c.setPosition(position);
        return form->memo1->cursorRect(c).center() + QPoint(2, 0);
    };
    QTest::mouseClick(form->memo1->viewport(), Qt::LeftButton, {}, pointAt(1));
    EXPECT_TRUE(shell.opened.empty());
    QTest::mouseClick(form->memo1->viewport(), Qt::LeftButton, {}, pointAt(6));
    EXPECT_EQ(shell.opened, std::vector<QUrl>{QUrl(QStringLiteral("https://example.org/a?b=1"))});
}

struct SoundCase {
    const char *name;
    const char *setting;
    int key;
    const char *played;  // "" for silence
};

class KeySoundUiTest : public EditorTest, public testing::WithParamInterface<SoundCase> {};

TEST_P(KeySoundUiTest, PlaysFromTheProgramFolderOnlyWhenSwitchedOnExactly)
{
    const SoundCase &c = GetParam();
    set(tl::setting::EnableSound, QString::fromLatin1(c.setting));
    QTest::keyClick(form->memo1, Qt::Key(c.key));
    const QStringList expected = *c.played ? QStringList{tl::paths::programFolder() + QLatin1Char('/') + QLatin1String(c.played)}
                                           : QStringList{};
    EXPECT_EQ(sound().played, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeySoundUiTest,
    testing::Values(SoundCase{"Letter", "true", Qt::Key_A, "sound/type.wav"},
                    SoundCase{"Backspace", "true", Qt::Key_Backspace, "sound/back.wav"},
                    SoundCase{"Enter", "true", Qt::Key_Return, "sound/bell.wav"},
                    SoundCase{"ArrowUp", "true", Qt::Key_Up, "sound/type.wav"},
                    SoundCase{"ArrowDown", "true", Qt::Key_Down, "sound/type.wav"},
                    SoundCase{"ArrowLeftIsSilent", "true", Qt::Key_Left, ""},
                    SoundCase{"CapitalTrueIsOff", "True", Qt::Key_A, ""},
                    SoundCase{"OffByDefault", "", Qt::Key_A, ""}),
    [](const testing::TestParamInfo<SoundCase> &i) { return std::string(i.param.name); });

TEST_F(EditorTest, TheShippedSoundsLieInTheBuildTreesSoundFolder)
{
    for (const char *name : {"type.wav", "back.wav", "bell.wav"}) {
        const QByteArray wav = tltest::readFile(QStringLiteral(TL_BUILD_DIR "/sound/") + QLatin1String(name));
        ASSERT_GT(wav.size(), 44) << name;
        EXPECT_EQ(wav.left(4), QByteArray("RIFF")) << name;
        EXPECT_EQ(wav.mid(8, 4), QByteArray("WAVE")) << name;
    }
}

TEST_F(EditorTest, TheFontPopupAppliesEverySizeTypedAtOnce)
{
    content(QStringLiteral("some text"), 0, 4);
    TfrmFont &f = form->fontPopup();
    f.show();
    EXPECT_EQ(f.size(), QSize(252, 38));
    EXPECT_EQ(f.cbSize->currentText(), QString::number(qRound(form->memo1->selectionCharFormat().pointSize)));
    f.cbSize->lineEdit()->clear();
    errors.clear();
    QTest::keyClick(f.cbSize->lineEdit(), Qt::Key_1);
    EXPECT_EQ(formatAt(1).fontPointSize(), 1);
    QTest::keyClick(f.cbSize->lineEdit(), Qt::Key_2);
    EXPECT_EQ(formatAt(1).fontPointSize(), 12);
    EXPECT_EQ(formatAt(3).fontPointSize(), 12);
    EXPECT_NE(formatAt(6).fontPointSize(), 12);
    f.close();
}

TEST_F(EditorTest, ABadSizeIsReportedAndNotApplied)
{
    content(QStringLiteral("some text"), 0, 4);
    TfrmFont &f = form->fontPopup();
    f.show();
    f.cbSize->setEditText(QStringLiteral("14"));
    f.cbSize->setEditText(QStringLiteral("1x"));
    EXPECT_EQ(formatAt(1).fontPointSize(), 14);
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.last(), QStringLiteral("'1x' is not a valid integer value"));
    f.cbSize->setEditText(QString());
    EXPECT_EQ(errors.last(), QStringLiteral("'' is not a valid integer value"));
    f.close();
}

// The font popup stays on top of every window: the error box of a bad size
// belongs to it and comes up above it, with its OK button in reach.
TEST_F(EditorTest, TheErrorBoxOfABadSizeComesUpOverTheFontPopup)
{
    form->services().dialogs = std::make_unique<tl::QtDialogs>();
    tl::setErrorReporter(tl::errorBoxOver(*form));
    form->show();
    content(QStringLiteral("some text"), 0, 4);
    TfrmFont &f = form->fontPopup();
    f.show();
    QApplication::setActiveWindow(&f);
    QString text;
    QWidget *owner = nullptr;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        owner = box->parentWidget();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->accept();
    });
    f.cbSize->lineEdit()->selectAll();
    QTest::keyClick(f.cbSize->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(owner, &f);
    EXPECT_TRUE(onTop);
    f.close();
}

TEST_F(EditorTest, TheFontPopupShowsAndSetsTheSelectionsFontName)
{
    content(QStringLiteral("some text"), 0, 4);
    TfrmFont &f = form->fontPopup();
    ASSERT_GT(f.cbFont->count(), 1);
    const QString other = f.cbFont->itemText(f.cbFont->count() - 1);
    f.show();
    f.cbFont->setCurrentText(other);
    EXPECT_EQ(tl::rtf::fontNameOf(formatAt(1)), other);
    f.close();
    select(0, 2);
    f.show();
    EXPECT_EQ(f.cbFont->currentText(), other);
    f.close();
}

TEST_F(EditorTest, TheFontPopupTakesTheTopAndItsCloseButtonGivesItBack)
{
    form->Sta1->setChecked(true);
    form->Sta1Click();
    ASSERT_TRUE(form->isOnTop());
    TfrmFont &f = form->fontPopup();
    f.show();
    EXPECT_FALSE(form->isOnTop());
    f.LbSpeedButton1->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(form->isOnTop());
    f.show();
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(form->isOnTop());  // until the main window is activated again
}

TEST_F(EditorTest, TheFontPopupIsDraggedByItsHeader)
{
    TfrmFont &f = form->fontPopup();
    f.show();
    const QPoint start = f.pos();
    f.imgHeadMouseDown(QPoint(100, 100));
    f.imgHeadMouseMove(QPoint(110, 105));
    f.imgHeadMouseUp(QPoint(115, 120));
    EXPECT_EQ(f.pos(), start + QPoint(15, 20));
    f.imgHeadMouseMove(QPoint(300, 300));
    EXPECT_EQ(f.pos(), start + QPoint(15, 20));
    f.close();
}

// The editor takes typing however long the note is; a limit that is
// reached is told once instead of keys being dropped.
class EditorTypingTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->memo1->setFocus();
    }
    void typeAtEnd(const QString &text)
    {
        form->memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
};

TEST_F(EditorTypingTest, ALongNoteTakesTyping)
{
    for (int length : {32760, 32767, 40000}) {
        SCOPED_TRACE(length);
        open(notesFile(QStringLiteral("long%1.nts").arg(length), {QString(length, u'a')}));
        typeAtEnd(QStringLiteral("0123456789"));
        EXPECT_EQ(editorText().size(), length + 10);
        EXPECT_TRUE(editorText().endsWith(QStringLiteral("a0123456789")));
    }
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(EditorTypingTest, AReachedLimitIsToldOnceAndTheTextKept)
{
    form->memo1->setContentText(QStringLiteral("abc"));
    form->memo1->setTextLimit(5);
    typeAtEnd(QStringLiteral("defgh"));
    EXPECT_EQ(editorText(), QStringLiteral("abcde"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("5")));
    QApplication::clipboard()->setText(QStringLiteral("more"));
    form->memo1->paste();
    EXPECT_EQ(editorText(), QStringLiteral("abcde"));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

} // namespace
