#include "crypto/agefile.h"

#include <QList>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

namespace age = tl::crypto::age;
using tl::crypto::SecureBytes;

// Low enough that a derivation takes a few milliseconds.
constexpr int quickWorkFactor = 4;

QByteArray sampleText(qsizetype size)
{
    QByteArray text(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        text[i] = char((i * 131 + i / 997) & 0xff);
    return text;
}

// The failure an operation throws; nothing if it succeeded.
std::optional<age::Failure> failureOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const age::AgeError &e) {
        EXPECT_FALSE(e.message().isEmpty());
        return e.failure();
    }
    return std::nullopt;
}

QByteArray armored(const QByteArray &binary, QByteArrayView eol = "\n")
{
    QByteArray out = "-----BEGIN AGE ENCRYPTED FILE-----" + eol.toByteArray();
    const QByteArray base64 = binary.toBase64();
    for (qsizetype i = 0; i < base64.size(); i += 64)
        out += base64.mid(i, 64) + eol.toByteArray();
    return out + "-----END AGE ENCRYPTED FILE-----" + eol.toByteArray();
}

qsizetype chunksFor(qsizetype size)
{
    return size == 0 ? 1 : (size + age::chunkSize - 1) / age::chunkSize;
}

class RoundTrip : public testing::TestWithParam<qsizetype> { };

TEST_P(RoundTrip, GivesBackTheTextInFullChunksAndAMarkedLastOne)
{
    const QByteArray text = sampleText(GetParam());
    const QByteArray file = age::encrypt(text, "correct horse", quickWorkFactor);
    const age::Header header = age::parseHeader(file);
    // Nonce, then one tag per chunk: a text of exactly 64 KiB is one full
    // last chunk, and an empty text still has its (empty) last chunk.
    EXPECT_EQ(file.size(), header.payloadOffset + 16 + text.size() + 16 * chunksFor(text.size()));
    EXPECT_TRUE(age::decrypt(file, "correct horse").equals(text));
    EXPECT_TRUE(age::decrypt(armored(file), "correct horse").equals(text));
    EXPECT_TRUE(age::decrypt(armored(file, "\r\n"), "correct horse").equals(text));
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTrip,
    testing::Values(0, 1, age::chunkSize - 1, age::chunkSize, age::chunkSize + 1, 200 * 1024));

TEST(AgeFile, EveryFileGetsItsOwnSaltKeyAndNonce)
{
    const QByteArray a = age::encrypt("same text", "same passphrase", quickWorkFactor);
    const QByteArray b = age::encrypt("same text", "same passphrase", quickWorkFactor);
    const age::Header ha = age::parseHeader(a);
    const age::Header hb = age::parseHeader(b);
    EXPECT_NE(ha.stanzas[0].args[1], hb.stanzas[0].args[1]);
    EXPECT_NE(ha.stanzas[0].body, hb.stanzas[0].body);
    EXPECT_NE(a.mid(ha.payloadOffset, 16), b.mid(hb.payloadOffset, 16));
    EXPECT_NE(a.mid(ha.payloadOffset), b.mid(hb.payloadOffset));
}

TEST(AgeFile, TheFileKeyOpensTheFileAndAnotherKeyFailsTheMac)
{
    const QByteArray file = age::encrypt("the notes", "pass", quickWorkFactor);
    const SecureBytes key = age::unwrapFileKey(age::parseHeader(file), "pass");
    ASSERT_EQ(key.size(), age::fileKeySize);
    EXPECT_TRUE(age::decryptWithFileKey(file, key).equals("the notes"));
    SecureBytes other(key.view());
    other.data()[0] ^= 1;
    EXPECT_EQ(failureOf([&] { age::decryptWithFileKey(file, other); }), age::Failure::HeaderMac);
}

TEST(AgeFile, AHeaderKeptWithItsKeyTakesAFreshPayload)
{
    const QByteArray file = age::encrypt("old", "pass", quickWorkFactor);
    const age::Header header = age::parseHeader(file);
    const SecureBytes key = age::unwrapFileKey(header, "pass");
    const QByteArray again = header.text + age::encryptPayload("new text", key);
    EXPECT_TRUE(age::decrypt(again, "pass").equals("new text"));
}

