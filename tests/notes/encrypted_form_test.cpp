// Encrypted notes files in the window: the passphrase asked for opening and
// making one (the dialog faked), what the window shows, and the file on disk
// never holding the text in plain.

#include "notesfixture.h"

#include "crypto/agefile.h"
#include "crypto/sealedfile.h"
#include "notes/recovery.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <optional>

#include <sys/prctl.h>

namespace {

namespace age = tl::crypto::age;

constexpr int kQuickWork = 10;
const QByteArray kPassphrase = "correct horse";

QByteArray notesXml(const QStringList &notes)
{
    QByteArray xml = "<root>\n  <info>\n    <lastupdate>1.1.2026</lastupdate>\n    <authorname/>\n    <companyname/>\n"
                     "    <comments/>\n    <realpath/>\n    <compresslevel>0</compresslevel>\n  </info>\n  <notes>\n";
    for (const QString &n : notes)
        xml += "    <note>" + n.toUtf8() + "</note>\n";
    return xml + "  </notes>\n</root>\n";
}

class EncryptedForm : public NotesFormTest {
protected:
    void TearDown() override
    {
        NotesFormTest::TearDown();
        tl::crypto::keyring::forgetAll();
    }
    // A notes file encrypted by another tool, as `age -p` makes one.
    QString encrypted(const QString &name, const QStringList &notes)
    {
        return tltest::writeFile(path(name), age::encrypt(notesXml(notes), kPassphrase, kQuickWork));
    }
    static QByteArray decrypted(const QString &file)
    {
        return age::decrypt(tltest::readFile(file), kPassphrase).view().toByteArray();
    }
};

struct UnlockCase {
    const char *name;
    std::vector<std::optional<QString>> typed;  // nothing: Cancel
    bool opens;
};

void PrintTo(const UnlockCase &c, std::ostream *os)
{
    *os << c.name;
}

class Unlocking : public EncryptedForm, public testing::WithParamInterface<UnlockCase> {};

TEST_P(Unlocking, AsksUntilRightOrCancelledAndLeavesTheFileAsItIs)
{
    const UnlockCase &c = GetParam();
    const QString file = encrypted(QStringLiteral("Diary.nts.age"), {QStringLiteral("dear diary")});
    const QByteArray before = tltest::readFile(file);
    for (const auto &t : c.typed)
        dialogs->passphrases.push_back(t);

    open(file);

    ASSERT_EQ(dialogs->passphraseRequests.size(), c.typed.size());
    for (size_t i = 0; i < c.typed.size(); ++i) {
        const tl::PassphraseRequest &asked = dialogs->passphraseRequests[i];
        EXPECT_TRUE(asked.prompt.contains(QStringLiteral("\"Diary.nts.age\""))) << asked.prompt.toStdString();
        EXPECT_TRUE(asked.again.isEmpty()) << "an existing passphrase is typed once";
        // Asked again after a wrong one, which it says.
        EXPECT_EQ(asked.problem.contains(QStringLiteral("wrong")), i > 0) << i;
    }
    if (c.opens) {
        EXPECT_EQ(form->CurrentFile(), file);
        EXPECT_EQ(editorText(), QStringLiteral("dear diary"));
        EXPECT_TRUE(info().contains(QStringLiteral("Note 1 of 1"))) << info().toStdString();
    } else {
        EXPECT_TRUE(form->CurrentFile().isEmpty());
        EXPECT_TRUE(editorText().isEmpty());
    }
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(tltest::readFile(file), before);
    form->FormDestroy();
    // Closing stores the note shown (in the editor's form), encrypted.
    if (c.opens)
        EXPECT_TRUE(decrypted(file).contains("dear diary"));
    else
        EXPECT_EQ(tltest::readFile(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Unlocking,
    testing::Values(UnlockCase{"right", {QString::fromUtf8(kPassphrase)}, true},
                    UnlockCase{"wrong then right", {QStringLiteral("wrong"), QString::fromUtf8(kPassphrase)}, true},
                    UnlockCase{"cancel", {std::nullopt}, false},
                    UnlockCase{"wrong twice then cancel", {QStringLiteral("a"), QStringLiteral("b"), std::nullopt},
                               false}));

struct BadFileCase {
    const char *name;
    std::function<QByteArray(QByteArray)> spoil;  // of a good encrypted file
    const char *said;                             // in the message box
};

void PrintTo(const BadFileCase &c, std::ostream *os)
{
    *os << c.name;
}

class BadEncryptedFile : public EncryptedForm, public testing::WithParamInterface<BadFileCase> {};

TEST_P(BadEncryptedFile, IsRefusedWithAMessageAndLeftByteForByte)
{
    const BadFileCase &c = GetParam();
    const QString file = tltest::writeFile(path(QStringLiteral("Bad.nts.age")),
                                           c.spoil(age::encrypt(notesXml({QStringLiteral("x")}), kPassphrase, kQuickWork)));
    const QByteArray before = tltest::readFile(file);
    dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));

    tl::runGuarded([&] { open(file); });

    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_TRUE(editorText().isEmpty());
    // Told once: in a box when no passphrase opens it, else as the error of Open.
    QStringList told = errors;
    for (const tltest::AskedBox &box : dialogs->boxes)
        told << box.text;
    ASSERT_EQ(told.size(), 1) << told.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(told[0].contains(QString::fromUtf8(c.said))) << told[0].toStdString();
    form->FormDestroy();
    EXPECT_EQ(tltest::readFile(file), before);
}

QByteArray flipAt(QByteArray file, qsizetype at)
{
    at = at < 0 ? file.size() + at : at;
    file[at] = char(file[at] ^ 0x20);
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadEncryptedFile,
    testing::Values(
        BadFileCase{"a flipped byte in the payload", [](QByteArray f) { return flipAt(f, -5); }, "checksum"},
        BadFileCase{"a flipped byte in the MAC",
                    [](QByteArray f) { return flipAt(f, f.indexOf("\n--- ") + 8); }, "header"},
        BadFileCase{"cut after the header",
                    [](QByteArray f) { return f.left(f.indexOf("\n--- ") + 49 + 16); }, "missing"},
        BadFileCase{"a work factor of 23",
                    [](QByteArray f) { return f.replace(" 10\n", " 23\n"); }, "work factor of 23"},
        BadFileCase{"encrypted to a key",
                    [](QByteArray f) {
                        const qsizetype payload = f.indexOf("\n--- ") + 49;
                        return QByteArray("age-encryption.org/v1\n-> X25519 TEiF0ypqr+bpvcqXNyCVJpL7OuwPdVwPL7KQEbFDOCc\n"
                                          "hjabGXwSLQ9c3S6Lw2i+S2Tu2fiwQHHslbBN6B41FLE\n"
                                          "--- WyJp9F/9FOZh7gJdheq2WIJcwHgYc8NIVh3ddwhrcNg\n")
                            + f.mid(payload);
                    },
                    "only files encrypted with a passphrase"}));

TEST_F(EncryptedForm, TypedTextGoesIntoTheFileEncryptedOnly)
{
    const QString file = encrypted(QStringLiteral("Diary.nts.age"), {QStringLiteral("first"), QStringLiteral("second")});
    dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));
    open(file);
    type(QStringLiteral(" and more typed"));
    form->cmdNextClick();
    EXPECT_EQ(editorText(), QStringLiteral("second"));
    type(QStringLiteral(" plus this"));
    form->FormDestroy();

    const QByteArray onDisk = tltest::readFile(file);
    EXPECT_TRUE(age::looksEncrypted(onDisk));
    for (const char *plain : {"first", "second", "typed", "plus this", "<note>"})
        EXPECT_FALSE(onDisk.contains(plain)) << plain;
    const QByteArray xml = decrypted(file);
    EXPECT_TRUE(xml.contains("and more typed")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("plus this")) << xml.toStdString();
    EXPECT_EQ(dialogs->passphraseRequests.size(), 1u) << "a store asks nothing";
}

