#include "settings/appearance.h"
#include "support/tempenv.h"

#include <gtest/gtest.h>

using tl::SettingsStore;

TEST(FirstRun, WritesBuiltInDefaultsOnceWithTheMarkerLast)
{
    const SettingsStore store(tltest::freshFolder() + QStringLiteral("/settings.conf"));
    EXPECT_TRUE(tl::appearance::firstRunCheck(store));
    EXPECT_EQ(store.GetFromReg(QStringLiteral("ToolBarHStyle")), QStringLiteral("false"));
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("EditorFontSize")), 10);
    EXPECT_EQ(quint32(store.GetFromRegInt(QStringLiteral("EditorBackGrd"))), 0x80000005u);
    EXPECT_EQ(store.GetFromReg(QStringLiteral("SearchBarFontNamelblSearch")), QStringLiteral("Small Fonts"));
    EXPECT_EQ(quint32(store.GetFromRegInt(QStringLiteral("ToolBarHBackGrd"))), 0xD2BDB6u);
    // Values without a first-run default stay absent, and no skin set exists.
    EXPECT_FALSE(store.exists(QStringLiteral("SearchBarNFontNameButton")));
    EXPECT_FALSE(store.exists(QStringLiteral("EditorFontSizeSkin")));
    EXPECT_FALSE(store.exists(QStringLiteral("LineColor")));
    const QByteArray file = tltest::readFile(store.path());
    EXPECT_GT(file.indexOf("\"ToolBarHStyle\""), file.indexOf("\"ToolBarHBackGrd\""));

    // A second start does not write them again, even after values went away.
    store.SetFromRegInt(QStringLiteral("EditorFontSize"), 14);
    EXPECT_FALSE(tl::appearance::firstRunCheck(store));
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("EditorFontSize")), 14);
}
