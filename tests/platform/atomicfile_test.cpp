#include "platform/atomicfile.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
