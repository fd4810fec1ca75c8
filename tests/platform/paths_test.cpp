#include "platform/paths.h"

#include "support/tempenv.h"

#include <QDir>
#include <gmock/gmock.h>

namespace {

struct FolderCase {
    const char *name;
    const char *made;      // folder made under the root, empty for none
    const char *exe;       // the executable's folder under the root
    const char *expected;  // the program folder under the root
};

class ProgramFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolder, IsFoundBesideTheExecutableOrUnderItsPrefix)
{
    const FolderCase &c = GetParam();
    const QString root = tltest::freshFolder();
    QDir(root).mkpath(QString::fromLatin1(c.exe));
    QDir(root).mkpath(QString::fromLatin1(c.made));
    EXPECT_EQ(tl::paths::programFolderFor(root + QLatin1Char('/') + QString::fromLatin1(c.exe)),
              root + QLatin1Char('/') + QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFolder,
    testing::Values(FolderCase{"BuildTree", "build/languages", "build", "build"},
                    FolderCase{"PortableCopyWithTheOldName", "copy/Languages", "copy", "copy"},
                    FolderCase{"InstalledUnderAnyPrefix", "dest/usr/share/tessaleaf/languages", "dest/usr/bin",
                               "dest/usr/share/tessaleaf"},
                    FolderCase{"LanguagesBesideWinOverThePrefix", "p/bin/languages", "p/bin", "p/bin"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ProgramFolderDefault, WithNothingFoundIsTheBuiltInShareFolder)
{
    const QString bare = tltest::freshFolder() + QStringLiteral("/bin");
    QDir().mkpath(bare);
    QDir().mkpath(bare + QStringLiteral("/../share/tessaleaf"));  // no languages in it
    const QString folder = tl::paths::programFolderFor(bare);
    EXPECT_TRUE(QDir::isAbsolutePath(folder));
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/share/tessaleaf"))) << qPrintable(folder);
    EXPECT_FALSE(folder.startsWith(QDir::cleanPath(bare + QStringLiteral("/.."))));
}

} // namespace
