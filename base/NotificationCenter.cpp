#include "base/NotificationCenter.h"

#include <QThread>

#include <algorithm>

namespace vaultora::base {

NotificationCenter::NotificationCenter(QObject* parent) : QObject(parent) {}

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(const QString& name, QObject* owner,
                                                               Callback callback) {
    const ObserverId id = m_nextId++;
    m_observers.push_back(Observer{id, name, owner, std::move(callback)});
    if (owner != nullptr) {
        connect(owner, &QObject::destroyed, this, [this, owner] { removeObservers(owner); });
    }
    return id;
}

void NotificationCenter::removeObserver(ObserverId id) {
    std::erase_if(m_observers, [id](const Observer& observer) { return observer.id == id; });
}

void NotificationCenter::removeObservers(const QObject* owner) {
    if (owner == nullptr) {
        return;
    }
    std::erase_if(m_observers,
                  [owner](const Observer& observer) { return observer.owner == owner; });
    disconnect(owner, &QObject::destroyed, this, nullptr);
}

void NotificationCenter::post(const QString& name, QObject* object, const QVariantMap& userInfo) {
    Q_ASSERT(QThread::currentThread() == thread());
    const Notification notification{name, object, userInfo};
    // An observer may add or remove observers while it runs: work on a snapshot and skip
    // those removed in the meantime, and leave out those added during this delivery.
    std::vector<std::pair<ObserverId, Callback>> targets;
    for (const Observer& observer : m_observers) {
        if (observer.name == name) {
            targets.emplace_back(observer.id, observer.callback);
        }
    }
    for (const auto& [id, callback] : targets) {
        if (isRegistered(id)) {
            callback(notification);
        }
    }
}

std::size_t NotificationCenter::observerCount(const QString& name) const {
    return static_cast<std::size_t>(
        std::count_if(m_observers.begin(), m_observers.end(),
                      [&name](const Observer& observer) { return observer.name == name; }));
}

bool NotificationCenter::isRegistered(ObserverId id) const {
    return std::any_of(m_observers.begin(), m_observers.end(),
                       [id](const Observer& observer) { return observer.id == id; });
}

} // namespace vaultora::base
