#pragma once

#include <avahi-common/watch.h>

namespace vaultora::webserver {

// Drives the Avahi client from the Qt event loop of the thread that creates it, so that its
// callbacks run on that thread like every other callback of the server.
class AvahiQtPoll final {
public:
    AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll&) = delete;
    AvahiQtPoll& operator=(const AvahiQtPoll&) = delete;

    [[nodiscard]] const AvahiPoll* poll() const { return &m_poll; }

private:
    AvahiPoll m_poll{};
};

} // namespace vaultora::webserver
