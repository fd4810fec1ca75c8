#include "crypto/securebytes.h"

#include "platform/error.h"

#include <sodium.h>

#include <cstring>
#include <new>
#include <utility>

namespace tl::crypto {

void ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw Error(QStringLiteral("The cryptography library (libsodium) could not be started."));
}

void wipe(QByteArray &bytes) noexcept
{
    if (!bytes.isEmpty() && !bytes.isDetached())
        bytes.clear();  // shared: the other holder keeps its copy
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), size_t(bytes.size()));
}

SecureBytes::SecureBytes(qsizetype size, Uninitialized)
{
    if (size <= 0)
        return;
    ensureSodium();
    // sodium_malloc locks the pages when the limit allows and fences them
    // with guard pages; a refused lock still gives usable memory.
    m_data = static_cast<unsigned char *>(sodium_malloc(size_t(size)));
    if (!m_data)
        throw std::bad_alloc();
    m_size = size;
}

SecureBytes::SecureBytes(qsizetype size)
    : SecureBytes(size, Uninitialized {})
{
    if (m_data)
        sodium_memzero(m_data, size_t(m_size));
}

SecureBytes::SecureBytes(QByteArrayView bytes)
    : SecureBytes(bytes.size(), Uninitialized {})
{
    if (m_data)
        std::memcpy(m_data, bytes.data(), size_t(m_size));
}

SecureBytes SecureBytes::uninitialized(qsizetype size)
{
    return SecureBytes(size, Uninitialized {});
}

SecureBytes::~SecureBytes()
{
    release();
}

SecureBytes::SecureBytes(SecureBytes &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
{
}

SecureBytes &SecureBytes::operator=(SecureBytes &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void SecureBytes::release() noexcept
{
    // sodium_free wipes the whole allocation before unmapping it.
    if (m_data)
        sodium_free(m_data);
    m_data = nullptr;
    m_size = 0;
}

void SecureBytes::truncate(qsizetype size)
{
    if (size < 0 || size >= m_size)
        return;
    sodium_memzero(m_data + size, size_t(m_size - size));
    m_size = size;
}

bool SecureBytes::equals(QByteArrayView other) const
{
    if (other.size() != m_size)
        return false;
    return m_size == 0 || sodium_memcmp(m_data, other.data(), size_t(m_size)) == 0;
}

} // namespace tl::crypto
