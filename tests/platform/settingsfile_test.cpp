#include "platform/error.h"
#include "platform/settingsfile.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <unistd.h>

using tl::SettingsFile;
using tl::SettingValue;

TEST(SettingsFileFormat, RoundTripsAwkwardNamesAndValues)
{
    std::vector<SettingsFile::Entry> entries{
        {QStringLiteral("Quote\"Back\\slash"), {SettingValue::Type::String, QStringLiteral("line1\nline2\t\"x\"\\"), 0}},
        {QStringLiteral("Кириллица"), {SettingValue::Type::String, QStringLiteral("Заметки"), 0}},
        {QStringLiteral("Empty"), {SettingValue::Type::String, QString(), 0}},
        {QStringLiteral("Negative"), {SettingValue::Type::Integer, QString(), -1}},
        {QStringLiteral("System"), {SettingValue::Type::Integer, QString(), qint32(0x80000005u)}},
    };
    const auto back = SettingsFile::parse(SettingsFile::serialize(entries));
    ASSERT_TRUE(back.has_value());
    ASSERT_EQ(back->size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ((*back)[i].name, entries[i].name);
        EXPECT_EQ((*back)[i].value.type, entries[i].value.type);
        EXPECT_EQ((*back)[i].value.text, entries[i].value.text);
        EXPECT_EQ((*back)[i].value.number, entries[i].value.number);
    }
}

struct BadInput {
    const char *name;
    const char *text;
    int line;
};

class SettingsFileRejects : public testing::TestWithParam<BadInput> {};

TEST_P(SettingsFileRejects, NamesTheBadLine)
{
    int line = 0;
    EXPECT_FALSE(SettingsFile::parse(QByteArray(GetParam().text), &line).has_value());
    EXPECT_EQ(line, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileRejects,
    testing::Values(BadInput{"NoQuotes", "; ok\nname=value\n", 2}, BadInput{"UnclosedString", "\"a\"=\"open\n", 1},
                    BadInput{"ShortDword", "\"a\"=dword:12\n", 1}, BadInput{"NotHex", "\"a\"=dword:1234567g\n", 1},
                    BadInput{"TrailingGarbage", "\"a\"=\"x\" y\n", 1}, BadInput{"BadEscape", "\"a\"=\"\\q\"\n", 1},
                    BadInput{"EmptyName", "\"\"=\"x\"\n", 1},
                    BadInput{"SameNameTwiceInOtherCase", "\"Skin\"=\"a\"\n\"SKIN\"=\"b\"\n", 2},
                    BadInput{"Binary", "\"a\"=\"x\"\n\x01\x02\n", 2}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsFile, NamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    SettingsFile file(tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf"));
    file.setString(QStringLiteral("LineColorSkin"), QStringLiteral("a"));
    file.setString(QStringLiteral("LINECOLORskin"), QStringLiteral("b"));
    ASSERT_TRUE(file.value(QStringLiteral("linecolorSKIN")).has_value());
    EXPECT_EQ(file.value(QStringLiteral("linecolorSKIN"))->text, QStringLiteral("b"));
    EXPECT_TRUE(tltest::readFile(file.path()).contains("\"LineColorSkin\"=\"b\""));
    EXPECT_FALSE(tltest::readFile(file.path()).contains("LINECOLOR"));
}

TEST(SettingsFile, BrokenFileIsKeptAsideAndReportedOnce)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/settings.conf"), "\"x\"=dword:00000001\ngarbage\n");
    SettingsFile::takeNotices();
    SettingsFile file(path);
    EXPECT_FALSE(file.exists(QStringLiteral("x")));  // starts from defaults
    file.setString(QStringLiteral("OnTop"), QStringLiteral("true"));
    EXPECT_TRUE(file.exists(QStringLiteral("OnTop")));

    const QStringList notices = SettingsFile::takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("line 2")));
    const QStringList aside = QDir(dir).entryList({QStringLiteral("settings.conf.broken-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(tltest::readFile(dir + QLatin1Char('/') + aside[0]), QByteArray("\"x\"=dword:00000001\ngarbage\n"));
    EXPECT_TRUE(SettingsFile::takeNotices().isEmpty());
}

