#include "platform/inifile.h"
#include "support/tempenv.h"

#include <gtest/gtest.h>

using tl::IniFile;

namespace {

struct IniCase {
    const char *name;
    const char *text;  // UTF-8
    const char *section;
    const char *key;
    const char *expected;  // "<def>" for the default
};

class IniRules : public testing::TestWithParam<IniCase> {};

TEST_P(IniRules, ReadsAsTheProfileFunctionsDo)
{
    const IniCase &c = GetParam();
    const IniFile ini = IniFile::fromText(QString::fromUtf8(c.text));
    EXPECT_EQ(ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("<def>")),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRules,
    testing::Values(IniCase{"Plain", "[A]\nk=v\n", "A", "k", "v"},
                    IniCase{"SectionAndKeyIgnoreCase", "[English]\nMainForm.Copy1=Copy it\n", "eNGLISH",
                            "mainform.copy1", "Copy it"},
                    IniCase{"CyrillicNamesIgnoreCase", "[Русский]\nКлюч=Значение\n", "РУССКИЙ", "ключ", "Значение"},
                    IniCase{"BlanksTrimmed", "  [ A ]  \r\n   k   =   two words   \r\n", "A", "k", "two words"},
                    IniCase{"DoubleQuotesRemoved", "[A]\nk=\"  kept  \"\n", "A", "k", "  kept  "},
                    IniCase{"SingleQuotesRemoved", "[A]\nk='x'\n", "A", "k", "x"},
                    IniCase{"OnePairOnly", "[A]\nk=\"\"x\"\"\n", "A", "k", "\"x\""},
                    IniCase{"UnmatchedQuoteKept", "[A]\nk=\"x'\n", "A", "k", "\"x'"},
                    IniCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
                    IniCase{"FirstSectionWins", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "j", "<def>"},
                    IniCase{"OtherSectionIgnored", "[B]\nk=v\n", "A", "k", "<def>"},
                    IniCase{"KeyBeforeAnySection", "k=v\n[A]\n", "A", "k", "<def>"},
                    IniCase{"EmptyValueIsAValue", "[A]\nk=\n", "A", "k", ""},
                    IniCase{"NoEscapes", "[A]\nk=a\\nb\n", "A", "k", "a\\nb"},
                    IniCase{"EqualsInValue", "[A]\nk=a=b\n", "A", "k", "a=b"},
                    IniCase{"LineWithoutEquals", "[A]\njunk\nk=v\n", "A", "k", "v"},
                    IniCase{"UnclosedSectionHeader", "[A\nk=v\n", "A", "k", "v"}),
    [](const testing::TestParamInfo<IniCase> &i) { return std::string(i.param.name); });

TEST(IniFile, KeepsTheFirst2047Characters)
{
    const QString long3000(3000, QLatin1Char('x'));
    const IniFile ini = IniFile::fromText(QStringLiteral("[A]\nk=") + long3000 + QStringLiteral("\n"));
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("k"), {}), long3000.left(2047));
}

TEST(IniFile, AMissingFileReadsAsEmpty)
{
    const IniFile ini = IniFile::read(tltest::freshFolder() + QStringLiteral("/none.lng"));
    EXPECT_FALSE(ini.hasSection(QStringLiteral("A")));
    EXPECT_EQ(ini.value(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
}

struct Encoded {
    const char *name;
    QByteArray bytes;
    int codePage;
    const char16_t *expected;
};

class IniEncoding : public testing::TestWithParam<Encoded> {};

TEST_P(IniEncoding, DecodesTheFile)
{
    const Encoded &c = GetParam();
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/general.lng"),
                                           QByteArray("[L]\r\nk=") + c.bytes + QByteArray("\r\n"));
    EXPECT_EQ(IniFile::read(path, c.codePage).value(QStringLiteral("L"), QStringLiteral("k"), {}),
              QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniEncoding,
    testing::Values(Encoded{"Utf8", QByteArray("\xd0\x9a\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x8f"), 1251, u"Копия"},
                    // Not UTF-8: the language's Windows code page.
                    Encoded{"Windows1251", QByteArray("\xca\xee\xef\xe8\xff"), 1251, u"Копия"},
                    Encoded{"Windows1252", QByteArray("Gr\xf6\xdf" "e"), 1252, u"Größe"}),
    [](const testing::TestParamInfo<Encoded> &i) { return std::string(i.param.name); });

TEST(IniFile, ReadsUtf16WithItsMarkAndUtf8WithIts)
{
    const QString text = QStringLiteral("[L]\r\nk=Größe\r\n");
    QByteArray utf16("\xff\xfe");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    EXPECT_EQ(IniFile::fromText(IniFile::decode(utf16, 1252)).value(QStringLiteral("L"), QStringLiteral("k"), {}),
              QStringLiteral("Größe"));
    const QByteArray utf8 = QByteArray("\xef\xbb\xbf") + text.toUtf8();
    EXPECT_EQ(IniFile::fromText(IniFile::decode(utf8, 1251)).value(QStringLiteral("l"), QStringLiteral("K"), {}),
              QStringLiteral("Größe"));
}

TEST(IniFile, JunkReadsWithoutHarm)
{
    QByteArray junk;
    for (int i = 0; i < 70000; ++i)
        junk.append(char((i * 7919 + 13) % 256));
    junk.insert(500, "\n[L]\nk=found\n");
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/general.lng"), junk);
    const IniFile ini = IniFile::read(path, 1251);
    EXPECT_EQ(ini.value(QStringLiteral("L"), QStringLiteral("k"), {}), QStringLiteral("found"));
}

} // namespace
