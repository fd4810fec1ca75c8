// The public age test vectors (fixtures/age-testkit, one file per vector; see
// its README). Passphrase vectors are opened as a user would, with their
// passphrase. Vectors for keys (X25519, ML-KEM) are opened twice: with their
// file key, which checks the header syntax, the header MAC, the payload
// stream and the armor apart from the recipient; and with a passphrase,
// which we refuse as a file encrypted to keys unless it is already malformed
// before the stanzas are read.

#include "crypto/agefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>

namespace {

namespace age = tl::crypto::age;
using tl::crypto::SecureBytes;

const QString kitFolder = QStringLiteral(TL_FIXTURES "/age-testkit");

struct Vector {
    QByteArray expect;
    QByteArray payloadHash; // SHA-256, hex
    QByteArray fileKey;
    QList<QByteArray> passphrases;
    QByteArray file;
};

QByteArray inflate(const QByteArray &compressed)
{
    z_stream z {};
    if (inflateInit(&z) != Z_OK)
        return {};
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    z.avail_in = uInt(compressed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        char buffer[1 << 16];
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        rc = ::inflate(&z, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : QByteArray();
}

Vector loadVector(const std::string &name)
{
    QFile f(kitFolder + QLatin1Char('/') + QString::fromStdString(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    const qsizetype split = all.indexOf("\n\n");
    Vector v;
    v.file = all.mid(split + 2);
    bool compressed = false;
    for (const QByteArray &line : all.left(split).split('\n')) {
        const qsizetype colon = line.indexOf(": ");
        const QByteArray key = line.left(colon);
        const QByteArray value = line.mid(colon + 2);
        if (key == "expect")
            v.expect = value;
        else if (key == "payload")
            v.payloadHash = value;
        else if (key == "file key")
            v.fileKey = QByteArray::fromHex(value);
        else if (key == "passphrase")
            v.passphrases.append(value);
        else if (key == "compressed")
            compressed = value == "zlib";
    }
    if (compressed)
        v.file = inflate(v.file);
    return v;
}

std::vector<std::string> vectorNames(bool passphrase)
{
    std::vector<std::string> names;
    for (const QString &name : QDir(kitFolder).entryList(QDir::Files, QDir::Name)) {
        if (name.endsWith(QLatin1String(".md")))
            continue;
        // Only the vector's own header is read here: test discovery runs this.
        QFile f(kitFolder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        bool hasPassphrase = false;
        for (QByteArray line = f.readLine(); !line.isEmpty() && line != "\n"; line = f.readLine())
            hasPassphrase = hasPassphrase || line.startsWith("passphrase: ");
        if (hasPassphrase == passphrase)
            names.push_back(name.toStdString());
    }
    return names;
}

// What a vector's "expect:" calls the way we refused.
QByteArray category(age::Failure failure)
{
    switch (failure) {
    case age::Failure::NotAgeFile:
    case age::Failure::Header:
    case age::Failure::WorkFactorTooHigh:
        return "header failure";
    case age::Failure::Armor:
        return "armor failure";
    case age::Failure::HeaderMac:
        return "HMAC failure";
    case age::Failure::Payload:
        return "payload failure";
    case age::Failure::WrongPassphrase:
    case age::Failure::NotPassphraseFile:
        return "no match";
    case age::Failure::OutOfMemory:
        return "out of memory";
    }
    return "?";
}

struct Outcome {
    QByteArray result; // "success" or the category
    std::optional<age::Failure> failure;
    QByteArray payloadHash;
};

Outcome outcomeOf(const std::function<SecureBytes()> &open)
{
    try {
        const SecureBytes text = open();
        return {"success", std::nullopt,
            QCryptographicHash::hash(text.view(), QCryptographicHash::Sha256).toHex()};
    } catch (const age::AgeError &e) {
        EXPECT_FALSE(e.message().isEmpty());
        return {category(e.failure()), e.failure(), {}};
    }
}

std::string testName(const testing::TestParamInfo<std::string> &info)
{
    return info.param;
}

class PassphraseVector : public testing::TestWithParam<std::string> { };

TEST_P(PassphraseVector, GivesTheExpectedResult)
{
    const Vector v = loadVector(GetParam());
    ASSERT_FALSE(v.expect.isEmpty());
    // scrypt_double carries two passphrases, one per stanza: either is refused.
    for (const QByteArray &passphrase : v.passphrases) {
        const Outcome got = outcomeOf([&] { return age::decrypt(v.file, passphrase); });
        EXPECT_EQ(got.result, v.expect) << passphrase.constData();
        if (v.expect == "success") {
            EXPECT_EQ(got.payloadHash, v.payloadHash);
            const QByteArray binary = v.file.startsWith("age-") ? v.file : age::dearmor(v.file);
            const SecureBytes key = age::unwrapFileKey(age::parseHeader(binary), passphrase);
            EXPECT_TRUE(key.equals(v.fileKey));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AgeTestkit, PassphraseVector, testing::ValuesIn(vectorNames(true)), testName);

// Vectors whose expectation is about the key stanza itself (a share's
// length, encoding or order, the stanza's arguments, its wrapped key, or
// another identity): with the right file key in hand their header and
// payload are sound, and with a passphrase they are key files.
const QStringList recipientVectors = {
    QStringLiteral("armor_no_match"),
    QStringLiteral("hybrid_bad_tag"),
    QStringLiteral("hybrid_currupted_enc_mlkem"),
    QStringLiteral("hybrid_currupted_enc_x25519"),
    QStringLiteral("hybrid_extra_argument"),
    QStringLiteral("hybrid_identity"),
    QStringLiteral("hybrid_long_file_key"),
    QStringLiteral("hybrid_long_share"),
    QStringLiteral("hybrid_low_order"),
    QStringLiteral("hybrid_no_match"),
    QStringLiteral("hybrid_not_canonical_enc"),
    QStringLiteral("hybrid_short_share"),
    QStringLiteral("hybrid_uppercase"),
    QStringLiteral("hybrid_x25519_arg"),
    QStringLiteral("x25519_bad_tag"),
    QStringLiteral("x25519_extra_argument"),
    QStringLiteral("x25519_identity"),
    QStringLiteral("x25519_long_file_key"),
    QStringLiteral("x25519_long_share"),
    QStringLiteral("x25519_low_order"),
    QStringLiteral("x25519_lowercase"),
    QStringLiteral("x25519_no_match"),
    QStringLiteral("x25519_not_canonical_share"),
    QStringLiteral("x25519_short_share"),
};

class KeyVector : public testing::TestWithParam<std::string> { };

// The file opened with the vector's file key; nothing for the vectors whose
// stanza wraps a key longer than an age file key (the recipient refuses
// those before it unwraps anything).
std::optional<Outcome> withFileKey(const Vector &v)
{
    if (v.fileKey.size() != age::fileKeySize)
        return std::nullopt;
    return outcomeOf([&] { return age::decryptWithFileKey(v.file, SecureBytes(v.fileKey)); });
}

TEST_P(KeyVector, GivesTheExpectedResultWithItsFileKey)
{
    const Vector v = loadVector(GetParam());
    ASSERT_FALSE(v.expect.isEmpty());
    const bool aboutTheStanza = recipientVectors.contains(QString::fromStdString(GetParam()));
    const std::optional<Outcome> got = withFileKey(v);
    if (!got) {
        EXPECT_TRUE(aboutTheStanza);
        return;
    }
    EXPECT_EQ(got->result, aboutTheStanza ? QByteArray("success") : v.expect);
    if (v.expect == "success") {
        EXPECT_EQ(got->payloadHash, v.payloadHash);
    }
}

TEST_P(KeyVector, IsRefusedAsNotAPassphraseFile)
{
    const Vector v = loadVector(GetParam());
    const std::optional<Outcome> withKey = withFileKey(v);
    const Outcome got = outcomeOf([&] { return age::decrypt(v.file, "password"); });
    ASSERT_TRUE(got.failure.has_value());
    if (withKey && (withKey->result == "armor failure" || withKey->result == "header failure"))
        EXPECT_EQ(got.failure, withKey->failure);
    else
        EXPECT_EQ(got.failure, age::Failure::NotPassphraseFile);
}

INSTANTIATE_TEST_SUITE_P(AgeTestkit, KeyVector, testing::ValuesIn(vectorNames(false)), testName);

} // namespace
