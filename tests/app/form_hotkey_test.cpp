#include "formfixture.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

class HotKeyTest : public FormTest {
protected:
    TForm1 &startRecording(QStringList args = {})
    {
        auto fakes = tltest::makeFakeServices();
        dialogs = fakes.dialogs;
        hotKey = fakes.hotKey;
        form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
        form->fadePacer = [this](int a) { steps.push_back(a); };
        args.prepend(QStringLiteral("tessaleaf"));
        form->FormCreate(args);
        // What the Preferences dialog registers from "Hot_Key".
        EXPECT_EQ(hotKey->setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_F5), tl::IHotKey::Status::Registered);
        return *form;
    }
    tltest::FakeHotKey *hotKey = nullptr;
    std::vector<int> steps;
};

} // namespace

TEST_F(HotKeyTest, PressShowsTheHiddenWindowWithItsOpacity)
{
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("180"));
    TForm1 &f = startRecording({ QStringLiteral("start") });
    ASSERT_FALSE(f.isVisible());
    hotKey->press();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.alpha(), 180);
}

TEST_F(HotKeyTest, PressOnTheShownWindowFadesInAgainLikeShow)
{
    settings().SetFromReg(QStringLiteral("MinEffect"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("12"));
    TForm1 &f = startRecording();
    ASSERT_TRUE(f.isVisible());
    steps.clear();
    hotKey->press();
    EXPECT_EQ(steps, (std::vector<int> { 0, 4, 8 }));
    EXPECT_EQ(f.alpha(), 12);
}

TEST_F(HotKeyTest, ShutdownReleasesTheKey)
{
    TForm1 &f = startRecording();
    f.FormDestroy();
    EXPECT_TRUE(tltest::FakeHotKey::isEmpty(hotKey->key));
    EXPECT_FALSE(hotKey->onPressed);
}

// A tool that sends Esc to the window gives every press the same time (none)
// and often the same event: each one hides the window the hot key showed.
TEST_F(HotKeyTest, EscSentAfterEachHotKeyShowHidesTheWindow)
{
    TForm1 &f = startRecording();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    esc.setTimestamp(0);
    for (int round = 1; round <= 3; ++round) {
        hotKey->press();
        ASSERT_TRUE(f.isVisible()) << round;
        QApplication::setActiveWindow(&f);
        QApplication::sendEvent(f.focusWidget() ? f.focusWidget() : &f, &esc);
        EXPECT_FALSE(f.isVisible()) << round;
    }
}
