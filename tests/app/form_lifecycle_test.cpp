#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "formfixture.h"
#include "notes/recordstore.h"
#include "platform/error.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTextEdit>

namespace {
const char kNotes[] = "<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                      "<compresslevel/></info><notes><note>first</note><note>second</note></notes></root>";
}

TEST_F(FormTest, FirstStartShowsMinimumWindowAtOriginAndWritesDefaults)
{
    TForm1 &f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.StartedVisible);
    EXPECT_FALSE(f.StartingUp);
    EXPECT_EQ(f.pos(), QPoint(0, 0));
    EXPECT_EQ(f.size(), QSize(150, 243));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::Tool));  // no taskbar entry
    EXPECT_EQ(f.Panel1->text(), QStringLiteral("No File of Notes"));
    EXPECT_FALSE(f.cmdBack->isEnabled());
    EXPECT_FALSE(f.cmdNext->isEnabled());
    EXPECT_TRUE(f.Sta1->isChecked());  // "OnTop" defaults to "true"
    EXPECT_TRUE(f.isOnTop());
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("ToolBarHStyle")), QStringLiteral("false"));
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("EditorFontSize")), 10);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("<none>"));
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(FormTest, StoredWindowStateIsRestored)
{
    settings().SetFromRegInt(QStringLiteral("x"), 40);
    settings().SetFromRegInt(QStringLiteral("y"), 30);
    settings().SetFromRegInt(QStringLiteral("w"), 300);
    settings().SetFromRegInt(QStringLiteral("h"), 400);
    settings().SetFromReg(QStringLiteral("OnTop"), QStringLiteral("false"));
    TForm1 &f = start();
    EXPECT_EQ(f.pos(), QPoint(40, 30));
    EXPECT_EQ(f.size(), QSize(300, 400));
    EXPECT_FALSE(f.Sta1->isChecked());
    EXPECT_FALSE(f.isOnTop());
}

TEST_F(FormTest, StartWordInAnyCaseAndPlaceStartsHidden)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/A.nts"), kNotes);
    TForm1 &f = start({notes, QStringLiteral("StArT")});
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.StartedVisible);
    EXPECT_EQ(f.CurrentFile(), notes);  // the file still opens
}

TEST_F(FormTest, CommandLineFilesOpenInTurnSkippingMissingOnes)
{
    const QString first = tltest::writeFile(dir + QStringLiteral("/First.nts"), kNotes);
    const QString second = tltest::writeFile(dir + QStringLiteral("/sub/Second.txt"), "plain text");
    QDir::setCurrent(dir);
    TForm1 &f = start({QStringLiteral("missing.nts"), QStringLiteral("First.nts"), QStringLiteral("sub/../sub/Second.txt")});
    EXPECT_EQ(f.CurrentFile(), second);  // absolute and cleaned
    EXPECT_EQ(f.memo1->toPlainText(), QStringLiteral("plain text"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tessaleaf - Second.txt"));
    EXPECT_FALSE(f.Modified());

    TForm1 &g = start({QStringLiteral("nope.txt"), first});
    EXPECT_EQ(g.CurrentFile(), first);
    EXPECT_EQ(g.CurrentNote(), 0);
    EXPECT_EQ(g.Panel1->text(), QStringLiteral("Note 1 of 2 from First.nts"));
    EXPECT_TRUE(g.cmdNext->isEnabled());
    EXPECT_FALSE(g.cmdBack->isEnabled());
}

TEST_F(FormTest, BrokenCommandLineFileRaisesForTheErrorBox)
{
    const QString bad = tltest::writeFile(dir + QStringLiteral("/Bad.nts"), "<root>");
    makeForm();
    EXPECT_THROW(form->FormCreate({QStringLiteral("tessaleaf"), bad}), tl::Error);
    EXPECT_EQ(tltest::readFile(bad), QByteArray("<root>"));
}

TEST_F(FormTest, CloseOnlyHidesAndStoresTheNoteShown)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    TForm1 &f = start({notes});
    f.memo1->setPlainText(QStringLiteral("edited"));
    const QString expected = f.CreateMemoRTF();
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.ExitRequested);
    EXPECT_EQ(tl::RecordStore().loadNote(0, notes), expected);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("255"));
}

TEST_F(FormTest, ExitWritesWindowStateAndClosesTheFile)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    TForm1 &f = start({notes});
    f.move(12, 34);
    f.resize(260, 300);
    f.Sta1->trigger();  // off
    f.setAlpha(180);
    f.memo1->setPlainText(QStringLiteral("last words"));
    const QString expected = f.CreateMemoRTF();
    f.Exit1Click();
    EXPECT_TRUE(f.ExitRequested);
    f.FormDestroy();
    const tl::SettingsStore s = settings();
    EXPECT_EQ(s.GetFromRegInt(QStringLiteral("x")), 12);
    EXPECT_EQ(s.GetFromRegInt(QStringLiteral("y")), 34);
    EXPECT_EQ(s.GetFromRegInt(QStringLiteral("w")), 260);
    EXPECT_EQ(s.GetFromRegInt(QStringLiteral("h")), 300);
    EXPECT_EQ(s.GetFromReg(QStringLiteral("OnTop")), QStringLiteral("false"));
    EXPECT_EQ(s.GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("180"));
    EXPECT_EQ(tl::RecordStore().loadNote(0, notes), expected);
}

TEST_F(FormTest, ExitFromTheTrayWhileHiddenStillWritesState)
{
    TForm1 &f = start({QStringLiteral("start")});
    ASSERT_FALSE(f.isVisible());
    f.move(77, 88);
    f.Exit1Click();
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("x")), 77);
}

TEST_F(FormTest, BadStoredOpacityIsAConversionError)
{
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("half"));
    makeForm();
    try {
        form->FormCreate({QStringLiteral("tessaleaf")});
        FAIL();
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'half' is not a valid integer value"));
    }
}

TEST_F(FormTest, EnableLineHidesLinesOnlyWhenExactlyFalse)
{
    settings().SetFromReg(QStringLiteral("EnableLine"), QStringLiteral("false"));
    EXPECT_FALSE(start().lblTopLine->isHidden());
    settings().SetFromReg(QStringLiteral("EnableLine"), QStringLiteral("False"));
    TForm1 &f = start();
    for (QWidget *l : std::initializer_list<QWidget *>{f.lblTopLine, f.lblLeftLine, f.lblLineSeek, f.lblRightLine})
        EXPECT_TRUE(l->isHidden()) << l->objectName().toStdString();
}

TEST_F(FormTest, CorruptSettingsAreReportedOnceAndStartFromDefaults)
{
    tltest::writeFile(settingsPath, "\"x\"=dword:zz\n");
    TForm1 &f = start();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("kept as")));
    EXPECT_EQ(f.size(), QSize(150, 243));
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("ToolBarHStyle")), QStringLiteral("false"));
}

TEST(ErrorBox, EscapedErrorsAreShownAndTheProgramGoesOn)
{
    QStringList shown;
    tl::setErrorReporter([&](const QString &m) { shown << m; });
    tl::runGuarded([] { throw tl::Error(QStringLiteral("Invalid data type for 'x'")); });
    tl::runGuarded([] { throw std::runtime_error("plain"); });
    bool ran = false;
    tl::runGuarded([&] { ran = true; });
    tl::setErrorReporter({});
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Invalid data type for 'x'"), QStringLiteral("plain")}));
    EXPECT_TRUE(ran);
}
