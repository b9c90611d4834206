#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

#include "WipingBuffer.h"

namespace vaultora::kdb {

// Carries blocks of bytes from the thread that makes them to a thread that uses them, so that
// on two cores the two overlap: the XML parser hands its events to the builder of the tree
// this way. At most a few blocks are on their way at once: a maker that is ahead waits. The
// blocks may hold decrypted text, so each is wiped before it is written again, and when the
// channel goes.
class BlockChannel {
public:
    // A block is handed over once it holds this much.
    static constexpr std::size_t kBlockSize = 64 * 1024;
    static constexpr std::size_t kBlocksOnTheirWay = 4;

    BlockChannel();
    ~BlockChannel();
    BlockChannel(const BlockChannel&) = delete;
    BlockChannel& operator=(const BlockChannel&) = delete;

    // The making side. The block being written.
    [[nodiscard]] WipingBuffer& block() noexcept { return m_writing; }
    // Hands the block over once it is full and starts an empty one, waiting while the user
    // is behind. False once the user has stopped: the maker stops too.
    bool handOverWhenFull() {
        return m_writing.size() < kBlockSize ? !stopped() : handOver();
    }
    // The end: hands over what is left, with the failure that ended the making (none when
    // it ran to its end). The user sees the failure after the blocks made before it.
    void finish(std::exception_ptr failure) noexcept;
    [[nodiscard]] bool stopped() const noexcept { return m_stopped.load(std::memory_order_relaxed); }

    // The using side. The next block, or none at the end; the block before it is taken back
    // for writing.
    [[nodiscard]] const WipingBuffer* next();
    // Why the blocks ended: none when the making ran to its end.
    [[nodiscard]] std::exception_ptr failure() const;
    // The user gives up; the maker stops at its next hand-over.
    void stop() noexcept;

private:
    bool handOver();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<WipingBuffer> m_full;
    std::vector<WipingBuffer> m_empty;
    WipingBuffer m_writing;
    WipingBuffer m_reading;
    bool m_finished = false;
    // Read by the maker at every step, so without the lock.
    std::atomic<bool> m_stopped{false};
    std::exception_ptr m_failure;
};

} // namespace vaultora::kdb