TEST_F(EncryptedForm, NewFileOfTheEncryptedTypeAsksTwiceAndIsEncryptedFromTheStart)
{
    dialogs->saveNames = {path(QStringLiteral("Secret")), path(QStringLiteral("Open"))};
    dialogs->saveTypes = {1, 0};  // "Encrypted notes file", then "File of Notes"
    dialogs->passphrases.push_back(QStringLiteral("new one"));
    form->NewFile2Click();
    const QString file = path(QStringLiteral("Secret.nts.age"));
    ASSERT_EQ(form->CurrentFile(), file);
    ASSERT_EQ(dialogs->passphraseRequests.size(), 1u);
    EXPECT_FALSE(dialogs->passphraseRequests[0].again.isEmpty()) << "a new passphrase is typed twice";
    EXPECT_TRUE(dialogs->saveRequests[0].filter.contains(QStringLiteral("Encrypted notes file (*.nts.age)")));
    type(QStringLiteral("kept secret"));
    form->NewFile2Click();  // the plain type: asks nothing, and stores the note shown first

    EXPECT_EQ(dialogs->passphraseRequests.size(), 1u);
    EXPECT_FALSE(age::looksEncrypted(tltest::readFile(path(QStringLiteral("Open")))));
    const QByteArray onDisk = tltest::readFile(file);
    EXPECT_FALSE(onDisk.contains("kept secret"));
    EXPECT_TRUE(age::decrypt(onDisk, "new one").view().toByteArray().contains("kept secret"));
}

