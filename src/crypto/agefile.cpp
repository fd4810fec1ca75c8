#include "crypto/agefile.h"

#include <QFile>

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace tl::crypto::age {
namespace {

constexpr QByteArrayView versionPrefix = "age-encryption.org/";
constexpr QByteArrayView versionLine = "age-encryption.org/v1";
constexpr QByteArrayView armorBegin = "-----BEGIN AGE ENCRYPTED FILE-----";
constexpr QByteArrayView armorEnd = "-----END AGE ENCRYPTED FILE-----";
constexpr QByteArrayView scryptLabel = "age-encryption.org/v1/scrypt";
constexpr qsizetype tagSize = crypto_aead_chacha20poly1305_ietf_ABYTES;
constexpr qsizetype nonceSize = 16;
constexpr qsizetype keySize = 32;
constexpr qsizetype macSize = 32;
constexpr qsizetype saltSize = 16;
constexpr qsizetype columns = 64;

static_assert(crypto_aead_chacha20poly1305_ietf_KEYBYTES == keySize);
static_assert(crypto_aead_chacha20poly1305_ietf_NPUBBYTES == 12);

[[noreturn]] void fail(Failure failure, const QString &message)
{
    throw AgeError(failure, message);
}

[[noreturn]] void notAgeFile()
{
    fail(Failure::NotAgeFile, QStringLiteral("This is not an age encrypted file."));
}

[[noreturn]] void headerDamaged(const char *reason)
{
    fail(Failure::Header, QStringLiteral("The header of the encrypted file is damaged: %1.").arg(QLatin1String(reason)));
}

[[noreturn]] void armorDamaged(const char *reason)
{
    fail(Failure::Armor,
        QStringLiteral("The text (armored) form of the encrypted file is damaged: %1.").arg(QLatin1String(reason)));
}

[[noreturn]] void payloadDamaged(const QString &reason)
{
    fail(Failure::Payload, QStringLiteral("The encrypted file is damaged or truncated: %1.").arg(reason));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Standard base64, canonical only (the unused low bits are zero), with '='
// padding exactly where it belongs when padded, and none otherwise.
std::optional<QByteArray> decodeBase64(QByteArrayView text, bool padded)
{
    qsizetype size = text.size();
    if (padded) {
        if (size % 4 != 0)
            return std::nullopt;
        int pads = 0;
        while (pads < 2 && size > 0 && text[size - 1] == '=') {
            --size;
            ++pads;
        }
        if ((4 - size % 4) % 4 != pads)
            return std::nullopt;
    }
    if (size % 4 == 1)
        return std::nullopt;
    QByteArray out;
    out.reserve(size / 4 * 3 + 2);
    quint32 acc = 0;
    int bits = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const int v = sextet(text[i]);
        if (v < 0)
            return std::nullopt;
        acc = (acc << 6) | quint32(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.append(char((acc >> bits) & 0xff));
            acc &= (1u << bits) - 1;
        }
    }
    if (acc != 0)
        return std::nullopt;
    return out;
}

QByteArray encodeBase64(QByteArrayView bytes)
{
    return bytes.toByteArray().toBase64(QByteArray::OmitTrailingEquals);
}

// The line at pos without its LF; pos moves past the LF. Nothing when no LF
// is left.
std::optional<QByteArrayView> takeLine(QByteArrayView data, qsizetype &pos)
{
    if (pos >= data.size())
        return std::nullopt;
    const void *lf = std::memchr(data.data() + pos, '\n', size_t(data.size() - pos));
    if (!lf)
        return std::nullopt;
    const qsizetype end = static_cast<const char *>(lf) - data.data();
    const QByteArrayView line = data.sliced(pos, end - pos);
    pos = end + 1;
    return line;
}

QList<QByteArrayView> splitOnSpaces(QByteArrayView text)
{
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool isVisibleAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x21 && c <= 0x7e; });
}

// HKDF-SHA-256 (RFC 5869) for one 32-byte block, on libsodium's HMAC.
SecureBytes hkdf(QByteArrayView ikm, QByteArrayView salt, QByteArrayView info)
{
    crypto_auth_hmacsha256_state state;
    unsigned char prk[crypto_auth_hmacsha256_BYTES];
    crypto_auth_hmacsha256_init(&state, reinterpret_cast<const unsigned char *>(salt.data()), size_t(salt.size()));
    crypto_auth_hmacsha256_update(&state, reinterpret_cast<const unsigned char *>(ikm.data()), quint64(ikm.size()));
    crypto_auth_hmacsha256_final(&state, prk);

    SecureBytes okm(keySize);
    const unsigned char counter = 1;
    crypto_auth_hmacsha256_init(&state, prk, sizeof prk);
    crypto_auth_hmacsha256_update(&state, reinterpret_cast<const unsigned char *>(info.data()), quint64(info.size()));
    crypto_auth_hmacsha256_update(&state, &counter, 1);
    crypto_auth_hmacsha256_final(&state, okm.data());
    sodium_memzero(prk, sizeof prk);
    sodium_memzero(&state, sizeof state);
    return okm;
}

