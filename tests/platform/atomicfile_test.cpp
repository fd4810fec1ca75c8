#include "platform/atomicfile.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names in a folder, hidden ones too: a temporary file left behind shows.
QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

unsigned modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

void makeLink(const QString &to, const QString &at)
{
    ASSERT_EQ(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(at).constData()), 0);
}

} // namespace

TEST(AtomicFile, ReplacesContentKeepsPermissionsAndLeavesNoTemporaryFile)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/notes.nts"), "old content that is longer");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    tl::writeFileAtomically(path, "new");
    EXPECT_EQ(tltest::readFile(path), QByteArray("new"));
    const QFile::Permissions kept = QFile::permissions(path);
    EXPECT_TRUE(kept.testFlag(QFile::ReadGroup));
    EXPECT_FALSE(kept.testFlag(QFile::WriteGroup));
    EXPECT_FALSE(kept.testFlag(QFile::ReadOther));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("notes.nts")});
}

TEST(AtomicFile, AWriteClearsOnlyOldTemporariesAKilledWriteLeft)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/notes.nts"), "old");
    auto put = [&](const char *name, qint64 ageSeconds) {
        const QString file = tltest::writeFile(dir + QLatin1Char('/') + QLatin1String(name), "partial");
        QFile f(file);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
    };
    put(".notes.nts.a1B2c3", 3600);    // left by a kill an hour ago
    put(".notes.nts.Zz9yY8", 30);      // another write may still be at it
    put(".notes.nts.a1B2c3d", 3600);   // not a name the writer makes
    put(".other.nts.a1B2c3", 3600);    // another file's
    put("notes.nts.a1B2c3", 3600);     // not hidden: the user's own
    tl::writeFileAtomically(path, "new");
    EXPECT_EQ(tltest::readFile(path), QByteArray("new"));
    EXPECT_EQ(namesIn(dir), (QStringList{QStringLiteral(".notes.nts.Zz9yY8"), QStringLiteral(".notes.nts.a1B2c3d"),
                                         QStringLiteral(".other.nts.a1B2c3"), QStringLiteral("notes.nts"),
                                         QStringLiteral("notes.nts.a1B2c3")}));
}

TEST(AtomicFile, RefusesReadOnlyFileAndLeavesItAsItWas)
{
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/ro.nts"), "keep me");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_TRUE(tl::isReadOnlyFile(path));
    try {
        tl::writeFileAtomically(path, "lost");
        FAIL() << "a read-only file was replaced";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("ro.nts")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("read-only")));
    }
    EXPECT_EQ(tltest::readFile(path), QByteArray("keep me"));
}

TEST(AtomicFile, MissingFolderFailsWithTheFileName)
{
    const QString path = tltest::freshFolder() + QStringLiteral("/no/such/folder/x.txt");
    try {
        tl::writeFileAtomically(path, "x");
        FAIL();
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("x.txt")));
    }
}

// Links written through: each case makes links in links/ to real/Diary.nts
// and writes the name it returns.
struct LinkCase {
    const char *name;
    QString (*make)(const QString &dir);
};

void PrintTo(const LinkCase &c, std::ostream *os)
{
    *os << c.name;
}

class AtomicFileThroughLinks : public testing::TestWithParam<LinkCase> {};