TEST(AgeFile, RefusesToWriteWithoutAPassphraseOrWithAWorkFactorOutOfRange)
{
    for (const auto &[passphrase, factor] : QList<std::pair<QByteArray, int>> {{"", 10}, {"pw", 0}, {"pw", 23}}) {
        EXPECT_THROW(age::encrypt("text", passphrase, factor), tl::Error) << passphrase.constData() << factor;
    }
}

// Damage done to a two-chunk file (64 KiB + 100 bytes), and how it is refused.
struct Damage {
    const char *name;
    std::function<QByteArray(QByteArray file, const age::Header &header)> apply;
    age::Failure expected;
};

const QByteArray &twoChunkFile()
{
    static const QByteArray file = age::encrypt(sampleText(age::chunkSize + 100), "pass", quickWorkFactor);
    return file;
}

QByteArray flipped(QByteArray file, qsizetype at)
{
    file[at] = char(file[at] ^ 0x20);
    return file;
}

// The header with its stanza line replaced (MAC left as it was).
QByteArray withStanzaLine(const QByteArray &file, const QByteArray &line)
{
    const qsizetype start = file.indexOf("-> ");
    const qsizetype end = file.indexOf('\n', start);
    return file.left(start) + line + file.mid(end);
}

class DamagedFile : public testing::TestWithParam<Damage> { };

TEST_P(DamagedFile, IsRefusedWithItsReason)
{
    const QByteArray &file = twoChunkFile();
    const age::Header header = age::parseHeader(file);
    const QByteArray damaged = GetParam().apply(file, header);
    ASSERT_NE(damaged, file);
    EXPECT_EQ(failureOf([&] { age::decrypt(damaged, "pass"); }), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFile,
    testing::Values(
        Damage {"NotAgeAtAll", [](QByteArray, const age::Header &) { return QByteArray("<notes/>\n"); },
            age::Failure::NotAgeFile},
        Damage {"NewerVersion",
            [](QByteArray f, const age::Header &) { return f.replace(0, 21, "age-encryption.org/v2"); },
            age::Failure::Header},
        Damage {"CrLfLines", [](QByteArray f, const age::Header &) { return f.replace(21, 1, "\r\n"); },
            age::Failure::Header},
        Damage {"EndsInTheHeader", [](QByteArray f, const age::Header &h) { return f.left(h.macInputSize); },
            age::Failure::Header},
        Damage {"EndsBeforeTheNonce",
            [](QByteArray f, const age::Header &h) { return f.left(h.payloadOffset + 15); }, age::Failure::Header},
        Damage {"WorkFactorAboveTheLimit",
            [](QByteArray f, const age::Header &h) {
                const age::Stanza &s = h.stanzas[0];
                return withStanzaLine(f, "-> scrypt " + s.args[1] + " 30");
            },
            age::Failure::WorkFactorTooHigh},
        Damage {"KeyStanzaOnly",
            [](QByteArray f, const age::Header &) {
                return withStanzaLine(f, "-> X25519 TEiF0ypqr+bpvcqXNyCVJpL7OuwPdVwPL7KQEbFDOCc");
            },
            age::Failure::NotPassphraseFile},
        Damage {"SaltChanged",
            [](QByteArray f, const age::Header &h) {
                // Another salt, still canonical base64: a flipped bit could leave the alphabet.
                const qsizetype at = f.indexOf(h.stanzas[0].args[1]);
                f[at] = f[at] == 'A' ? 'B' : 'A';
                return f;
            },
            age::Failure::WrongPassphrase},
        Damage {"MacChanged",
            [](QByteArray f, const age::Header &h) {
                QByteArray mac = h.mac;
                mac[5] = char(mac[5] ^ 1);
                return f.replace(h.macInputSize + 1, 43, mac.toBase64(QByteArray::OmitTrailingEquals));
            },
            age::Failure::HeaderMac},
        Damage {"StanzaBodyChanged",
            [](QByteArray f, const age::Header &h) {
                QByteArray body = h.stanzas[0].body;
                body[0] = char(body[0] ^ 1);
                const QByteArray old = h.stanzas[0].body.toBase64(QByteArray::OmitTrailingEquals);
                return f.replace(f.indexOf(old), old.size(), body.toBase64(QByteArray::OmitTrailingEquals));
            },
            age::Failure::WrongPassphrase},
        Damage {"NonceChanged", [](QByteArray f, const age::Header &h) { return flipped(f, h.payloadOffset); },
            age::Failure::Payload},
        Damage {"FirstChunkChanged",
            [](QByteArray f, const age::Header &h) { return flipped(f, h.payloadOffset + 16 + 1000); },
            age::Failure::Payload},
        Damage {"LastTagChanged", [](QByteArray f, const age::Header &) { return flipped(f, f.size() - 1); },
            age::Failure::Payload},
        Damage {"LastChunkCut",
            [](QByteArray f, const age::Header &h) {
                return f.left(h.payloadOffset + 16 + age::chunkSize + 16);
            },
            age::Failure::Payload},
        Damage {"LastByteCut", [](QByteArray f, const age::Header &) { return f.left(f.size() - 1); },
            age::Failure::Payload},
        Damage {"TrailingData", [](QByteArray f, const age::Header &) { return f + "x"; }, age::Failure::Payload},
        Damage {"ChunksSwapped",
            [](QByteArray f, const age::Header &h) {
                const qsizetype first = h.payloadOffset + 16;
                const QByteArray a = f.mid(first, age::chunkSize + 16);
                const QByteArray b = f.mid(first + a.size());
                return f.left(first) + b + a;
            },
            age::Failure::Payload},
        Damage {"ArmorWithTextAround", [](QByteArray f, const age::Header &) { return "Hello\n" + armored(f); },
            age::Failure::Armor}),
    [](const testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });

// A wrong passphrase is told apart from damage, so the user is asked again.
// (A damaged key stanza cannot be told from a wrong passphrase: both only
// fail the stanza's tag, see StanzaBodyChanged above.)
TEST(AgeFile, AWrongPassphraseIsNotDamage)
{
    for (const QByteArray &wrong : {QByteArray("Pass"), QByteArray("pass "), QByteArray()}) {
        EXPECT_EQ(failureOf([&] { age::decrypt(twoChunkFile(), wrong); }), age::Failure::WrongPassphrase)
            << wrong.constData();
    }
    EXPECT_EQ(failureOf([&] { age::decrypt(twoChunkFile(), "pass"); }), std::nullopt);
}

TEST(AgeFile, TellsAKeyFileFromAPassphraseFileInItsMessage)
{
    const QByteArray file = withStanzaLine(twoChunkFile(), "-> X25519 TEiF0ypqr+bpvcqXNyCVJpL7OuwPdVwPL7KQEbFDOCc");
    try {
        age::decrypt(file, "pass");
        FAIL() << "opened a file encrypted to a key";
    } catch (const age::AgeError &e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("X25519"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QLatin1String("passphrase"))) << e.message().toStdString();
    }
}

