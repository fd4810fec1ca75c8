#include "crypto/sealedfile.h"

#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <mutex>

#include <sys/prctl.h>

#include <sodium.h>

namespace tl::crypto {

Locked::Locked(const QString &path)
    : Error(QStringLiteral("\"%1\" is encrypted and locked: its passphrase is needed.")
                .arg(QDir::toNativeSeparators(path))),
      m_path(path)
{
}

SealedFile::SealedFile(SecureBytes header, SecureBytes fileKey)
    : m_header(std::move(header)), m_fileKey(std::move(fileKey))
{
}

std::shared_ptr<const SealedFile> SealedFile::unlock(QByteArrayView file, SecureBytes passphrase)
{
    QByteArray storage;
    const QByteArrayView binary = age::toBinary(file, storage);
    const age::Header header = age::parseHeader(binary);
    SecureBytes fileKey = age::unwrapFileKey(header, passphrase.view());
    passphrase = SecureBytes();
    age::verifyHeaderMac(header, fileKey);
    return std::make_shared<const SealedFile>(SecureBytes(header.text), std::move(fileKey));
}

std::shared_ptr<const SealedFile> SealedFile::create(SecureBytes passphrase, int workFactor)
{
    ensureSodium();
    SecureBytes fileKey = SecureBytes::uninitialized(age::fileKeySize);
    randombytes_buf(fileKey.data(), size_t(fileKey.size()));
    QByteArray header = age::makeScryptHeader(fileKey, passphrase.view(), workFactor);
    passphrase = SecureBytes();
    return std::make_shared<const SealedFile>(SecureBytes(header), std::move(fileKey));
}

SecureBytes SealedFile::open(QByteArrayView file) const
{
    QByteArray storage;
    const QByteArrayView binary = age::toBinary(file, storage);
    const age::Header header = age::parseHeader(binary);
    if (!m_header.equals(header.text))
        throw age::AgeError(age::Failure::Rekeyed,
                            QStringLiteral("The file was encrypted again elsewhere (its passphrase may have "
                                           "changed): its passphrase is needed."));
    SecureBytes plain = age::decryptWithFileKey(binary, m_fileKey);
    wipe(storage);
    return plain;
}

QByteArray SealedFile::seal(QByteArrayView plain) const
{
    QByteArray file;
    file.reserve(m_header.size() + plain.size() + plain.size() / age::chunkSize * 16 + 64);
    file.append(reinterpret_cast<const char *>(m_header.data()), m_header.size());
    age::appendPayload(file, plain, m_fileKey);
    return file;
}

bool isEncryptedFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Blank space may stand before the armor.
    return age::looksEncrypted(file.read(4096));
}

QByteArray readPlainFile(const QString &path)
{
    QByteArray bytes = readWholeFile(path);
    if (!age::looksEncrypted(bytes))
        return bytes;
    const auto seal = keyring::sealFor(path);
    if (!seal)
        throw Locked(path);
    return seal->open(bytes).view().toByteArray();
}

void writePlainFile(const QString &path, QByteArrayView plain)
{
    if (const auto seal = keyring::sealFor(path))
        writeFileAtomically(path, seal->seal(plain));
    else
        writeFileAtomically(path, plain.toByteArray());
}

} // namespace tl::crypto

namespace tl::crypto::keyring {

namespace {

struct Ring {
    std::mutex mutex;
    QHash<QString, std::shared_ptr<const SealedFile>> seals;
};

Ring &ring()
{
    static Ring r;
    return r;
}

QString keyOf(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

void keep(const QString &path, std::shared_ptr<const SealedFile> seal)
{
    // From the first unlock on, no core dump and no other process of this
    // user reading our memory: freed memory may still hold plain text.
    if (seal)
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    Ring &r = ring();
    const std::lock_guard lock(r.mutex);
    if (seal)
        r.seals.insert(keyOf(path), std::move(seal));
    else
        r.seals.remove(keyOf(path));
}

std::shared_ptr<const SealedFile> sealFor(const QString &path)
{
    Ring &r = ring();
    const std::lock_guard lock(r.mutex);
    return r.seals.value(keyOf(path));
}

void forget(const QString &path)
{
    keep(path, nullptr);
}

void forgetAll()
{
    Ring &r = ring();
    const std::lock_guard lock(r.mutex);
    r.seals.clear();
}

} // namespace tl::crypto::keyring