TEST_F(EncryptedForm, CancellingTheNewPassphraseMakesNoFile)
{
    dialogs->saveNames = {path(QStringLiteral("Secret.nts.age"))};
    form->NewFile2Click();
    EXPECT_EQ(dialogs->passphraseRequests.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("Secret.nts.age"))));
    EXPECT_TRUE(form->CurrentFile().isEmpty());
}

TEST_F(EncryptedForm, EncryptedAgainElsewhereAsksForTheNewPassphraseAndFollows)
{
    const QString file = encrypted(QStringLiteral("Synced.nts.age"), {QStringLiteral("ours")});
    dialogs->passphrases = {QString::fromUtf8(kPassphrase), QStringLiteral("changed there")};
    form->FormCreate({QStringLiteral("tessaleaf"), file});
    ASSERT_EQ(editorText(), QStringLiteral("ours"));
    // The other machine changed the passphrase; the sync tool renames its copy in.
    const QString part = tltest::writeFile(path(QStringLiteral(".part")),
                                           age::encrypt(notesXml({QStringLiteral("theirs")}), "changed there", kQuickWork));
    ASSERT_TRUE(QFile::remove(file) && QFile::rename(part, file));

    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs->passphraseRequests.size() == 2; }, 10000));
    EXPECT_TRUE(dialogs->passphraseRequests[1].problem.contains(QStringLiteral("encrypted again elsewhere")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editorText() == QStringLiteral("theirs"); }, 10000)) << editorText().toStdString();
    type(QStringLiteral(" and ours"));
    form->FormDestroy();
    const QByteArray xml = age::decrypt(tltest::readFile(file), "changed there").view().toByteArray();
    EXPECT_TRUE(xml.contains("theirs and ours")) << xml.toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EncryptedForm, TextThatCannotBeStoredIsRecoveredEncryptedWithTheFilesKey)
{
    const QString file = encrypted(QStringLiteral("Diary.nts.age"), {QStringLiteral("first")});
    dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));
    open(file);
    type(QStringLiteral(" secret typed"));
    makeReadOnly(file);
    form->setUnattended();
    form->FormDestroy();

    const QStringList files = QDir(tl::recovery::folder()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(files[0].endsWith(QStringLiteral(" Diary.nts.age note 1.rtf.age"))) << files[0].toStdString();
    const QByteArray kept = tltest::readFile(tl::recovery::folder() + QLatin1Char('/') + files[0]);
    EXPECT_FALSE(kept.contains("secret typed"));
    EXPECT_TRUE(plain(QString::fromUtf8(age::decrypt(kept, kPassphrase).view().toByteArray())).contains(
        QStringLiteral("first secret typed")));
}

TEST_F(EncryptedForm, AnUnlockedProcessCannotBeDumpedOrRead)
{
    const QString file = encrypted(QStringLiteral("Diary.nts.age"), {QStringLiteral("first")});
    dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));
    open(file);
    ASSERT_EQ(editorText(), QStringLiteral("first"));
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
}

