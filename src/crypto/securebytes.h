#pragma once
// Bytes that must not outlive their use: keys, passphrases, decrypted text.
// They live in memory of their own, locked against swapping where the
// system allows it, fenced by guard pages, and wiped when they go.

#include <QByteArray>
#include <QByteArrayView>

namespace tl::crypto {

class SecureBytes {
public:
    SecureBytes() = default;
    // size bytes, all zero.
    explicit SecureBytes(qsizetype size);
    // A copy of bytes; wiping the source is up to the caller.
    explicit SecureBytes(QByteArrayView bytes);
    // size bytes holding garbage until written.
    static SecureBytes uninitialized(qsizetype size);
    ~SecureBytes();

    SecureBytes(SecureBytes &&other) noexcept;
    SecureBytes &operator=(SecureBytes &&other) noexcept;
    SecureBytes(const SecureBytes &) = delete;
    SecureBytes &operator=(const SecureBytes &) = delete;

    unsigned char *data() { return m_data; }
    const unsigned char *data() const { return m_data; }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    QByteArrayView view() const { return {m_data, m_size}; }

    // Keeps the first size bytes and wipes the rest (no reallocation).
    void truncate(qsizetype size);
    // Constant time in the length compared.
    bool equals(QByteArrayView other) const;

private:
    struct Uninitialized { };
    SecureBytes(qsizetype size, Uninitialized);
    void release() noexcept;

    unsigned char *m_data = nullptr;
    qsizetype m_size = 0;
};

// Overwrites bytes with zeros where they are (a copy of a secret that had to
// be made in ordinary memory).
void wipe(QByteArray &bytes) noexcept;

// Prepares libsodium once; throws tl::Error if the library cannot start.
void ensureSodium();

} // namespace tl::crypto
