#pragma once
// An encrypted file held open: its header and file key, kept in locked
// memory for as long as the file is unlocked, so that every write
// re-encrypts with the same header and a fresh payload nonce and costs no
// key derivation. The passphrase is needed only to unlock or to make one.

#include "crypto/agefile.h"
#include "crypto/securebytes.h"
#include "platform/error.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace tl::crypto {

// A file holds encrypted content and is not unlocked: its key is asked for.
class Locked : public Error {
public:
    explicit Locked(const QString &path);
    const QString &path() const noexcept { return m_path; }

private:
    QString m_path;
};

class SealedFile {
public:
    // The key of file (its whole content, binary or armored) from the
    // passphrase, which is wiped either way. Throws age::AgeError as
    // age::decrypt does for the header (a wrong passphrase included).
    static std::shared_ptr<const SealedFile> unlock(QByteArrayView file, SecureBytes passphrase);
    // A new file key and header for passphrase (wiped afterwards).
    static std::shared_ptr<const SealedFile> create(SecureBytes passphrase,
                                                    int workFactor = age::defaultWorkFactor);

    // The plain content of file. A header other than the kept one throws
    // age::AgeError with Failure::Rekeyed (the passphrase was changed
    // elsewhere: ask again); any damage throws as age::decrypt does.
    SecureBytes open(QByteArrayView file) const;
    // A whole new file for plain, under the kept header.
    QByteArray seal(QByteArrayView plain) const;

    SealedFile(SecureBytes header, SecureBytes fileKey);

private:
    SecureBytes m_header;
    SecureBytes m_fileKey;
};

// The start of path holds the age header or its armor.
bool isEncryptedFile(const QString &path);

// A whole document's bytes as its reader sees them: decrypted with the seal
// kept for path, or as they are. Encrypted content with none throws Locked.
QByteArray readPlainFile(const QString &path);
// Writes plain to path atomically: encrypted when path has a seal kept.
void writePlainFile(const QString &path, QByteArrayView plain);

} // namespace tl::crypto

namespace tl::crypto::keyring {

// The files unlocked in this process, by absolute path: every reader and
// writer of a notes file looks here, so an encrypted file's plain text
// exists only in memory. Forgetting a seal locks its file again (what was
// read of it stays in its readers' caches until they drop it).
void keep(const QString &path, std::shared_ptr<const SealedFile> seal);
std::shared_ptr<const SealedFile> sealFor(const QString &path);
void forget(const QString &path);
void forgetAll();

} // namespace tl::crypto::keyring
