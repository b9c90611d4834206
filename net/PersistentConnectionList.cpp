#include "net/PersistentConnectionList.h"

#include "net/HttpServerKey.h"

#include <QStringList>

namespace vaultora::net {

PersistentConnectionList& PersistentConnectionList::shared() {
    static PersistentConnectionList list;
    return list;
}

PersistentConnectionList::Reuse PersistentConnectionList::reuseFor(const QUrl& url,
                                                                   Clock::time_point now) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(httpServerKey(url));
    if (found == m_entries.end())
        return {};
    const Entry& entry = found->second;
    if (!entry.reusable || now >= entry.expiry)
        return {false, std::chrono::seconds{0}};
    return {true, entry.idleTime};
}

void PersistentConnectionList::recordResponse(const QUrl& url, int httpVersion,
                                              const QString& connectionHeader,
                                              const QString& keepAliveHeader,
                                              Clock::time_point now) {
    Entry entry;
    const QString connection = connectionHeader.trimmed().toLower();
    const bool closes = connection == QLatin1String("close") ||
                        (httpVersion < 11 && connection != QLatin1String("keep-alive"));
    if (!closes) {
        if (keepAliveHeader.isEmpty()) {
            entry.reusable = true;
            entry.idleTime = DefaultIdleTime;
        } else {
            // "Keep-Alive: timeout=5, max=100": a server that allows only a few more requests
            // on the connection is about to close it, so it is not worth keeping.
            long timeout = 0;
            long maximum = 0;
            for (const QString& part : keepAliveHeader.split(QLatin1Char(','))) {
                const QString item = part.trimmed().toLower();
                if (item.startsWith(QLatin1String("timeout=")))
                    timeout = item.mid(8).toLong();
                else if (item.startsWith(QLatin1String("max=")))
                    maximum = item.mid(4).toLong();
            }
            entry.reusable = maximum > 5 && timeout > 0;
            entry.idleTime = std::chrono::seconds{timeout};
        }
    }
    entry.expiry = now + entry.idleTime;
    const std::lock_guard lock(m_mutex);
    m_entries.insert_or_assign(httpServerKey(url), entry);
}

void PersistentConnectionList::forget(const QUrl& url) {
    const std::lock_guard lock(m_mutex);
    m_entries.erase(httpServerKey(url));
}

void PersistentConnectionList::removeAll() {
    const std::lock_guard lock(m_mutex);
    m_entries.clear();
}

} // namespace vaultora::net
