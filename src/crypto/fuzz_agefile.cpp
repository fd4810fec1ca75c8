// libFuzzer target: any bytes as an age file. Every refusal is an AgeError
// (nothing else escapes, nothing crashes); what opens with the testkit's file
// key or with the passphrase "password" comes back the same through a new
// payload or a new file. Passphrase files with a work factor above 10 are
// only parsed, so one input never costs seconds.

#include "crypto/agefile.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

namespace age = tl::crypto::age;
using tl::crypto::SecureBytes;

constexpr int fuzzWorkFactorLimit = 10;

std::optional<QByteArray> binaryOf(const QByteArray &bytes)
{
    if (bytes.startsWith("age-encryption.org/"))
        return bytes;
    try {
        return age::dearmor(bytes);
    } catch (const age::AgeError &) {
        return std::nullopt;
    }
}

bool cheapPassphraseFile(const age::Header &header)
{
    for (const age::Stanza &s : header.stanzas)
        if (s.args.value(0) == "scrypt" && s.args.value(2).size() <= 2 && s.args.value(2).toInt() > fuzzWorkFactorLimit)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)age::looksEncrypted(bytes);

    // The testkit's file key ("YELLOW SUBMARINE") opens its vectors' payloads.
    const SecureBytes key(QByteArrayView("YELLOW SUBMARINE"));
    try {
        const SecureBytes text = age::decryptWithFileKey(bytes, key);
        if (!age::decryptPayload(age::encryptPayload(text.view(), key), key).equals(text.view()))
            std::abort();
    } catch (const age::AgeError &) {
    }

    // The stream decryptor on its own, over whatever follows the header (or
    // the whole input), so damaged headers do not hide it.
    const std::optional<QByteArray> binary = binaryOf(bytes);
    qsizetype payloadAt = 0;
    std::optional<age::Header> header;
    if (binary) {
        try {
            header = age::parseHeader(*binary);
            payloadAt = header->payloadOffset;
        } catch (const age::AgeError &) {
        }
    }
    try {
        (void)age::decryptPayload(QByteArrayView(binary ? *binary : bytes).sliced(payloadAt), key);
    } catch (const age::AgeError &) {
    }

    if (header && cheapPassphraseFile(*header)) {
        try {
            const SecureBytes text = age::decrypt(bytes, "password");
            const QByteArray again = age::encrypt(text.view(), "password", 2);
            if (!age::decrypt(again, "password").equals(text.view()))
                std::abort();
        } catch (const age::AgeError &) {
        }
    }
    return 0;
}
