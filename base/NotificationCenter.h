#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <vector>

namespace vaultora::base {

struct Notification {
    QString name;
    // The sender, when the poster names one.
    QObject* object = nullptr;
    QVariantMap userInfo;
};

// Delivers notifications by name, synchronously, on the thread that posts them (the main
// thread). Observers are called in the order they were added.
class NotificationCenter final : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const Notification&)>;
    using ObserverId = std::uint64_t;

    explicit NotificationCenter(QObject* parent = nullptr);

    // The centre every part of the application shares.
    [[nodiscard]] static NotificationCenter& defaultCenter();

    // Calls callback for every notification named name until the observer is removed. When
    // owner is given, the observer is removed with removeObservers(owner) and at the latest
    // when owner is destroyed.
    ObserverId addObserver(const QString& name, QObject* owner, Callback callback);
    void removeObserver(ObserverId id);
    void removeObservers(const QObject* owner);

    void post(const QString& name, QObject* object = nullptr, const QVariantMap& userInfo = {});

    [[nodiscard]] std::size_t observerCount(const QString& name) const;

private:
    struct Observer {
        ObserverId id;
        QString name;
        const QObject* owner;
        Callback callback;
    };

    [[nodiscard]] bool isRegistered(ObserverId id) const;

    std::vector<Observer> m_observers;
    ObserverId m_nextId = 1;
};

} // namespace vaultora::base
