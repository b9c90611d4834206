#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace vaultora::kdb {

// Faults memory in ahead of its first use, on a thread of its own that the system runs only
// when a core would otherwise be idle. The kernel clears each fresh page on its first touch;
// for the tens of megabytes of a large tree that was a quarter of the building thread's time,
// which this thread takes over while the other one waits for the XML parser. Faulting in
// changes no byte, so the memory may be in use while it is warmed.
//
// Where the system cannot run a thread only when idle, or cannot fault in without touching,
// the warmer does nothing: competing with the threads it is meant to help would cost more.
class PageWarmer {
public:
    PageWarmer();
    // Stops at once, leaving any request undone.
    ~PageWarmer();
    PageWarmer(const PageWarmer&) = delete;
    PageWarmer& operator=(const PageWarmer&) = delete;

    // Asks for [begin, end) to be faulted in, in place of what is left of an earlier request.
    // The memory must stay mapped for as long as the warmer lives.
    void warm(char* begin, char* end);

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    char* m_begin = nullptr;
    char* m_end = nullptr;
    bool m_stopping = false;
    // Started last, once the state above is ready.
    std::thread m_thread;
};

} // namespace vaultora::kdb
