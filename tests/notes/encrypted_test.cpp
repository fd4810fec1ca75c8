// Encrypted notes files without a window: the plain XML never reaches the
// disk, every store keeps the header and takes a fresh nonce, and a file the
// kept key does not open is refused and left as it is.

#include "crypto/agefile.h"
#include "crypto/sealedfile.h"
#include "notes/notesession.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>

#include <functional>

namespace {

namespace age = tl::crypto::age;
using tl::crypto::SecureBytes;

constexpr int kQuickWork = 10;  // a test's files need no real protection
const QByteArray kPassphrase = "correct horse";

SecureBytes secret(QByteArrayView text)
{
    return SecureBytes(text);
}

QByteArray notesXml(const QStringList &notes)
{
    QByteArray xml = "<root>\n  <info>\n    <lastupdate>1.1.2026</lastupdate>\n  </info>\n  <notes>\n";
    for (const QString &n : notes)
        xml += "    <note>" + n.toUtf8() + "</note>\n";
    return xml + "  </notes>\n</root>\n";
}

// A notes file another tool encrypted with a passphrase, as `age -p` does.
QString encryptedNotes(const QStringList &notes, const QString &name = QStringLiteral("Diary.nts.age"))
{
    return tltest::writeFile(tltest::freshFolder() + QLatin1Char('/') + name,
                             age::encrypt(notesXml(notes), kPassphrase, kQuickWork));
}

QByteArray plainOf(const QString &path)
{
    return age::decrypt(tltest::readFile(path), kPassphrase).view().toByteArray();
}

class Encrypted : public testing::Test {
protected:
    void TearDown() override { tl::crypto::keyring::forgetAll(); }
};

TEST_F(Encrypted, TheContentDecidesWhateverTheName)
{
    const QString sealed = encryptedNotes({QStringLiteral("one")}, QStringLiteral("Plain looking.nts"));
    const QString plain = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Looks sealed.nts.age"),
                                            notesXml({QStringLiteral("one")}));
    EXPECT_TRUE(tl::NotesSession::isEncrypted(sealed));
    EXPECT_FALSE(tl::NotesSession::isEncrypted(plain));
    tl::RecordStore store;
    EXPECT_EQ(store.loadNote(0, plain), QStringLiteral("one"));
    EXPECT_EQ(store.noteCount(plain), 1);
}

TEST_F(Encrypted, ALockedFileIsRefusedForEveryOperationAndLeftAsItIs)
{
    const QString file = encryptedNotes({QStringLiteral("secret one"), QStringLiteral("secret two")});
    const QByteArray before = tltest::readFile(file);
    const std::function<void(tl::RecordStore &)> operations[] = {
        [&](tl::RecordStore &s) { s.loadNote(0, file); },
        [&](tl::RecordStore &s) { s.saveNote(0, file, QStringLiteral("typed")); },
        [&](tl::RecordStore &s) { s.removeNote(0, file); },
        [&](tl::RecordStore &s) { s.noteCount(file); },
        [&](tl::RecordStore &s) { s.setParam(file, QStringLiteral("comments"), QStringLiteral("x")); },
    };
    for (const auto &operation : operations) {
        tl::RecordStore store;
        EXPECT_THROW(operation(store), tl::crypto::Locked);
        EXPECT_EQ(tltest::readFile(file), before);
    }
}

TEST_F(Encrypted, AFileMadeByAnotherToolOpensAndStoresStayEncrypted)
{
    const QString file = encryptedNotes({QStringLiteral("first secret"), QStringLiteral("second secret")});
    const QByteArray header = tltest::readFile(file).left(tltest::readFile(file).indexOf("\n---") + 49);
    tl::NotesSession::unlock(file, secret(kPassphrase));
    tl::NotesSession session;
    session.file().adopt(file);
    ASSERT_EQ(session.loadNote(1, file), QStringLiteral("second secret"));

    session.file().shownEdited = true;
    session.storeShown(file, QStringLiteral("typed here"));
    const QByteArray first = tltest::readFile(file);
    EXPECT_TRUE(first.startsWith(header)) << "the header is kept";
    EXPECT_FALSE(first.contains("secret")) << "no plain text on disk";
    EXPECT_FALSE(first.contains("typed here"));
    EXPECT_EQ(plainOf(file), notesXml({QStringLiteral("first secret"), QStringLiteral("typed here")}));

    session.file().shownEdited = true;
    session.storeShown(file, QStringLiteral("typed again"));
    const QByteArray second = tltest::readFile(file);
    EXPECT_TRUE(second.startsWith(header));
    // A fresh payload nonce for each store: no nonce and key used twice.
    EXPECT_NE(second.mid(header.size(), 16), first.mid(header.size(), 16));
    EXPECT_EQ(plainOf(file), notesXml({QStringLiteral("first secret"), QStringLiteral("typed again")}));
}