QByteArray headerMac(const Header &header, const SecureBytes &fileKey)
{
    const SecureBytes key = hkdf(fileKey.view(), {}, "header");
    QByteArray mac(macSize, Qt::Uninitialized);
    crypto_auth_hmacsha256_state state;
    crypto_auth_hmacsha256_init(&state, key.data(), size_t(key.size()));
    crypto_auth_hmacsha256_update(
        &state, reinterpret_cast<const unsigned char *>(header.text.constData()), quint64(header.macInputSize));
    crypto_auth_hmacsha256_final(&state, reinterpret_cast<unsigned char *>(mac.data()));
    sodium_memzero(&state, sizeof state);
    return mac;
}

// What a work factor costs in memory: scrypt's V array, 128 * r * N bytes.
quint64 scryptMemory(int workFactor)
{
    return quint64(128) * 8 * (quint64(1) << workFactor);
}

// MemAvailable from /proc/meminfo; 0 when unknown.
quint64 availableMemory()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray all = f.readAll();
    for (const QByteArray &line : all.split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        bool ok = false;
        const quint64 kib = line.mid(13).trimmed().split(' ').value(0).toULongLong(&ok);
        return ok ? kib * 1024 : 0;
    }
    return 0;
}

SecureBytes scryptKey(QByteArrayView passphrase, QByteArrayView salt, int workFactor)
{
    ensureSodium();
    // A machine that would have to swap (or kill us) to find the key is told
    // so rather than left to hang.
    const quint64 needed = scryptMemory(workFactor);
    const quint64 available = availableMemory();
    const auto tooLittle = [&] {
        fail(Failure::OutOfMemory,
            QStringLiteral("There is not enough free memory to check the passphrase: the file's work factor %1 "
                           "needs %2 MiB.")
                .arg(workFactor)
                .arg(needed >> 20));
    };
    if (available != 0 && needed > available)
        tooLittle();
    QByteArray fullSalt = scryptLabel.toByteArray();
    fullSalt += salt;
    SecureBytes key(keySize);
    if (crypto_pwhash_scryptsalsa208sha256_ll(reinterpret_cast<const uint8_t *>(passphrase.data()),
            size_t(passphrase.size()), reinterpret_cast<const uint8_t *>(fullSalt.constData()), size_t(fullSalt.size()),
            quint64(1) << workFactor, 8, 1, key.data(), size_t(key.size()))
        != 0)
        tooLittle();
    return key;
}

// The 12-byte STREAM nonce: an 11-byte big-endian chunk counter, then 1 for
// the last chunk.
void setChunkNonce(unsigned char (&nonce)[12], quint64 counter, bool last)
{
    std::memset(nonce, 0, sizeof nonce);
    for (int i = 0; i < 8; ++i)
        nonce[10 - i] = static_cast<unsigned char>(counter >> (8 * i));
    nonce[11] = last ? 1 : 0;
}

bool openChunk(unsigned char *out, qsizetype &outSize, const unsigned char *in, qsizetype inSize, quint64 counter,
    bool last, const SecureBytes &key)
{
    unsigned char nonce[12];
    setChunkNonce(nonce, counter, last);
    unsigned long long size = 0;
    const bool ok = crypto_aead_chacha20poly1305_ietf_decrypt(
                        out, &size, nullptr, in, quint64(inSize), nullptr, 0, nonce, key.data())
        == 0;
    outSize = ok ? qsizetype(size) : 0;
    return ok;
}

} // namespace

