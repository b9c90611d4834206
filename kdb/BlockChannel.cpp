#include "BlockChannel.h"

#include <utility>

namespace vaultora::kdb {

namespace {
// Room for the event that fills a block beyond its hand-over size, as most events are short.
constexpr std::size_t kBlockCapacity = BlockChannel::kBlockSize + BlockChannel::kBlockSize / 4;
} // namespace

BlockChannel::BlockChannel() : m_writing(kBlockCapacity) {
    // Every block there will ever be: taking one back never allocates.
    m_empty.reserve(kBlocksOnTheirWay + 2);
}

BlockChannel::~BlockChannel() = default;

bool BlockChannel::handOver() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return stopped() || m_full.size() < kBlocksOnTheirWay; });
    if (stopped()) {
        return false;
    }
    m_full.push_back(std::move(m_writing));
    if (m_empty.empty()) {
        m_writing = WipingBuffer(kBlockCapacity);
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
            m_writing.clear();
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    m_failure = std::move(failure);
    m_finished = true;
    m_changed.notify_all();
}

const WipingBuffer* BlockChannel::next() {
    // Only the using side touches the block it reads: it is wiped before the lock is taken,
    // so that the maker does not wait for the wipe.
    m_reading.clear();
    std::unique_lock lock(m_mutex);
    if (m_reading.capacity() > 0) {
        m_empty.push_back(std::move(m_reading));
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