TEST(SettingsFile, ALinkedFileIsWrittenAndKeptAsideThroughTheLink)
{
    const QString dir = tltest::freshFolder();
    const QString real = tltest::writeFile(dir + QStringLiteral("/shared/settings.conf"), "\"a\"=\"1\"\n");
    QDir().mkpath(dir + QStringLiteral("/config"));
    const QString link = dir + QStringLiteral("/config/settings.conf");
    ASSERT_EQ(::symlink("../shared/settings.conf", QFile::encodeName(link).constData()), 0);
    SettingsFile file(link);
    file.setString(QStringLiteral("OnTop"), QStringLiteral("true"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(tltest::readFile(real).contains("\"OnTop\"=\"true\""));
    EXPECT_TRUE(tltest::readFile(real).contains("\"a\"=\"1\""));

    // An unreadable file is moved aside beside itself; the link then names
    // the settings written next.
    tltest::writeFile(real, "garbage\n");
    SettingsFile::takeNotices();
    EXPECT_FALSE(file.exists(QStringLiteral("a")));
    ASSERT_EQ(SettingsFile::takeNotices().size(), 1);
    EXPECT_EQ(QDir(dir + QStringLiteral("/shared")).entryList({QStringLiteral("settings.conf.broken-*")}).size(), 1);
    file.setString(QStringLiteral("x"), QStringLiteral("2"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(tltest::readFile(real).contains("\"x\"=\"2\""));
    EXPECT_EQ(QDir(dir + QStringLiteral("/config")).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("settings.conf")});
}

TEST(SettingsFile, FolderThatCannotBeCreatedReadsEmptyAndDropsWrites)
{
    // A plain file where the folder should be.
    const QString blocker = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/blocker"), "x");
    SettingsFile file(blocker + QStringLiteral("/Tessaleaf/settings.conf"));
    EXPECT_FALSE(file.canOpen());
    EXPECT_NO_THROW(file.setString(QStringLiteral("a"), QStringLiteral("b")));
    EXPECT_FALSE(file.value(QStringLiteral("a")).has_value());
}

TEST(SettingsFile, FailedWriteIsReportedWithTheValueName)
{
    const QString dir = tltest::freshFolder();
    SettingsFile file(dir + QStringLiteral("/settings.conf"));
    file.setString(QStringLiteral("a"), QStringLiteral("1"));
    QFile::setPermissions(file.path(), QFile::ReadOwner);
    try {
        file.setString(QStringLiteral("Hot_Key"), QStringLiteral("x"));
        FAIL() << "write into a read-only settings file succeeded";
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'Hot_Key'"));
    }
    EXPECT_EQ(file.value(QStringLiteral("a"))->text, QStringLiteral("1"));
}

TEST(SettingsFile, WritingTheSameValueLeavesTheFileAlone)
{
    SettingsFile file(tltest::freshFolder() + QStringLiteral("/settings.conf"));
    file.setString(QStringLiteral("OnTop"), QStringLiteral("true"));
    // Made read-only: a real rewrite would now fail.
    QFile::setPermissions(file.path(), QFile::ReadOwner);
    EXPECT_NO_THROW(file.setString(QStringLiteral("ONTOP"), QStringLiteral("true")));
    EXPECT_THROW(file.setString(QStringLiteral("OnTop"), QStringLiteral("false")), tl::Error);
    EXPECT_THROW(file.setInteger(QStringLiteral("OnTop"), 0), tl::Error);  // another type is another value
}

// The parsed file is kept between calls; whatever another program does to the
// file must still be seen at the very next call.
TEST(SettingsFile, SeesEveryOutsideChangeAtTheNextCall)
{
    const QString path = tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf");
    SettingsFile file(path);
    file.setString(QStringLiteral("Skin"), QStringLiteral("aaaa"));
    ASSERT_EQ(file.value(QStringLiteral("Skin"))->text, QStringLiteral("aaaa"));

    // Rewritten in place at once, same size: no new inode, maybe no new time.
    QFile inPlace(path);
    ASSERT_TRUE(inPlace.open(QIODevice::ReadWrite));
    QByteArray data = inPlace.readAll();
    data.replace("aaaa", "bbbb");
    inPlace.seek(0);
    inPlace.write(data);
    inPlace.close();
    EXPECT_EQ(file.value(QStringLiteral("Skin"))->text, QStringLiteral("bbbb"));

    tltest::writeFile(path, "\"Skin\"=\"cccc\"\n\"Other\"=dword:00000002\n");
    EXPECT_EQ(file.value(QStringLiteral("Skin"))->text, QStringLiteral("cccc"));
    EXPECT_EQ(file.value(QStringLiteral("other"))->number, 2);

    QFile::remove(path);
    EXPECT_FALSE(file.exists(QStringLiteral("Skin")));
    // A second object on the same path shares nothing stale either.
    file.setInteger(QStringLiteral("N"), 7);
    EXPECT_EQ(SettingsFile(path).value(QStringLiteral("n"))->number, 7);
}

TEST(SettingsFile, ABatchWritesOnceAndReadsSeeItsValues)
{
    const QString path = tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf");
    SettingsFile file(path);
    file.setString(QStringLiteral("Before"), QStringLiteral("x"));
    const QByteArray before = tltest::readFile(path);
    {
        SettingsFile::Batch batch(file);
        for (int i = 0; i < 50; ++i)
            SettingsFile(path).setInteger(QStringLiteral("V%1").arg(i), i);
        EXPECT_EQ(file.value(QStringLiteral("V49"))->number, 49);
        EXPECT_EQ(tltest::readFile(path), before);  // nothing on disk yet
        batch.finish();
    }
    const auto entries = SettingsFile::parse(tltest::readFile(path));
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(entries->size(), 51u);
    EXPECT_EQ(entries->back().value.number, 49);
}

TEST(SettingsFile, ABatchThatCannotWriteSaysSoAndKeepsTheOldFile)
{
    const QString path = tltest::freshFolder() + QStringLiteral("/Tessaleaf/settings.conf");
    SettingsFile file(path);
    file.setString(QStringLiteral("Kept"), QStringLiteral("yes"));
    const QByteArray before = tltest::readFile(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));  // refused even for root
    {
        SettingsFile::Batch batch(file);
        file.setString(QStringLiteral("New"), QStringLiteral("value"));
        try {
            batch.finish();
            ADD_FAILURE() << "a failed write was reported as success";
        } catch (const tl::Error &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'New'"));
        }
    }
    EXPECT_EQ(tltest::readFile(path), before);
    EXPECT_FALSE(file.exists(QStringLiteral("New")));  // read again from the disk
}