void appendPayload(QByteArray &out, QByteArrayView plaintext, const SecureBytes &fileKey)
{
    ensureSodium();
    const qsizetype size = plaintext.size();
    const qsizetype chunks = size == 0 ? 1 : (size + chunkSize - 1) / chunkSize;
    const qsizetype start = out.size();
    out.resize(start + nonceSize + size + chunks * tagSize);
    auto *dst = reinterpret_cast<unsigned char *>(out.data()) + start;
    randombytes_buf(dst, nonceSize);
    const SecureBytes key = hkdf(fileKey.view(), QByteArrayView(dst, nonceSize), "payload");
    dst += nonceSize;
    const auto *src = reinterpret_cast<const unsigned char *>(plaintext.data());
    unsigned char nonce[12];
    for (qsizetype i = 0; i < chunks; ++i) {
        const qsizetype len = std::min(chunkSize, size - i * chunkSize);
        setChunkNonce(nonce, quint64(i), i == chunks - 1);
        unsigned long long written = 0;
        crypto_aead_chacha20poly1305_ietf_encrypt(
            dst, &written, src + i * chunkSize, quint64(len), nullptr, 0, nullptr, nonce, key.data());
        dst += written;
    }
}

QByteArrayView toBinary(QByteArrayView file, QByteArray &storage)
{
    if (file.startsWith(versionPrefix))
        return file;
    qsizetype start = 0;
    while (start < file.size() && isBlank(file[start]))
        ++start;
    if (file.sliced(start).startsWith("-----") || file.indexOf(armorBegin) >= 0) {
        storage = dearmor(file);
        return storage;
    }
    notAgeFile();
}

bool looksEncrypted(QByteArrayView data)
{
    if (data.startsWith(versionPrefix))
        return true;
    qsizetype start = 0;
    while (start < data.size() && isBlank(data[start]))
        ++start;
    return data.sliced(start).startsWith(armorBegin);
}

QByteArray dearmor(QByteArrayView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    // Lines end in LF or CR LF; the END line may end the file without one.
    const auto next = [&]() -> std::optional<QByteArrayView> {
        if (pos >= text.size())
            return std::nullopt;
        std::optional<QByteArrayView> line = takeLine(text, pos);
        if (!line) {
            line = text.sliced(pos);
            pos = text.size();
        }
        if (line->endsWith('\r'))
            line->chop(1);
        return line;
    };
    const std::optional<QByteArrayView> first = next();
    if (!first || *first != armorBegin)
        armorDamaged("it does not start with the line -----BEGIN AGE ENCRYPTED FILE-----");
    QByteArray base64;
    bool lastLineSeen = false;
    for (;;) {
        const std::optional<QByteArrayView> line = next();
        if (!line)
            armorDamaged("the line -----END AGE ENCRYPTED FILE----- is missing");
        if (*line == armorEnd)
            break;
        if (lastLineSeen)
            armorDamaged("a line before the last one is shorter than 64 columns");
        if (line->isEmpty())
            armorDamaged("it has an empty line");
        if (line->size() > columns)
            armorDamaged("a line is longer than 64 columns");
        lastLineSeen = line->size() < columns;
        base64 += *line;
    }
    for (; pos < text.size(); ++pos)
        if (!isBlank(text[pos]))
            armorDamaged("there is text after its END line");
    std::optional<QByteArray> binary = decodeBase64(base64, true);
    if (!binary)
        armorDamaged("it is not strict base64");
    return *binary;
}

Header parseHeader(QByteArrayView data)
{
    if (!data.startsWith(versionPrefix))
        notAgeFile();
    qsizetype pos = 0;
    std::optional<QByteArrayView> line = takeLine(data, pos);
    if (!line)
        headerDamaged("the file ends inside the header");
    if (line->endsWith('\r'))
        headerDamaged("its lines end in CR LF (was it converted as text?)");
    if (*line != versionLine)
        fail(Failure::Header,
            QStringLiteral("The file is in a newer age format (%1), which this program cannot read.")
                .arg(QString::fromLatin1(line->sliced(versionPrefix.size()).first(
                    std::min<qsizetype>(line->size() - versionPrefix.size(), 40)))));

    Header header;
    for (;;) {
        const qsizetype lineStart = pos;
        line = takeLine(data, pos);
        if (!line)
            headerDamaged("the file ends inside the header");
        if (line->startsWith("---")) {
            if (header.stanzas.isEmpty())
                headerDamaged("it has no recipient stanza");
            std::optional<QByteArray> mac;
            if (line->startsWith("--- ") && line->size() == 4 + 43)
                mac = decodeBase64(line->sliced(4), false);
            if (!mac || mac->size() != macSize)
                headerDamaged("its MAC line is malformed");
            header.mac = *mac;
            header.macInputSize = lineStart + 3;
            header.text = data.first(pos).toByteArray();
            header.payloadOffset = pos;
            break;
        }
        if (!line->startsWith("-> "))
            headerDamaged("a line is neither a stanza nor the MAC line");
        Stanza stanza;
        for (QByteArrayView arg : splitOnSpaces(line->sliced(3))) {
            if (arg.isEmpty() || !isVisibleAscii(arg))
                headerDamaged("a stanza has an empty or invalid argument");
            stanza.args.append(arg.toByteArray());
        }
        QByteArray body;
        for (;;) {
            const std::optional<QByteArrayView> bodyLine = takeLine(data, pos);
            if (!bodyLine)
                headerDamaged("the file ends inside the header");
            if (bodyLine->size() > columns)
                headerDamaged("a stanza line is longer than 64 columns");
            body += *bodyLine;
            if (bodyLine->size() < columns)
                break;
        }
        std::optional<QByteArray> decoded = decodeBase64(body, false);
        if (!decoded)
            headerDamaged("a stanza body is not canonical base64");
        stanza.body = *decoded;
        header.stanzas.append(stanza);
    }
    if (data.size() - header.payloadOffset < nonceSize)
        headerDamaged("the file ends before the payload nonce");
    return header;
}

