// The speller on small dictionaries of its own: what is misspelt in two
// scripts, suggestions, the personal list, ignored words, broken and
// missing dictionaries.

#include "platform/error.h"
#include "spell/speller.h"
#include "support/tempenv.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using tl::spell::Speller;

const QString fixtures = QStringLiteral(TL_FIXTURES "/hunspell");

class SpellerTest : public testing::Test {
protected:
    void SetUp() override { speller.personalFile = tltest::freshFolder() + QStringLiteral("/words.dic"); }

    void loadAndWait(const QString &chosen, const QString &language, const QStringList &folders = {fixtures})
    {
        speller.load(chosen, language, folders);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !speller.isLoading(); }, 20000));
    }

    QStringList misspelt(const QString &text)
    {
        QStringList out;
        for (const tl::spell::Span &s : speller.misspelt(text))
            out << text.mid(s.start, s.length);
        return out;
    }

    Speller speller;
};

TEST_F(SpellerTest, ChecksEachScriptWithItsDictionary)
{
    loadAndWait({}, QStringLiteral("English"));
    EXPECT_EQ(speller.mainDictionary(), QStringLiteral("en_US"));
    const QString text = QString::fromUtf16(u"teh quick \u043a\u043e\u0448\u043a\u0430 \u0441\u0438\u0434\u0438\u0442 "
                                            u"\u043d\u0430 \u043e\u043a\u043d\u044d brown");
    EXPECT_EQ(misspelt(text), (QStringList{QStringLiteral("teh"), QString::fromUtf16(u"\u043e\u043a\u043d\u044d")}));
    EXPECT_EQ(speller.suggestions(QStringLiteral("teh")).value(0), QStringLiteral("the"));
    EXPECT_EQ(speller.suggestions(QString::fromUtf16(u"\u043e\u043a\u043d\u044d")).value(0),
              QString::fromUtf16(u"\u043e\u043a\u043d\u0435"));
}

TEST_F(SpellerTest, TheInterfaceLanguageOrTheChoiceNamesTheMainDictionary)
{
    loadAndWait({}, QStringLiteral("German"));
    EXPECT_EQ(speller.mainDictionary(), QStringLiteral("de_DE"));
    EXPECT_EQ(misspelt(QStringLiteral("der Hund the")), QStringList{QStringLiteral("the")});
    loadAndWait(QStringLiteral("en_US"), QStringLiteral("German"));
    EXPECT_EQ(misspelt(QStringLiteral("der Hund the")), (QStringList{QStringLiteral("der"), QStringLiteral("Hund")}));
}

TEST_F(SpellerTest, NothingIsMisspeltBeforeTheDictionariesAreLoaded)
{
    QSignalSpy changed(&speller, &Speller::changed);
    speller.load({}, QStringLiteral("English"), {fixtures});
    EXPECT_TRUE(misspelt(QStringLiteral("teh")).isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !speller.isLoading(); }, 20000));
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(misspelt(QStringLiteral("teh")), QStringList{QStringLiteral("teh")});
}

TEST_F(SpellerTest, AMissingDictionaryLeavesItsScriptUnchecked)
{
    const QString onlyRussian = tltest::freshFolder();
    QFile::copy(fixtures + QStringLiteral("/ru_RU.aff"), onlyRussian + QStringLiteral("/ru_RU.aff"));
    QFile::copy(fixtures + QStringLiteral("/ru_RU.dic"), onlyRussian + QStringLiteral("/ru_RU.dic"));
    loadAndWait({}, QStringLiteral("English"), {onlyRussian});
    EXPECT_TRUE(speller.mainDictionary().isEmpty());
    EXPECT_EQ(misspelt(QString::fromUtf16(u"teh \u043e\u043a\u043d\u044d")),
              QStringList{QString::fromUtf16(u"\u043e\u043a\u043d\u044d")});
    EXPECT_TRUE(speller.suggestions(QStringLiteral("teh")).isEmpty());
}

TEST_F(SpellerTest, ABrokenDictionaryIsSurvived)
{
    const QString broken = tltest::freshFolder();
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919) % 256);
    tltest::writeFile(broken + QStringLiteral("/en_US.aff"), junk);
    tltest::writeFile(broken + QStringLiteral("/en_US.dic"), "99999999\n" + junk);
    QFile::copy(fixtures + QStringLiteral("/ru_RU.aff"), broken + QStringLiteral("/ru_RU.aff"));
    QFile::copy(fixtures + QStringLiteral("/ru_RU.dic"), broken + QStringLiteral("/ru_RU.dic"));
    loadAndWait({}, QStringLiteral("English"), {broken});
    misspelt(QStringLiteral("teh quick"));
    speller.suggestions(QStringLiteral("teh"));
    // The other script is checked as ever.
    EXPECT_EQ(misspelt(QString::fromUtf16(u"\u043a\u043e\u0448\u043a\u0430 \u043e\u043a\u043d\u044d")),
              QStringList{QString::fromUtf16(u"\u043e\u043a\u043d\u044d")});
}

TEST_F(SpellerTest, AnAddedWordIsKeptForTheNextRunAndIgnoredOnesForThisOne)
{
    loadAndWait({}, QStringLiteral("English"));
    speller.addWord(QStringLiteral("Tessaleaf"));
    speller.ignoreWord(QStringLiteral("zorp"));
    EXPECT_TRUE(misspelt(QStringLiteral("Tessaleaf zorp")).isEmpty());

    Speller next;
    next.personalFile = speller.personalFile;
    next.load({}, QStringLiteral("English"), {fixtures});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !next.isLoading(); }, 20000));
    const QString text = QStringLiteral("Tessaleaf zorp");
    const auto wrong = next.misspelt(text);
    ASSERT_EQ(wrong.size(), 1u);
    EXPECT_EQ(text.mid(wrong[0].start, wrong[0].length), QStringLiteral("zorp"));
    EXPECT_TRUE(next.personalProblem().isEmpty());
}

TEST_F(SpellerTest, BothApostrophesAreOneWord)
{
    loadAndWait({}, QStringLiteral("English"));
    speller.ignoreWord(QString::fromUtf16(u"zorp\u2019s"));
    speller.addWord(QStringLiteral("blik's"));
    EXPECT_TRUE(misspelt(QString::fromUtf16(u"zorp's zorp\u2019s blik's blik\u2019s")).isEmpty());
    EXPECT_EQ(tltest::readFile(speller.personalFile), QByteArray("blik's\n"));
}

TEST_F(SpellerTest, ABrokenWordListIsReadAsFarAsItGoesAndSaysSo)
{
    tltest::writeFile(speller.personalFile, "Tessaleaf\n\xff\xfe\nzorp\n");
    loadAndWait({}, QStringLiteral("English"));
    EXPECT_TRUE(misspelt(QStringLiteral("Tessaleaf zorp")).isEmpty());
    EXPECT_TRUE(speller.personalProblem().contains(speller.personalFile));
}

TEST_F(SpellerTest, AWordListThatCannotBeWrittenThrowsButTheWordCountsForNow)
{
    loadAndWait({}, QStringLiteral("English"));
    speller.personalFile = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/file"), "x") +
                           QStringLiteral("/words.dic");  // below a file
    EXPECT_THROW(speller.addWord(QStringLiteral("zorp")), tl::Error);
    EXPECT_TRUE(misspelt(QStringLiteral("zorp")).isEmpty());
}

} // namespace
