#include "platform/error.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"
#include "support/tempenv.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using tl::SettingsStore;
namespace s = tl::setting;

namespace {
SettingsStore freshStore()
{
    return SettingsStore(tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf"));
}
QString q(std::string_view v) { return SettingsStore::q(v); }
template <s::Type T>
QString q(s::Key<T> key) { return SettingsStore::q(key); }
} // namespace

// Every setting of the table, read from an empty store: what it gives, and
// whether that read left the default behind.
class SettingDefaults : public testing::TestWithParam<s::Def> {};

TEST_P(SettingDefaults, AbsentValueGivesItsDefaultAndStoresOnlyMarkedOnes)
{
    const s::Def &def = GetParam();
    const SettingsStore store = freshStore();
    if (def.type == s::Type::String) {
        EXPECT_EQ(store.GetFromReg(q(def.name)), q(def.absent));
        EXPECT_EQ(store.exists(q(def.name)), def.stored);
        if (def.stored) {  // stored as a string, in the name's exact spelling
            EXPECT_EQ(store.GetFromReg(q(def.name)), q(def.absent));
        }
    } else {
        EXPECT_EQ(store.GetFromRegInt(q(def.name)), q(def.absent).toInt());
        EXPECT_FALSE(store.exists(q(def.name)));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SettingDefaults, testing::ValuesIn(s::table),
                         [](const auto &info) {
                             std::string n(info.param.name);
                             for (char &c : n)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(SettingsStore, StoredDefaultsNeedTheExactSpelling)
{
    const SettingsStore store = freshStore();
    EXPECT_EQ(store.GetFromReg(QStringLiteral("currentskin")), QString());
    EXPECT_FALSE(store.exists(q(s::CurrentSkin)));
    EXPECT_EQ(store.GetFromReg(q(s::CurrentSkin)), QStringLiteral("<none>"));
    EXPECT_EQ(store.GetFromReg(QStringLiteral("currentskin")), QStringLiteral("<none>"));
    // SkinDir is stored even though it is empty.
    EXPECT_EQ(store.GetFromReg(q(s::SkinDir)), QString());
    EXPECT_TRUE(store.exists(q(s::SkinDir)));
}

TEST(SettingsStore, ReadingTheOtherTypeFailsWithTheValueName)
{
    const SettingsStore store = freshStore();
    store.SetFromRegInt(QStringLiteral("LineColorSkin"), 0x123456);
    store.SetFromReg(QStringLiteral("OnTop"), QStringLiteral("true"));
    try {
        store.GetFromReg(QStringLiteral("linecolorskin"));
        FAIL();
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid data type for 'linecolorskin'"));
    }
    try {
        store.GetFromRegInt(QStringLiteral("OnTop"));
        FAIL();
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid data type for 'OnTop'"));
    }
    // A write of the other type replaces the value and its type.
    store.SetFromReg(QStringLiteral("LineColorskin"), QStringLiteral("red"));
    EXPECT_EQ(store.GetFromReg(QStringLiteral("LINECOLORSKIN")), QStringLiteral("red"));
}

TEST(SettingsStore, ContentsCompareExactly)
{
    const SettingsStore store = freshStore();
    store.SetFromReg(q(s::EnableSound), QStringLiteral("True"));
    EXPECT_NE(store.GetFromReg(q(s::EnableSound)), QStringLiteral("true"));
    EXPECT_EQ(store.GetFromReg(q(s::AskDelNote)), QString());
    EXPECT_FALSE(store.exists(q(s::AskDelNote)));
}

TEST(SettingsStore, ASwitchIsOnOnlyWhenItHoldsExactlyTrue)
{
    const SettingsStore store = freshStore();
    EXPECT_FALSE(store.isOn(s::AskDelNote));  // absent
    for (const char *off : {"True", "TRUE", "true ", "1", ""}) {
        store.SetFromReg(s::AskDelNote, QString::fromLatin1(off));
        EXPECT_FALSE(store.isOn(s::AskDelNote)) << off;
    }
    store.SetFromReg(s::AskDelNote, QStringLiteral("true"));
    EXPECT_TRUE(store.isOn(s::AskDelNote));
    EXPECT_TRUE(store.isOn(QStringLiteral("askdelnote")));  // the name is not case-sensitive
    store.SetFromRegInt(QStringLiteral("LineColorSkin"), 1);
    EXPECT_THROW(store.isOn(QStringLiteral("LineColorSkin")), tl::Error);  // not a string
}

// What a declaration says an absent value reads is what it reads, for
// integers as for strings; only a default marked stored is written by it.
TEST(SettingsStore, AnAbsentValueReadsItsDeclaredDefault)
{
    const SettingsStore store = freshStore();
    constexpr s::Def five{"Five", s::Type::Integer, "5", false};
    constexpr s::Def kept{"Kept", s::Type::Integer, "-7", true};
    constexpr s::Def hello{"Hello", s::Type::String, "hi", false};
    EXPECT_EQ(store.GetFromRegInt(s::Number(five, false)), 5);
    EXPECT_FALSE(store.exists(QStringLiteral("Five")));
    EXPECT_EQ(store.GetFromReg(s::Text(hello, false)), QStringLiteral("hi"));
    EXPECT_FALSE(store.exists(QStringLiteral("Hello")));
    EXPECT_EQ(store.GetFromRegInt(s::Number(kept, false)), -7);
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("Kept")), -7);  // written by the read
    // A value present is read as it is, a stored 0 included.
    store.SetFromRegInt(s::Number(five, false), 0);
    EXPECT_EQ(store.GetFromRegInt(s::Number(five, false)), 0);

    const QString blocker = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/file"), "x");
    const SettingsStore unopenable(blocker + QStringLiteral("/Tessaleaf/settings.conf"));
    EXPECT_EQ(unopenable.GetFromRegInt(s::Number(five, false)), 0);
    EXPECT_EQ(unopenable.GetFromReg(s::Text(hello, false)), QString());
}

// The child half of the two-process test: runs only when the parent asks.
TEST(SettingsChild, WritesValues)
{
    const QString file = qEnvironmentVariable("TL_SETTINGS_CHILD");
    if (file.isEmpty())
        GTEST_SKIP() << "run by SettingsStore.TypesSurviveARestart";
    const SettingsStore store(file);
    store.SetFromRegInt(QStringLiteral("EditorBackGrd"), qint32(0x80000005u));
    store.SetFromReg(QStringLiteral("LastAlphaV"), QStringLiteral("200"));
    store.SetFromRegInt(QStringLiteral("x"), -40);
}

TEST(SettingsStore, TypesSurviveARestart)
{
    const QString file = tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TL_SETTINGS_CHILD"), file);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=SettingsChild.*")});
    ASSERT_TRUE(child.waitForFinished(30000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

    const SettingsStore store(file);
    EXPECT_EQ(quint32(store.GetFromRegInt(QStringLiteral("editorbackgrd"))), 0x80000005u);
    EXPECT_EQ(store.GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("200"));
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("X")), -40);
    EXPECT_THROW(store.GetFromRegInt(QStringLiteral("LastAlphaV")), tl::Error);
    EXPECT_THROW(store.GetFromReg(QStringLiteral("x")), tl::Error);
}

TEST(SettingsStore, UnopenableStoreReadsEmptyEvenForStoredDefaults)
{
    const QString blocker = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/file"), "x");
    const SettingsStore store(blocker + QStringLiteral("/Tessaleaf/settings.conf"));
    EXPECT_EQ(store.GetFromReg(q(s::CurrentSkin)), QString());
    EXPECT_EQ(store.GetFromRegInt(q(s::X)), 0);
    EXPECT_NO_THROW(store.SetFromRegInt(q(s::X), 5));
}
