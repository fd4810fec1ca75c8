#include "formfixture.h"

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