struct Looks {
    QByteArray data;
    bool encrypted;
};

class LooksEncrypted : public testing::TestWithParam<Looks> { };

TEST_P(LooksEncrypted, DecidesByTheContent)
{
    EXPECT_EQ(age::looksEncrypted(GetParam().data), GetParam().encrypted) << GetParam().data.constData();
}

INSTANTIATE_TEST_SUITE_P(Starts, LooksEncrypted,
    testing::Values(Looks {"age-encryption.org/v1\n-> scrypt", true}, Looks {"age-encryption.org/v2\n", true},
        Looks {"\n \t-----BEGIN AGE ENCRYPTED FILE-----\n", true}, Looks {"-----BEGIN PGP MESSAGE-----\n", false},
        Looks {"<?xml version=\"1.0\"?>", false}, Looks {"", false}, Looks {" age-encryption.org/v1", false}));

TEST(SecureBytes, StartsZeroedCopiesMovesAndTruncates)
{
    SecureBytes zero(8);
    EXPECT_TRUE(zero.equals(QByteArray(8, '\0')));
    SecureBytes copy(QByteArrayView("secret"));
    EXPECT_TRUE(copy.equals("secret"));
    EXPECT_FALSE(copy.equals("secreT"));
    EXPECT_FALSE(copy.equals("secret!"));
    SecureBytes moved(std::move(copy));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_TRUE(moved.equals("secret"));
    moved.truncate(3);
    EXPECT_TRUE(moved.equals("sec"));
    EXPECT_EQ(moved.data()[3], 0) << "the cut-off bytes are wiped";
    zero = std::move(moved);
    EXPECT_TRUE(zero.equals("sec"));
    EXPECT_TRUE(SecureBytes().equals(""));
}

} // namespace