TEST_F(Encrypted, ANewSealedFileIsAnAgeFileFromItsFirstWrite)
{
    const QString file = tltest::freshFolder() + QStringLiteral("/New.nts.age");
    tl::NotesSession::sealNew(file, secret(kPassphrase), kQuickWork);
    tl::NotesSession session;
    session.file().adopt(file);
    session.records().saveNote(0, file, QString());
    session.appendNote();
    session.storeShown(file, QStringLiteral("the new note"));
    EXPECT_TRUE(age::looksEncrypted(tltest::readFile(file)));
    EXPECT_FALSE(tltest::readFile(file).contains("the new note"));
    EXPECT_TRUE(plainOf(file).contains("<note>the new note</note>"));
    EXPECT_EQ(session.records().noteCount(file), 2);
}

TEST_F(Encrypted, AWrongPassphraseKeepsNothing)
{
    const QString file = encryptedNotes({QStringLiteral("one")});
    try {
        tl::NotesSession::unlock(file, secret("wrong"));
        FAIL() << "unlocked with a wrong passphrase";
    } catch (const age::AgeError &e) {
        EXPECT_EQ(e.failure(), age::Failure::WrongPassphrase);
    }
    EXPECT_FALSE(tl::NotesSession::isUnlocked(file));
}

TEST_F(Encrypted, LockingForgetsTheKeyAndWhatWasRead)
{
    const QString file = encryptedNotes({QStringLiteral("one")});
    tl::NotesSession::unlock(file, secret(kPassphrase));
    tl::NotesSession session;
    session.file().adopt(file);
    ASSERT_EQ(session.loadNote(0, file), QStringLiteral("one"));
    session.lock();
    EXPECT_FALSE(tl::NotesSession::isUnlocked(file));
    // The parsed copy is gone too, not only the key.
    EXPECT_THROW(session.loadNote(0, file), tl::crypto::Locked);
}

// What the other side of a synced folder does to the file while it is open.
struct OutsideCase {
    const char *name;
    std::function<void(const QString &)> outside;
    // null: the change is followed; else the failure the next store meets.
    std::optional<age::Failure> refused;
};

void PrintTo(const OutsideCase &c, std::ostream *os)
{
    *os << c.name;
}

class EncryptedOutside : public testing::TestWithParam<OutsideCase> {
protected:
    void TearDown() override { tl::crypto::keyring::forgetAll(); }
};

TEST_P(EncryptedOutside, IsFollowedWithTheKeptKeyOrRefusedUntouched)
{
    const OutsideCase &c = GetParam();
    const QString file = encryptedNotes({QStringLiteral("one"), QStringLiteral("two")});
    tl::NotesSession::unlock(file, secret(kPassphrase));
    tl::NotesSession session;
    session.file().adopt(file);
    ASSERT_EQ(session.loadNote(1, file), QStringLiteral("two"));
    c.outside(file);
    const QByteArray outside = tltest::readFile(file);

    if (!c.refused) {
        const tl::NotesSession::Followed followed = session.followOutsideChange(QStringLiteral("two"));
        EXPECT_EQ(followed.action, tl::NotesSession::Followed::Moved);
        EXPECT_EQ(followed.to, 2);
        EXPECT_EQ(followed.count, 3);
        session.file().shownEdited = true;
        session.storeShown(file, QStringLiteral("two, edited"));
        EXPECT_EQ(plainOf(file),
                  notesXml({QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two, edited")}));
        return;
    }
    session.file().shownEdited = true;
    try {
        session.storeShown(file, QStringLiteral("two, edited"));
        FAIL() << "stored into a file the kept key does not open";
    } catch (const age::AgeError &e) {
        EXPECT_EQ(e.failure(), *c.refused);
    }
    EXPECT_EQ(tltest::readFile(file), outside);
}

void writeWithKeptKey(const QString &file, const QByteArray &plain)
{
    tltest::writeFile(file, tl::crypto::keyring::sealFor(file)->seal(plain));
}

QByteArray flipped(QByteArray bytes, qsizetype at)
{
    bytes[at] = char(bytes[at] ^ 0x01);
    return bytes;
}

const OutsideCase kOutsideCases[] = {
    {"a note added elsewhere with the same key",
     [](const QString &f) {
         writeWithKeptKey(f, notesXml({QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two")}));
     },
     std::nullopt},
    {"encrypted again with another passphrase",
     [](const QString &f) { tltest::writeFile(f, age::encrypt(notesXml({"one"}), "other", kQuickWork)); },
     age::Failure::Rekeyed},
    {"a byte flipped in the payload",
     [](const QString &f) { tltest::writeFile(f, flipped(tltest::readFile(f), tltest::readFile(f).size() - 3)); },
     age::Failure::Payload},
    {"cut short",
     [](const QString &f) { tltest::writeFile(f, tltest::readFile(f).chopped(20)); }, age::Failure::Payload},
};

INSTANTIATE_TEST_SUITE_P(Changes, EncryptedOutside, testing::ValuesIn(kOutsideCases));

} // namespace
