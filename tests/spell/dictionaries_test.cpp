// Finding the installed dictionaries and choosing among them; the personal
// word list.

#include "platform/error.h"
#include "spell/dictionaries.h"
#include "spell/personalwords.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace tl::spell;

std::vector<Dictionary> named(const QStringList &names)
{
    std::vector<Dictionary> out;
    for (const QString &n : names)
        out.push_back({n, n + QStringLiteral(".aff"), n + QStringLiteral(".dic")});
    return out;
}

TEST(FindDictionariesTest, NeedsBothFilesAndAnEarlierFolderWins)
{
    const QString a = tltest::freshFolder(), b = tltest::freshFolder();
    tltest::writeFile(a + QStringLiteral("/en_US.aff"), "SET UTF-8\n");
    tltest::writeFile(a + QStringLiteral("/en_US.dic"), "1\nthe\n");
    tltest::writeFile(a + QStringLiteral("/fr_FR.dic"), "1\nle\n");  // no .aff
    tltest::writeFile(b + QStringLiteral("/en_US.aff"), "SET UTF-8\n");
    tltest::writeFile(b + QStringLiteral("/en_US.dic"), "1\nthe\n");
    tltest::writeFile(b + QStringLiteral("/de_DE.aff"), "SET UTF-8\n");
    tltest::writeFile(b + QStringLiteral("/de_DE.dic"), "1\nder\n");
    const auto found = findDictionaries({a, tltest::sandbox() + QStringLiteral("/absent"), b});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, QStringLiteral("de_DE"));
    EXPECT_EQ(found[1].name, QStringLiteral("en_US"));
    EXPECT_EQ(found[1].dic, a + QStringLiteral("/en_US.dic"));
}

TEST(DictionaryFoldersTest, AreTheDataFoldersHunspellFolders)
{
    const QByteArray before = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", "/opt/a:relative:/opt/b/");
    EXPECT_EQ(dictionaryFolders(), (QStringList{QStringLiteral("/opt/a/hunspell"), QStringLiteral("/opt/b/hunspell")}));
    qunsetenv("XDG_DATA_DIRS");
    EXPECT_EQ(dictionaryFolders(),
              (QStringList{QStringLiteral("/usr/local/share/hunspell"), QStringLiteral("/usr/share/hunspell")}));
    if (!before.isEmpty())
        qputenv("XDG_DATA_DIRS", before);
}

struct PickCase {
    const char *name;
    QStringList installed;
    const char *chosen;
    const char *interfaceLanguage;
    const char *expected;
};

class PickDictionaryTest : public testing::TestWithParam<PickCase> {};

TEST_P(PickDictionaryTest, Chooses)
{
    const PickCase &c = GetParam();
    EXPECT_EQ(pickDictionary(named(c.installed), QString::fromLatin1(c.chosen), QString::fromLatin1(c.interfaceLanguage)),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PickDictionaryTest,
    testing::Values(PickCase{"InterfaceLanguage", {"de_DE", "en_US", "ru_RU"}, "", "Russian", "ru_RU"},
                    PickCase{"UsualCountryFirst", {"en_AU", "en_GB", "en_US"}, "", "English", "en_US"},
                    PickCase{"AnotherCountry", {"de_AT", "en_GB"}, "", "German", "de_AT"},
                    PickCase{"ChosenWins", {"de_DE", "en_US"}, "de_DE", "English", "de_DE"},
                    PickCase{"ChosenMissingSameLanguage", {"en_GB", "ru_RU"}, "en_US", "Russian", "en_GB"},
                    PickCase{"ChosenMissingFallsBack", {"ru_RU"}, "fr_FR", "Russian", "ru_RU"},
                    PickCase{"NoneInstalled", {"de_DE"}, "", "English", ""},
                    PickCase{"UnknownInterface", {"en_US"}, "", "Klingon", ""}),
    [](const testing::TestParamInfo<PickCase> &i) { return std::string(i.param.name); });

TEST(DictionaryForScriptTest, TheMainOneForItsScriptAnotherForTheRest)
{
    const auto installed = named({"de_DE", "en_US", "ru_RU", "uk_UA"});
    EXPECT_EQ(dictionaryForScript(installed, Script::Latin, QStringLiteral("de_DE")), QStringLiteral("de_DE"));
    EXPECT_EQ(dictionaryForScript(installed, Script::Cyrillic, QStringLiteral("de_DE")), QStringLiteral("ru_RU"));
    EXPECT_EQ(dictionaryForScript(installed, Script::Cyrillic, QStringLiteral("uk_UA")), QStringLiteral("uk_UA"));
    EXPECT_EQ(dictionaryForScript(installed, Script::Latin, QStringLiteral("uk_UA")), QStringLiteral("en_US"));
    EXPECT_EQ(dictionaryForScript(installed, Script::Greek, QStringLiteral("en_US")), QString());
    EXPECT_EQ(dictionaryForScript(named({"bg_BG"}), Script::Cyrillic, {}), QStringLiteral("bg_BG"));
}

TEST(PersonalWordsTest, LivesInTheUsersDataFolder)
{
    qputenv("XDG_DATA_HOME", "/tmp/somewhere");
    EXPECT_EQ(personalWordsFile(), QStringLiteral("/tmp/somewhere/Tessaleaf/words.dic"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(tltest::sandbox() + QStringLiteral("/xdg_data_home")));
}

TEST(PersonalWordsTest, AddingMakesTheFileOnceAWordAndKeepsWhatWasThere)
{
    const QString file = tltest::freshFolder() + QStringLiteral("/sub/words.dic");
    addPersonalWord(file, QStringLiteral("Tessaleaf"));
    addPersonalWord(file, QString::fromUtf16(u"\u0451\u0436\u0438\u043a"));
    addPersonalWord(file, QStringLiteral("Tessaleaf"));
    EXPECT_EQ(tltest::readFile(file), QString::fromUtf16(u"Tessaleaf\n\u0451\u0436\u0438\u043a\n").toUtf8());
    tltest::writeFile(file, "kept");  // no line end at the end
    addPersonalWord(file, QStringLiteral("new"));
    EXPECT_EQ(tltest::readFile(file), QByteArray("kept\nnew\n"));
    EXPECT_THROW(addPersonalWord(file, QStringLiteral("two words")), tl::Error);
    EXPECT_EQ(tltest::readFile(file), QByteArray("kept\nnew\n"));
}

TEST(PersonalWordsTest, ReadingSkipsWhatIsNoWord)
{
    const QString file = tltest::freshFolder() + QStringLiteral("/words.dic");
    tltest::writeFile(file, "alpha\r\n\n  \nbeta gamma\n\xff\xfe broken\n" + QByteArray(200, 'x') + "\nalpha\ndelta");
    const PersonalWords read = readPersonalWords(file);
    EXPECT_EQ(read.words, (QStringList{QStringLiteral("alpha"), QStringLiteral("delta")}));
    EXPECT_EQ(read.skipped, 3);
    EXPECT_TRUE(read.error.isEmpty());
    EXPECT_TRUE(readPersonalWords(file + QStringLiteral(".absent")).words.isEmpty());
    const PersonalWords folder = readPersonalWords(tltest::freshFolder());
    EXPECT_FALSE(folder.error.isEmpty());
}

} // namespace