TEST_F(EncryptedForm, CompressionIsNotOfferedAndRefused)
{
    // Named as a plain notes file: the content decides.
    const QString file = encrypted(QStringLiteral("Diary.nts"), {QStringLiteral("first")});
    dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));
    open(file);
    ASSERT_EQ(editorText(), QStringLiteral("first"));
    EXPECT_TRUE(form->CompressFile(TForm1::PackPlainFile).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("Diary.znts"))));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("not offered for encrypted files")));
    EXPECT_TRUE(age::looksEncrypted(tltest::readFile(file)));
}

class Locking : public EncryptedForm {
protected:
    // Started on an encrypted file, its passphrase typed, a word searched.
    void startUnlocked()
    {
        file = encrypted(QStringLiteral("Diary.nts.age"), {QStringLiteral("first"), QStringLiteral("second")});
        dialogs->passphrases.push_back(QString::fromUtf8(kPassphrase));
        form->FormCreate({QStringLiteral("tessaleaf"), file});
        ASSERT_EQ(editorText(), QStringLiteral("first"));
        form->cmdNextClick();
        type(QStringLiteral(" typed"));
        form->cbSeek->setEditText(QStringLiteral("second"));
        form->cmdSearchClick();
        ASSERT_EQ(form->cbSeek->count(), 1);
    }
    QAction *trayItem(const char *name) const
    {
        return tray->menu ? tray->menu->findChild<QAction *>(QString::fromLatin1(name)) : nullptr;
    }
    void locked()
    {
        EXPECT_TRUE(editorText().isEmpty());
        EXPECT_FALSE(form->memo1->document()->isUndoAvailable());
        EXPECT_EQ(form->cbSeek->count(), 0);
        EXPECT_TRUE(info().startsWith(QStringLiteral("Locked"))) << info().toStdString();
        EXPECT_TRUE(form->memo1->isReadOnly());
        EXPECT_FALSE(tl::crypto::keyring::sealFor(file));
        // The note shown was stored before, encrypted.
        EXPECT_TRUE(decrypted(file).contains("second typed"));
    }
    QString file;
};

TEST_F(Locking, LockFromTheTrayStoresForgetsAndEmptiesThenAnyCommandAsksAgain)
{
    startUnlocked();
    QAction *lock = trayItem("Lock1");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->text(), QStringLiteral("Lock"));
    lock->trigger();
    locked();
    const QByteArray atLock = tltest::readFile(file);

    // Cancelled: still locked, and nothing was written.
    form->cmdBackClick();
    ASSERT_EQ(dialogs->passphraseRequests.size(), 2u);
    locked();
    // Typed: the note shown at the lock comes back, and Back goes on from it.
    dialogs->passphrases = {QStringLiteral("wrong"), QString::fromUtf8(kPassphrase)};
    form->cmdBackClick();
    EXPECT_EQ(dialogs->passphraseRequests.size(), 4u);
    EXPECT_EQ(editorText(), QStringLiteral("first"));
    EXPECT_FALSE(form->memo1->isReadOnly());
    EXPECT_TRUE(info().contains(QStringLiteral("Note 1 of 2"))) << info().toStdString();
    EXPECT_EQ(tltest::readFile(file), atLock);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Locking, ShowingTheWindowAsksForThePassphrase)
{
    startUnlocked();
    // Ctrl+Shift+L locks from the keyboard, wherever the focus is.
    QWidget *focused = QApplication::focusWidget() ? QApplication::focusWidget() : form->memo1;
    QTest::keyClick(focused, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    locked();
    form->hide();
    dialogs->passphrases = {QString::fromUtf8(kPassphrase)};
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs->passphraseRequests.size() == 2; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editorText() == QStringLiteral("second typed"); }, 10000));
}

TEST_F(Locking, IdleForTheSetMinutesLocks)
{
    form->SetFromRegInt(tl::setting::LockAfterMinutes, 3);
    startUnlocked();
    auto *timer = form->findChild<QTimer *>(QStringLiteral("lockTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3 * 60 * 1000);
    // A key pressed starts the wait again.
    timer->stop();
    QTest::keyClick(form->memo1, Qt::Key_End);
    EXPECT_TRUE(timer->isActive());
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
    locked();
    EXPECT_FALSE(timer->isActive());
}

} // namespace
