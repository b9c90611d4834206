// What the servers said about keeping their connections open: per scheme, host and port,
// whether the connection may be reused and until when. The transfer engine keeps the
// connections themselves; this list decides whether the next request may reuse one.
// Shared between requests on any thread.
#pragma once

#include <QUrl>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>

namespace vaultora::net {

class PersistentConnectionList final {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds DefaultIdleTime{60};

    // How the next request to a server may treat an open connection to it.
    struct Reuse {
        bool allowed = true;
        std::chrono::seconds maximumIdleTime = DefaultIdleTime;
    };

    static PersistentConnectionList& shared();

    [[nodiscard]] Reuse reuseFor(const QUrl& url, Clock::time_point now) const;

    // Records the answer to a request: its HTTP version (10 or 11) and its "Connection" and
    // "Keep-Alive" headers (empty when absent).
    void recordResponse(const QUrl& url, int httpVersion, const QString& connectionHeader,
                        const QString& keepAliveHeader, Clock::time_point now);
    void forget(const QUrl& url);
    void removeAll();

private:
    struct Entry {
        bool reusable = false;
        std::chrono::seconds idleTime{0};
        Clock::time_point expiry;
    };

    mutable std::mutex m_mutex;
    std::map<QString, Entry> m_entries;
};

} // namespace vaultora::net