TEST_P(AtomicFileThroughLinks, ReplaceTheFileAtTheEndAndStayLinks)
{
    const QString dir = tltest::freshFolder();
    const QString real = tltest::writeFile(dir + QStringLiteral("/real/Diary.nts"), "old");
    QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QDir().mkpath(dir + QStringLiteral("/links"));
    const QString written = GetParam().make(dir);
    const QStringList namesBefore = namesIn(dir + QStringLiteral("/links"));
    ASSERT_TRUE(QFileInfo(written).isSymLink());
    QMap<QString, QString> links;  // every link there and what it says
    for (const QString &n : namesBefore)
        if (const QFileInfo link(dir + QStringLiteral("/links/") + n); link.isSymLink())
            links[n] = link.symLinkTarget();

    EXPECT_EQ(QFileInfo(tl::writeTarget(written)).canonicalFilePath().toStdString(), real.toStdString());
    tl::writeFileAtomically(written, "new");

    EXPECT_EQ(tltest::readFile(real), QByteArray("new"));
    EXPECT_EQ(namesIn(dir + QStringLiteral("/real")), QStringList{QStringLiteral("Diary.nts")});
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_EQ(namesIn(dir + QStringLiteral("/links")), namesBefore);
    for (auto it = links.cbegin(); it != links.cend(); ++it) {
        const QFileInfo link(dir + QStringLiteral("/links/") + it.key());
        EXPECT_TRUE(link.isSymLink()) << it.key().toStdString();
        EXPECT_EQ(link.symLinkTarget(), it.value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Links, AtomicFileThroughLinks,
    testing::Values(
        LinkCase{"Relative",
                 [](const QString &dir) {
                     makeLink(QStringLiteral("../real/Diary.nts"), dir + QStringLiteral("/links/Link.nts"));
                     return dir + QStringLiteral("/links/Link.nts");
                 }},
        LinkCase{"Absolute",
                 [](const QString &dir) {
                     makeLink(dir + QStringLiteral("/real/Diary.nts"), dir + QStringLiteral("/links/Link.nts"));
                     return dir + QStringLiteral("/links/Link.nts");
                 }},
        LinkCase{"ChainOfTwo",
                 [](const QString &dir) {
                     makeLink(QStringLiteral("../real/Diary.nts"), dir + QStringLiteral("/links/Second.nts"));
                     makeLink(QStringLiteral("Second.nts"), dir + QStringLiteral("/links/First.nts"));
                     return dir + QStringLiteral("/links/First.nts");
                 }},
        // A relative link reached through a link to its folder: its ".." is
        // the folder the link lies in, not where the path's letters point.
        LinkCase{"ThroughLinkedFolder",
                 [](const QString &dir) {
                     QDir().mkpath(dir + QStringLiteral("/links/deep/inner"));
                     makeLink(QStringLiteral("../../../real/Diary.nts"),
                              dir + QStringLiteral("/links/deep/inner/Link.nts"));
                     makeLink(QStringLiteral("deep/inner"), dir + QStringLiteral("/links/short"));
                     return dir + QStringLiteral("/links/short/Link.nts");
                 }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(AtomicFile, RelativeNameOfALinkInTheWorkingFolder)
{
    const QString dir = tltest::freshFolder();
    const QString real = tltest::writeFile(dir + QStringLiteral("/real/Diary.nts"), "old");
    makeLink(QStringLiteral("real/Diary.nts"), dir + QStringLiteral("/Link.nts"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir);
    tl::writeFileAtomically(QStringLiteral("Link.nts"), "new");
    QDir::setCurrent(before);
    EXPECT_EQ(tltest::readFile(real), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Link.nts")).isSymLink());
}

TEST(AtomicFile, DanglingLinkCreatesTheFileItNames)
{
    const QString dir = tltest::freshFolder();
    QDir().mkpath(dir + QStringLiteral("/real"));
    makeLink(QStringLiteral("real/New.nts"), dir + QStringLiteral("/Link.nts"));
    tl::writeFileAtomically(dir + QStringLiteral("/Link.nts"), "first");
    EXPECT_EQ(tltest::readFile(dir + QStringLiteral("/real/New.nts")), QByteArray("first"));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Link.nts")).isSymLink());

    // Into a folder that is not there, nothing is made and the link's name is told.
    makeLink(QStringLiteral("gone/New.nts"), dir + QStringLiteral("/Lost.nts"));
    try {
        tl::writeFileAtomically(dir + QStringLiteral("/Lost.nts"), "x");
        FAIL() << "a write into a missing folder succeeded";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Lost.nts")));
    }
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/gone")));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Lost.nts")).isSymLink());
}

TEST(AtomicFile, LoopOfLinksFailsAndWritesNothing)
{
    const QString dir = tltest::freshFolder();
    makeLink(QStringLiteral("b.nts"), dir + QStringLiteral("/a.nts"));
    makeLink(QStringLiteral("a.nts"), dir + QStringLiteral("/b.nts"));
    EXPECT_THROW(tl::writeFileAtomically(dir + QStringLiteral("/a.nts"), "x"), tl::Error);
    EXPECT_EQ(namesIn(dir), (QStringList{QStringLiteral("a.nts"), QStringLiteral("b.nts")}));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/a.nts")).isSymLink());
}

TEST(AtomicFile, ReadOnlyTargetOfALinkIsRefused)
{
    const QString dir = tltest::freshFolder();
    const QString real = tltest::writeFile(dir + QStringLiteral("/real.nts"), "keep me");
    QFile::setPermissions(real, QFile::ReadOwner | QFile::ReadGroup);
    makeLink(QStringLiteral("real.nts"), dir + QStringLiteral("/Link.nts"));
    EXPECT_THROW(tl::writeFileAtomically(dir + QStringLiteral("/Link.nts"), "lost"), tl::Error);
    EXPECT_EQ(tltest::readFile(real), QByteArray("keep me"));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Link.nts")).isSymLink());
}

// Replaced by a rename, a file with several hard links gets the new content
// under the name written; the other names keep the version before, whole.
TEST(AtomicFile, OtherHardLinksKeepThePreviousVersion)
{
    const QString dir = tltest::freshFolder();
    const QString path = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), "old");
    const QString other = dir + QStringLiteral("/Copy.nts");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    tl::writeFileAtomically(path, "new");
    EXPECT_EQ(tltest::readFile(path), QByteArray("new"));
    EXPECT_EQ(tltest::readFile(other), QByteArray("old"));
}

TEST(AtomicFile, OwnerAndGroupAreKeptWhereAllowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), "old");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 12345, 23456), 0);
    tl::writeFileAtomically(path, "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 12345u);
    EXPECT_EQ(st.st_gid, 23456u);
}

TEST(StrToInt, AcceptsOnlyPlainDecimalIntegers)
{
    EXPECT_EQ(tl::strToInt(QStringLiteral("255")), 255);
    EXPECT_EQ(tl::strToInt(QStringLiteral("-3")), -3);
    for (const char *bad : {"", "12a", " 5", "0x10", "9999999999"}) {
        try {
            tl::strToInt(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const tl::Error &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(bad)));
        }
    }
}
