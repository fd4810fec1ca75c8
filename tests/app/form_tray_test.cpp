#include "app/application.h"
#include "controls/flatbutton.h"
#include "formfixture.h"
#include "notes/recordstore.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
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
    EXPECT_EQ(f.CurrentFile(), first);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tessaleaf - One.nts"));
}

namespace {

// A person's click on an item of a popup menu.
void clickItem(QMenu *menu, QAction *item)
{
    menu->popup(QPoint(20, 20));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

// Commands that store a setting, reached through their real connections
// while the settings file is read-only.
struct FailingCommand {
    const char *name;
    const char *value;  // the setting whose store fails
    void (*prepare)(TForm1 &f);
    void (*run)(TForm1 &f, tltest::FakeTray &tray);
    // The command's effect, once it could store.
    bool (*done)(TForm1 &f, const tl::SettingsStore &s);
};

void PrintTo(const FailingCommand &c, std::ostream *os)
{
    *os << c.name;
}

class FailingCommandTest : public TrayTest, public testing::WithParamInterface<FailingCommand> {
protected:
    void TearDown() override
    {
        tl::setErrorReporter({});
        QFile::setPermissions(settingsPath, QFile::ReadOwner | QFile::WriteOwner);
    }
};

} // namespace

TEST_P(FailingCommandTest, ShowsTheErrorBoxAndTheProgramGoesOn)
{
    const FailingCommand &c = GetParam();
    TForm1 &f = startRecording();
    tl::setErrorReporter(tl::errorBoxOver(f));
    c.prepare(f);
    QFile::setPermissions(settingsPath, QFile::ReadOwner);
    EXPECT_NO_THROW(c.run(f, *tray));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Error);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(c.value)));

    QFile::setPermissions(settingsPath, QFile::ReadOwner | QFile::WriteOwner);
    c.run(f, *tray);
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(c.done(f, settings()));
}

INSTANTIATE_TEST_SUITE_P(
    Tray, FailingCommandTest,
    testing::Values(
        FailingCommand{"AlwaysOnTopFromTheMenu", "OnTop", [](TForm1 &) {},
                       [](TForm1 &f, tltest::FakeTray &) { clickItem(f.TrayPopUp, f.Sta1); },
                       [](TForm1 &f, const tl::SettingsStore &s) {
                           // Off and on again: what is shown is what is stored.
                           return f.Sta1->isChecked() && s.GetFromReg(QStringLiteral("OnTop")) == QLatin1String("true");
                       }},
        FailingCommand{"LeftPressOnTheIcon", "LastAlphaV", [](TForm1 &f) { f.setAlpha(100); },
                       [](TForm1 &, tltest::FakeTray &tray) { tray.pressLeft(); },
                       [](TForm1 &f, const tl::SettingsStore &s) {
                           return !f.isVisible() && s.GetFromReg(QStringLiteral("LastAlphaV")) == QLatin1String("100");
                       }},
        FailingCommand{"ExitFromTheMenuWhileHidden", "x",
                       [](TForm1 &f) {
                           f.hide();
                           f.move(33, 44);
                       },
                       [](TForm1 &f, tltest::FakeTray &) { clickItem(f.TrayPopUp, f.Exit1); },
                       [](TForm1 &f, const tl::SettingsStore &s) {
                           return f.ExitRequested && s.GetFromRegInt(QStringLiteral("x")) == 33;
                       }}),
    [](const auto &info) { return std::string(info.param.name); });

namespace {

struct HideWay {
    const char *name;
    void (*hide)(TForm1 &f, tltest::FakeTray &tray);
};

void PrintTo(const HideWay &way, std::ostream *os) { *os << way.name; }

class FadedHide : public TrayTest, public testing::WithParamInterface<HideWay> {};

void pressEscapeInTheEditor(TForm1 &f, tltest::FakeTray &)
{
    // The offscreen platform does not activate a window shown again.
    QApplication::setActiveWindow(&f);
    f.memo1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f.memo1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
}

void clickTheMinimiseArea(TForm1 &f, tltest::FakeTray &)
{
    QTest::mouseClick(f.cmdHide, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
}

} // namespace

TEST_P(FadedHide, KeepsTheOpacityItHadBeforeTheFade)
{
    settings().SetFromReg(QStringLiteral("MinEffect"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("200"));
    TForm1 &f = startRecording();
    for (int round = 0; round < 2; ++round) {
        steps.clear();
        GetParam().hide(f, *tray);
        EXPECT_FALSE(f.isVisible()) << round;
        EXPECT_EQ(f.alpha(), 0) << round;
        EXPECT_EQ(steps.size(), 50u) << round;  // one fade, 200 down to 4
        EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("200")) << round;
        tray->pressLeft();
        ASSERT_TRUE(f.isVisible()) << round;
        EXPECT_EQ(f.alpha(), 200) << round;
    }
    GetParam().hide(f, *tray);
    f.Exit1Click();  // from the tray, while hidden
    f.FormDestroy();
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("200"));
    form.reset();
    EXPECT_EQ(startRecording().alpha(), 200);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, FadedHide,
    testing::Values(HideWay{"EscapeInTheEditor", pressEscapeInTheEditor},
                    HideWay{"WindowClose", [](TForm1 &f, tltest::FakeTray &) { f.close(); }},
                    HideWay{"MinimiseArea", clickTheMinimiseArea},
                    HideWay{"TrayClick", [](TForm1 &, tltest::FakeTray &tray) { tray.pressLeft(); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TrayTest, WithoutATrayAFadedWindowIsMinimisedAtItsOwnOpacity)
{
    settings().SetFromReg(QStringLiteral("MinEffect"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("200"));
    auto fakes = tltest::makeFakeServices();
    fakes.tray->available = false;
    form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
    form->fadePacer = [this](int a) { steps.push_back(a); };
    TForm1 &f = *form;
    f.FormCreate({QStringLiteral("tessaleaf")});
    f.close();
    ASSERT_TRUE(f.isMinimized());
    EXPECT_EQ(steps.size(), 50u);
    EXPECT_EQ(f.alpha(), 200);  // restored from the taskbar, it is seen
    f.close();
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("200"));
}