SecureBytes unwrapFileKey(const Header &header, QByteArrayView passphrase)
{
    const Stanza *scrypt = nullptr;
    QStringList types;
    for (const Stanza &s : header.stanzas) {
        if (s.args.value(0) == "scrypt")
            scrypt = &s;
        const QString type = QString::fromLatin1(s.args.value(0).left(40));
        if (!types.contains(type))
            types.append(type);
    }
    if (scrypt && header.stanzas.size() > 1)
        headerDamaged("a passphrase stanza must be the only stanza");
    if (!scrypt)
        fail(Failure::NotPassphraseFile,
            QStringLiteral("The file is encrypted to keys (%1), not with a passphrase: only files encrypted with a "
                           "passphrase can be opened.")
                .arg(types.join(QStringLiteral(", "))));

    // Everything about the stanza is checked before the costly derivation.
    if (scrypt->args.size() != 3)
        headerDamaged("the passphrase stanza does not have three arguments");
    const std::optional<QByteArray> salt = decodeBase64(scrypt->args[1], false);
    if (!salt || salt->size() != saltSize)
        headerDamaged("the passphrase stanza's salt is malformed");
    const QByteArray &factorText = scrypt->args[2];
    const bool decimal = !factorText.isEmpty() && factorText[0] >= '1' && factorText[0] <= '9'
        && std::all_of(factorText.begin(), factorText.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!decimal)
        headerDamaged("the passphrase stanza's work factor is not a plain number");
    if (factorText.size() > 2 || factorText.toInt() > maxWorkFactor)
        fail(Failure::WorkFactorTooHigh,
            QStringLiteral("The file asks for a passphrase work factor of %1; at most %2 is accepted, as a higher one "
                           "could keep the computer busy for hours.")
                .arg(QString::fromLatin1(factorText.left(20)))
                .arg(maxWorkFactor));
    if (scrypt->body.size() != fileKeySize + tagSize)
        headerDamaged("the passphrase stanza's body has the wrong length");

    const SecureBytes wrapKey = scryptKey(passphrase, *salt, factorText.toInt());
    SecureBytes fileKey(fileKeySize);
    const unsigned char zeroNonce[12] = {};
    unsigned long long size = 0;
    if (crypto_aead_chacha20poly1305_ietf_decrypt(fileKey.data(), &size, nullptr,
            reinterpret_cast<const unsigned char *>(scrypt->body.constData()), quint64(scrypt->body.size()), nullptr,
            0, zeroNonce, wrapKey.data())
        != 0)
        fail(Failure::WrongPassphrase, QStringLiteral("The passphrase is wrong."));
    return fileKey;
}

void verifyHeaderMac(const Header &header, const SecureBytes &fileKey)
{
    const QByteArray mac = headerMac(header, fileKey);
    if (header.mac.size() != macSize
        || crypto_verify_32(reinterpret_cast<const unsigned char *>(mac.constData()),
               reinterpret_cast<const unsigned char *>(header.mac.constData()))
            != 0)
        fail(Failure::HeaderMac,
            QStringLiteral("The encrypted file is damaged: its header does not match the header's checksum (MAC)."));
}

