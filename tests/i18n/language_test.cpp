#include "i18n/language.h"
#include "support/tempenv.h"

#include <QDir>
#include <gtest/gtest.h>

using tl::i18n::Texts;

namespace {

// A program folder with languages/<name>/general.lng holding bytes.
QString programWith(const QString &name, const QByteArray &file)
{
    const QString folder = tltest::freshFolder();
    tltest::writeFile(folder + QStringLiteral("/languages/") + name + QStringLiteral("/general.lng"), file);
    return folder;
}

QString defaultOf(std::string_view key)
{
    return Texts(tl::i18n::mainFormTexts)[key];
}

TEST(LanguageTexts, OneKeyTakesTheFileAndTheSuffixTheRestKeepDefaults)
{
    const QString program = programWith(QStringLiteral("Pirate"), "[Pirate]\nMainForm.cmdSearchAgain=Seek more\n");
    const Texts t = Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Pirate"));
    EXPECT_EQ(t["MainForm.cmdSearchAgain"], QStringLiteral("Seek more (F3)"));
    for (const tl::i18n::Text &text : tl::i18n::mainFormTexts)
        if (text.key != "MainForm.cmdSearchAgain") {
            EXPECT_EQ(t[text.key], defaultOf(text.key)) << text.key;
        }
    EXPECT_EQ(t["MainForm.cmdSearchBack"], QStringLiteral("Find Back (F2)"));
    EXPECT_EQ(t["MainForm.Hide1"], QStringLiteral("Hide      "));
}

TEST(LanguageTexts, ASectionNamedOtherwiseGivesDefaults)
{
    const QString program = programWith(QStringLiteral("Pirate"), "[English]\nMainForm.cmdSearchAgain=Seek more\n");
    const Texts t = Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Pirate"));
    EXPECT_EQ(t["MainForm.cmdSearchAgain"], QStringLiteral("Find Next (F3)"));
}

TEST(LanguageTexts, TheSectionAndKeysMatchWithoutRegardToCase)
{
    const QString program = programWith(QStringLiteral("Pirate"), "[PIRATE]\nmainform.CMDSEARCH=Seek\n");
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Pirate"))["MainForm.cmdSearch"],
              QStringLiteral("Seek"));
}

TEST(LanguageTexts, ALongTextIsCutTo2047Characters)
{
    const QByteArray text(3000, 'y');
    const QString program = programWith(QStringLiteral("Long"), "[Long]\nMainForm.show1=" + text + "\n");
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Long"))["MainForm.show1"],
              QString(2047, QLatin1Char('y')));
}

TEST(LanguageTexts, AWindowsFileOfACyrillicLanguageReadsAs1251)
{
    // "Показать" in Windows-1251: not UTF-8.
    const QString program
        = programWith(QStringLiteral("Russian"), "[Russian]\nMainForm.show1=\xcf\xee\xea\xe0\xe7\xe0\xf2\xfc\n");
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Russian"))["MainForm.show1"],
              QStringLiteral("Показать"));
}

TEST(LanguageTexts, NoFileNoFolderOrAnOddNameGivesDefaultsAndWritesNothing)
{
    const QString program = tltest::freshFolder();
    for (const char *name : {"English_Default", "", "..", "../x", "Nowhere"}) {
        const Texts t = Texts::load(tl::i18n::mainFormTexts, program, QString::fromLatin1(name));
        EXPECT_EQ(t["MainForm.show1"], QStringLiteral("Show")) << name;
    }
    EXPECT_TRUE(QDir(program).isEmpty()) << "a fallback file was left behind";
}

TEST(LanguageTexts, JunkGivesDefaults)
{
    QByteArray junk;
    for (int i = 0; i < 20000; ++i)
        junk.append(char((i * 31 + 7) % 256));
    const QString program = programWith(QStringLiteral("Junk"), junk);
    const Texts t = Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Junk"));
    for (const tl::i18n::Text &text : tl::i18n::mainFormTexts)
        EXPECT_EQ(t[text.key], defaultOf(text.key)) << text.key;
}

TEST(LanguageList, ListsTheDefaultThenFoldersAndPlainFiles)
{
    const QString program = programWith(QStringLiteral("Deutsch"), "[Deutsch]\n");
    tltest::writeFile(program + QStringLiteral("/languages/readme.txt"), "not a language");
    const QStringList list = tl::i18n::languageList(program);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0], QStringLiteral("English_Default"));
    EXPECT_TRUE(list.contains(QStringLiteral("Deutsch")));
    EXPECT_TRUE(list.contains(QStringLiteral("readme.txt")));
    // Picking the plain file gives the defaults.
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("readme.txt"))["MainForm.exit1"],
              QStringLiteral("Exit"));
}

TEST(LanguageList, WithoutALanguagesFolderOnlyTheDefault)
{
    EXPECT_EQ(tl::i18n::languageList(tltest::freshFolder()), QStringList{QStringLiteral("English_Default")});
}

TEST(LanguageList, TheWindowsFolderNameIsFoundToo)
{
    const QString program = tltest::freshFolder();
    tltest::writeFile(program + QStringLiteral("/Languages/Polski/general.lng"), "[Polski]\nMainForm.exit1=Zakończ\n");
    EXPECT_EQ(tl::i18n::languageList(program), (QStringList{QStringLiteral("English_Default"), QStringLiteral("Polski")}));
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Polski"))["MainForm.exit1"],
              QStringLiteral("Zakończ"));
}

TEST(LanguageTexts, TheFolderAndFileAreFoundWithoutRegardToCase)
{
    const QString program = tltest::freshFolder();
    tltest::writeFile(program + QStringLiteral("/languages/Russian/GENERAL.LNG"),
                      "[Russian]\nMainForm.exit1=Выход\n");
    // "CurLanguage" as a Windows user may have typed it.
    EXPECT_EQ(Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("russian"))["MainForm.exit1"],
              QStringLiteral("Выход"));
    EXPECT_EQ(tl::i18n::languageFolder(program, QStringLiteral("RUSSIAN")),
              program + QStringLiteral("/languages/Russian"));
}

TEST(LanguageList, PicksTheEntryWithoutRegardToCase)
{
    const QStringList list{QStringLiteral("English_Default"), QStringLiteral("Russian")};
    EXPECT_EQ(tl::i18n::pickLanguage(list, QStringLiteral("rUSSIAN")), QStringLiteral("Russian"));
    EXPECT_EQ(tl::i18n::pickLanguage(list, QStringLiteral("Klingon")), QString());
}

TEST(AccessKeys, EachCaptionGetsALetterNoEarlierOneTook)
{
    EXPECT_EQ(tl::i18n::withAccessKeys({QStringLiteral("New File..."), QStringLiteral("Open File..."),
                                        QStringLiteral("Save"), QStringLiteral("Save File As...")}),
              (QStringList{QStringLiteral("&New File..."), QStringLiteral("&Open File..."), QStringLiteral("&Save"),
                           QStringLiteral("S&ave File As...")}));
    // A caption's own key stays and is not given twice.
    EXPECT_EQ(tl::i18n::withAccessKeys({QStringLiteral("Sa&ve"), QStringLiteral("Save")}),
              (QStringList{QStringLiteral("Sa&ve"), QStringLiteral("&Save")}));
    EXPECT_EQ(tl::i18n::withAccessKeys({QStringLiteral("Создать"), QStringLiteral("Сохранить")}),
              (QStringList{QStringLiteral("&Создать"), QStringLiteral("С&охранить")}));
}

} // namespace
