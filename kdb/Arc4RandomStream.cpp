#include "Arc4RandomStream.h"

#include <utility>

#include "DatabaseError.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

Arc4RandomStream::Arc4RandomStream(const uint8_t* key, std::size_t length) {
    if (key == nullptr || length == 0) {
        throw DatabaseError("InvalidHeader", "InvalidProtectedStreamKey");
    }
    for (std::size_t k = 0; k < m_state.size(); ++k) {
        m_state[k] = static_cast<uint8_t>(k);
    }
    uint32_t j = 0;
    for (std::size_t k = 0; k < m_state.size(); ++k) {
        j = (j + m_state[k] + key[k % length]) & 0xFF;
        std::swap(m_state[k], m_state[j]);
    }
    updateState();
    // The first 512 bytes of the key stream are never used.
    m_index = 512;
}

Arc4RandomStream::~Arc4RandomStream() {
    secureWipe(m_state.data(), m_state.size());
    secureWipe(m_buffer.data(), m_buffer.size());
}

void Arc4RandomStream::updateState() noexcept {
    for (auto& output : m_buffer) {
        m_i = (m_i + 1) & 0xFF;
        m_j = (m_j + m_state[m_i]) & 0xFF;
        std::swap(m_state[m_i], m_state[m_j]);
        output = m_state[(m_state[m_i] + m_state[m_j]) & 0xFF];
    }
}

void Arc4RandomStream::applyKeyStream(uint8_t* bytes, std::size_t length) noexcept {
    for (std::size_t position = 0; position < length; ++position) {
        if (m_index == 0) {
            updateState();
        }
        bytes[position] ^= m_buffer[m_index];
        m_index = (m_index + 1) % m_buffer.size();
    }
}

} // namespace vaultora::kdb
