#include "controls/flatbutton.h"
#include "formfixture.h"
#include "notes/recordstore.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

const char kNotes[] = "<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                      "<compresslevel/></info><notes><note>first</note><note>second</note></notes></root>";

class TrayTest : public FormTest {
protected:
    TForm1 &startRecording(QStringList args = {})
    {
        auto fakes = tltest::makeFakeServices();
        dialogs = fakes.dialogs;
        tray = fakes.tray;
        shell = fakes.shell;
        form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
        form->fadePacer = [this](int a) { steps.push_back(a); };
        args.prepend(QStringLiteral("tessaleaf"));
        form->FormCreate(args);
        return *form;
    }
    tltest::FakeTray *tray = nullptr;
    tltest::FakeShell *shell = nullptr;
    std::vector<int> steps;
};

} // namespace

TEST_F(TrayTest, IconIsAddedWithTheNoFileTipAndRemovedAtTheEnd)
{
    TForm1 &f = startRecording();
    EXPECT_TRUE(tray->added);
    EXPECT_EQ(tray->tip, QStringLiteral("TessaleafV2 - No File"));
    ASSERT_NE(tray->menu, nullptr);
    QStringList items;
    for (QAction *a : tray->menu->actions())
        if (!a->isSeparator())
            items << a->text();
    EXPECT_TRUE(items.contains(QStringLiteral("Show")));
    EXPECT_TRUE(items.contains(QStringLiteral("Always On Top")));
    EXPECT_EQ(items.last(), QStringLiteral("Exit"));
    EXPECT_EQ(tray->menu->defaultAction(), f.Show1);
    f.Exit1Click();
    f.FormDestroy();
    EXPECT_FALSE(tray->added);
}

TEST_F(TrayTest, TipIsCutTo63Characters)
{
    TForm1 &f = startRecording();
    const QString name = QString(70, QLatin1Char('n')) + QStringLiteral(".nts");
    f.ModifyTray(name);
    EXPECT_EQ(tray->tip.size(), 63);
    EXPECT_EQ(tray->tip, (QStringLiteral("TessaleafV2 - ") + name).left(63));
}

TEST_F(TrayTest, ClicksFadeOutAndInWithTheStoredOpacity)
{
    settings().SetFromReg(QStringLiteral("MinEffect"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("200"));
    TForm1 &f = startRecording();
    ASSERT_EQ(f.alpha(), 200);
    tray->pressLeft();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.alpha(), 0);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("200"));
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), 200);
    EXPECT_EQ(steps.back(), 4);
    EXPECT_EQ(steps.size(), 50u);

    steps.clear();
    tray->pressLeft();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.alpha(), 200);
    ASSERT_EQ(steps.size(), 50u);  // 0, 4, ..., 196
    EXPECT_EQ(steps.front(), 0);
    EXPECT_EQ(steps.back(), 196);
}

TEST_F(TrayTest, WithoutMinEffectOpacityChangesAtOnceAndTrayHideDoesNotStoreTheNote)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    TForm1 &f = startRecording({notes});
    EXPECT_EQ(tray->tip, QStringLiteral("TessaleafV2 - Diary.nts"));
    f.memo1->setPlainText(QStringLiteral("edited, not stored by the tray"));
    tray->pressLeft();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(tl::RecordStore().loadNote(0, notes), QStringLiteral("first"));
    tray->pressLeft();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.alpha(), 255);
}

TEST_F(TrayTest, ShowOnAShownWindowFadesInAgainFromZero)
{
    settings().SetFromReg(QStringLiteral("MinEffect"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("8"));
    TForm1 &f = startRecording();
    f.Show1Click();
    EXPECT_EQ(steps, (std::vector<int>{0, 4}));
    EXPECT_EQ(f.alpha(), 8);
}

TEST_F(TrayTest, StartedHiddenTheFirstClickShowsTheWindow)
{
    TForm1 &f = startRecording({QStringLiteral("START")});
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(tray->added);
    tray->pressLeft();
    EXPECT_TRUE(f.isVisible());
}

TEST_F(TrayTest, CloseButtonEndsAndHideButtonHides)
{
    TForm1 &f = startRecording();
    f.cmdHideClick();
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.ExitRequested);
    f.Show1Click();
    f.setAlpha(0);
    f.cmdCloseClick();
    EXPECT_TRUE(f.ExitRequested);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("0"));
}

TEST_F(TrayTest, EscapeHidesAndAltF4Too)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    TForm1 &f = startRecording({notes});
    f.memo1->setFocus();
    f.memo1->setPlainText(QStringLiteral("typed"));
    const QString expected = f.CreateMemoRTF();
    QTest::keyClick(f.memo1, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(tl::RecordStore().loadNote(0, notes), expected);
}

TEST_F(TrayTest, F1OpensTheLanguageHelpOrTheProgramHelp)
{
    TForm1 &f = startRecording();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    f.FormKeyDown(&f1);
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_TRUE(shell->opened[0].toLocalFile().endsWith(QStringLiteral("/help.html")));
}

TEST_F(TrayTest, NoTrayMinimisesKeepsATaskbarEntryAndIgnoresStart)
{
    auto fakes = tltest::makeFakeServices();
    fakes.tray->available = false;
    tray = fakes.tray;
    dialogs = fakes.dialogs;
    form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
    TForm1 &f = *form;
    f.FormCreate({QStringLiteral("tessaleaf"), QStringLiteral("start")});
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::Tool));
    f.close();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isMinimized());
    f.close();
    EXPECT_EQ(dialogs->boxes.size(), 1u);  // told once

    tray->appear();
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(tray->added);
    EXPECT_FALSE(f.isVisible());  // the minimised window moved into the tray
}

TEST_F(TrayTest, DroppingFilesOpensOnlyTheFirst)
{
    const QString first = tltest::writeFile(dir + QStringLiteral("/One.nts"), kNotes);
    const QString second = tltest::writeFile(dir + QStringLiteral("/Two.txt"), "two");
    TForm1 &f = startRecording();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    // Qt delivers a drop only to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    EXPECT_EQ(f.CurrentFile, first);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tessaleaf - One.nts"));
}
