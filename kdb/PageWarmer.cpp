#include "PageWarmer.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>

#include <algorithm>

namespace vaultora::kdb {

namespace {

// One huge page at a time, so that a stop or a new request waits for one step at most.
constexpr std::size_t kStep = 2 * 1024 * 1024;

} // namespace

PageWarmer::PageWarmer() : m_thread([this] { run(); }) {}

PageWarmer::~PageWarmer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PageWarmer::warm(char* begin, char* end) {
    {
        const std::lock_guard lock(m_mutex);
        m_begin = begin;
        m_end = end;
    }
    m_changed.notify_all();
}

void PageWarmer::run() {
    const sched_param parameters{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters) != 0) {
        return;
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || m_begin < m_end; });
        if (m_stopping) {
            return;
        }
        char* const begin = m_begin;
        const std::size_t length = std::min<std::size_t>(kStep, m_end - m_begin);
        m_begin += length;
        lock.unlock();
        const bool warmed = madvise(begin, length, MADV_POPULATE_WRITE) == 0;
        lock.lock();
        // A kernel without populating, or memory it refuses: nothing more to do.
        if (!warmed) {
            return;
        }
    }
}

} // namespace vaultora::kdb
