#pragma once
// Files in the age v1 format (age-encryption.org/v1) with a passphrase: the
// format Debian's `age` command reads and writes, so `age -d` opens what we
// write and we open what `age -p` wrote. Widget-free and all in memory.
//
// A file is a text header that wraps a random 16-byte file key (for us: one
// "scrypt" stanza, the key sealed with a key derived from the passphrase),
// a MAC over the header, then the payload: a 16-byte nonce and the text in
// ChaCha20-Poly1305 chunks of 64 KiB, each numbered, the last one marked.
// Both the binary form and the armored (PEM) text form are read; the binary
// form is written.
//
// Every refusal throws AgeError: a message a user can act on, and the kind,
// so a wrong passphrase can ask again while a damaged file is reported.
// Nothing of the text is returned unless the whole file checked out.

#include "crypto/securebytes.h"
#include "platform/error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace tl::crypto::age {

// age's own default for writing; reading refuses anything above maxWorkFactor
// (each step doubles the time and memory: 22 is about 4 GiB).
constexpr int defaultWorkFactor = 18;
constexpr int maxWorkFactor = 22;
constexpr qsizetype chunkSize = 64 * 1024;
constexpr qsizetype fileKeySize = 16;

enum class Failure {
    NotAgeFile, // neither the age header nor its armor
    Armor, // the armored form is broken or not strict
    Header, // the header breaks the format, or a newer version
    WorkFactorTooHigh, // the passphrase stanza asks for more than maxWorkFactor
    NotPassphraseFile, // encrypted to keys, not with a passphrase
    WrongPassphrase,
    OutOfMemory, // not enough memory to derive the key at that work factor
    HeaderMac, // the header was changed after it was written
    Payload, // a chunk damaged, missing, truncated, or data after the end
    Rekeyed, // the header is not the one the kept key was taken from
};

class AgeError : public Error {
public:
    AgeError(Failure failure, const QString &message)
        : Error(message), m_failure(failure) {}
    Failure failure() const noexcept { return m_failure; }

private:
    Failure m_failure;
};

struct Stanza {
    QList<QByteArray> args; // args[0] is the recipient type
    QByteArray body;
};

struct Header {
    QList<Stanza> stanzas;
    QByteArray text; // the header as stored, through the MAC line's LF
    qsizetype macInputSize = 0; // text up to and including "---"
    QByteArray mac; // 32 bytes
    qsizetype payloadOffset = 0; // where the payload nonce starts
};

// The content decides: the binary header, or (after blank space) the armor.
bool looksEncrypted(QByteArrayView data);

// The binary file inside an armored one, under the strict rules (64-column
// lines, canonical padded base64, no headers, blank space only around it).
QByteArray dearmor(QByteArrayView armored);

// The header of a binary file and where its payload starts. Checks the
// syntax only (and that the 16-byte payload nonce is there).
Header parseHeader(QByteArrayView binary);

// The file key from the header's single scrypt stanza. The stanza's form is
// checked before any key derivation, and the work factor is limited.
SecureBytes unwrapFileKey(const Header &header, QByteArrayView passphrase);

void verifyHeaderMac(const Header &header, const SecureBytes &fileKey);

// payload: the nonce and the chunks, up to the end of the file.
SecureBytes decryptPayload(QByteArrayView payload, const SecureBytes &fileKey);
QByteArray encryptPayload(QByteArrayView plaintext, const SecureBytes &fileKey);
// The payload appended to out, encrypted in place (no copy of a large text).
void appendPayload(QByteArray &out, QByteArrayView plaintext, const SecureBytes &fileKey);

// The binary form of a whole file: itself, or the armor decoded into
// storage. Throws for a file that is neither.
QByteArrayView toBinary(QByteArrayView file, QByteArray &storage);

// A complete header (through the MAC line) that wraps fileKey for passphrase.
QByteArray makeScryptHeader(const SecureBytes &fileKey, QByteArrayView passphrase, int workFactor);

// The whole file, binary or armored; the passphrase as UTF-8.
SecureBytes decrypt(QByteArrayView file, QByteArrayView passphrase);
// The same with a known file key, passing over the recipient stanzas.
SecureBytes decryptWithFileKey(QByteArrayView file, const SecureBytes &fileKey);

// A new binary age file: fresh file key, salt and nonce. An empty passphrase
// or a work factor outside 1..maxWorkFactor throws tl::Error.
QByteArray encrypt(QByteArrayView plaintext, QByteArrayView passphrase, int workFactor = defaultWorkFactor);

} // namespace tl::crypto::age
