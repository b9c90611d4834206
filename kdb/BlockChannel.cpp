#include "BlockChannel.h"

#include <utility>

namespace vaultora::kdb {

BlockChannel::BlockChannel() {
    m_writing.reserve(kBlockSize + kBlockSize / 4);
    // Every block there will ever be: taking one back never allocates.
    m_empty.reserve(kBlocksOnTheirWay + 2);
}

BlockChannel::~BlockChannel() {
    wipe(m_writing);
    wipe(m_reading);
    for (SecureBytes& block : m_full) {
        wipe(block);
    }
    for (SecureBytes& block : m_empty) {
        wipe(block);
    }
}

void BlockChannel::wipe(SecureBytes& block) noexcept {
    secureWipe(block.data(), block.size());
    block.clear();
}

bool BlockChannel::handOver() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return stopped() || m_full.size() < kBlocksOnTheirWay; });
    if (stopped()) {
        return false;
    }
    m_full.push_back(std::move(m_writing));
    if (m_empty.empty()) {
        m_writing = SecureBytes();
        m_writing.reserve(kBlockSize + kBlockSize / 4);
    } else {
        m_writing = std::move(m_empty.back());
        m_empty.pop_back();
    }
    m_changed.notify_all();
    return true;
}

void BlockChannel::finish(std::exception_ptr failure) noexcept {
    const std::lock_guard lock(m_mutex);
    if (!m_writing.empty()) {
        try {
            m_full.push_back(std::move(m_writing));
        } catch (...) {
            // Without room for the last block the events are incomplete: a failure either way.
            wipe(m_writing);
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    m_failure = std::move(failure);
    m_finished = true;
    m_changed.notify_all();
}

const SecureBytes* BlockChannel::next() {
    std::unique_lock lock(m_mutex);
    wipe(m_reading);
    if (m_reading.capacity() > 0) {
        m_empty.push_back(std::move(m_reading));
        m_reading = SecureBytes();
    }
    m_changed.wait(lock, [this] { return !m_full.empty() || m_finished; });
    if (m_full.empty()) {
        return nullptr;
    }
    m_reading = std::move(m_full.front());
    m_full.pop_front();
    m_changed.notify_all();
    return &m_reading;
}

std::exception_ptr BlockChannel::failure() const {
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void BlockChannel::stop() noexcept {
    const std::lock_guard lock(m_mutex);
    m_stopped.store(true, std::memory_order_relaxed);
    m_changed.notify_all();
}

} // namespace vaultora::kdb