SecureBytes decryptPayload(QByteArrayView payload, const SecureBytes &fileKey)
{
    if (payload.size() < nonceSize)
        payloadDamaged(QStringLiteral("the payload nonce is missing"));
    const SecureBytes key = hkdf(fileKey.view(), payload.first(nonceSize), "payload");
    const auto *in = reinterpret_cast<const unsigned char *>(payload.data()) + nonceSize;
    const qsizetype inSize = payload.size() - nonceSize;
    if (inSize == 0)
        payloadDamaged(QStringLiteral("the text after the header is missing"));

    // On any failure out goes out of scope: wiped, nothing returned.
    SecureBytes out = SecureBytes::uninitialized(inSize);
    constexpr qsizetype full = chunkSize + tagSize;
    qsizetype pos = 0;
    qsizetype written = 0;
    for (quint64 counter = 0;; ++counter) {
        const qsizetype rest = inSize - pos;
        qsizetype size = 0;
        if (rest > full) {
            if (!openChunk(out.data() + written, size, in + pos, full, counter, false, key)) {
                if (openChunk(out.data() + written, size, in + pos, full, counter, true, key))
                    payloadDamaged(QStringLiteral("there is data after the end of the text"));
                payloadDamaged(QStringLiteral("part %1 of the text does not match its checksum").arg(counter + 1));
            }
            pos += full;
            written += size;
            continue;
        }
        if (rest < tagSize)
            payloadDamaged(QStringLiteral("it ends before the last part of the text"));
        if (openChunk(out.data() + written, size, in + pos, rest, counter, true, key)) {
            if (size == 0 && counter != 0)
                payloadDamaged(QStringLiteral("the last part of the text is empty"));
            written += size;
            break;
        }
        if (rest == full && openChunk(out.data() + written, size, in + pos, rest, counter, false, key))
            payloadDamaged(QStringLiteral("it ends before the last part of the text"));
        payloadDamaged(QStringLiteral("part %1 of the text does not match its checksum").arg(counter + 1));
    }
    out.truncate(written);
    return out;
}

QByteArray encryptPayload(QByteArrayView plaintext, const SecureBytes &fileKey)
{
    QByteArray out;
    appendPayload(out, plaintext, fileKey);
    return out;
}

QByteArray makeScryptHeader(const SecureBytes &fileKey, QByteArrayView passphrase, int workFactor)
{
    if (workFactor < 1 || workFactor > maxWorkFactor)
        throw Error(QStringLiteral("The work factor %1 is outside 1 to %2.").arg(workFactor).arg(maxWorkFactor));
    if (passphrase.isEmpty())
        throw Error(QStringLiteral("The passphrase is empty."));
    if (fileKey.size() != fileKeySize)
        throw Error(QStringLiteral("The file key must be %1 bytes.").arg(fileKeySize));
    ensureSodium();
    QByteArray salt(saltSize, Qt::Uninitialized);
    randombytes_buf(salt.data(), size_t(salt.size()));
    const SecureBytes wrapKey = scryptKey(passphrase, salt, workFactor);
    QByteArray body(fileKeySize + tagSize, Qt::Uninitialized);
    const unsigned char zeroNonce[12] = {};
    crypto_aead_chacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char *>(body.data()), nullptr,
        fileKey.data(), quint64(fileKey.size()), nullptr, 0, nullptr, zeroNonce, wrapKey.data());

    Header header;
    header.text = versionLine.toByteArray() + "\n-> scrypt " + encodeBase64(salt) + ' '
        + QByteArray::number(workFactor) + '\n' + encodeBase64(body) + "\n---";
    header.macInputSize = header.text.size();
    header.text += ' ' + encodeBase64(headerMac(header, fileKey)) + '\n';
    return header.text;
}

SecureBytes decrypt(QByteArrayView file, QByteArrayView passphrase)
{
    QByteArray storage;
    const QByteArrayView binary = toBinary(file, storage);
    const Header header = parseHeader(binary);
    const SecureBytes fileKey = unwrapFileKey(header, passphrase);
    verifyHeaderMac(header, fileKey);
    return decryptPayload(binary.sliced(header.payloadOffset), fileKey);
}

SecureBytes decryptWithFileKey(QByteArrayView file, const SecureBytes &fileKey)
{
    if (fileKey.size() != fileKeySize)
        throw Error(QStringLiteral("The file key must be %1 bytes.").arg(fileKeySize));
    QByteArray storage;
    const QByteArrayView binary = toBinary(file, storage);
    const Header header = parseHeader(binary);
    verifyHeaderMac(header, fileKey);
    return decryptPayload(binary.sliced(header.payloadOffset), fileKey);
}

QByteArray encrypt(QByteArrayView plaintext, QByteArrayView passphrase, int workFactor)
{
    ensureSodium();
    SecureBytes fileKey = SecureBytes::uninitialized(fileKeySize);
    randombytes_buf(fileKey.data(), size_t(fileKey.size()));
    QByteArray file = makeScryptHeader(fileKey, passphrase, workFactor);
    appendPayload(file, plaintext, fileKey);
    return file;
}

} // namespace tl::crypto::age
