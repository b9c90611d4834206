#include "webserver/AvahiQtPoll.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <avahi-common/timeval.h>
#include <memory>

// The watch and timeout types are declared opaque by Avahi and defined by each poll
// implementation.
struct AvahiWatch {
    int fd = -1;
    AvahiWatchEvent requested{};
    AvahiWatchEvent happened{};
    AvahiWatchCallback callback = nullptr;
    void* userdata = nullptr;
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
};

struct AvahiTimeout {
    AvahiTimeoutCallback callback = nullptr;
    void* userdata = nullptr;
    std::unique_ptr<QTimer> timer;
};

namespace vaultora::webserver {

namespace {

// Notifiers and timers may be freed from inside their own callback, so they are handed to
// the event loop for deletion instead of being destroyed on the spot.
template <typename T> void releaseLater(std::unique_ptr<T>& object) {
    if (object) {
        object->disconnect();
        object.release()->deleteLater();
    }
}

void dispatch(AvahiWatch* watch, AvahiWatchEvent event) {
    watch->happened = event;
    watch->callback(watch, watch->fd, event, watch->userdata);
}

void applyEvents(AvahiWatch* watch, AvahiWatchEvent events) {
    watch->requested = events;
    watch->readNotifier->setEnabled((events & AVAHI_WATCH_IN) != 0);
    watch->writeNotifier->setEnabled((events & AVAHI_WATCH_OUT) != 0);
}

AvahiWatch* watchNew(const AvahiPoll* /*api*/, int fd, AvahiWatchEvent events,
                     AvahiWatchCallback callback, void* userdata) {
    auto* watch = new AvahiWatch;
    watch->fd = fd;
    watch->callback = callback;
    watch->userdata = userdata;
    watch->readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    watch->writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    QObject::connect(watch->readNotifier.get(), &QSocketNotifier::activated,
                     [watch] { dispatch(watch, AVAHI_WATCH_IN); });
    QObject::connect(watch->writeNotifier.get(), &QSocketNotifier::activated,
                     [watch] { dispatch(watch, AVAHI_WATCH_OUT); });
    applyEvents(watch, events);
    return watch;
}

void watchUpdate(AvahiWatch* watch, AvahiWatchEvent events) {
    applyEvents(watch, events);
}

AvahiWatchEvent watchGetEvents(AvahiWatch* watch) {
    return watch->happened;
}

void watchFree(AvahiWatch* watch) {
    releaseLater(watch->readNotifier);
    releaseLater(watch->writeNotifier);
    delete watch;
}

void timeoutUpdate(AvahiTimeout* timeout, const struct timeval* when) {
    timeout->timer->stop();
    if (when == nullptr) {
        return;
    }
    // avahi_age is negative for a time still ahead.
    const AvahiUsec age = avahi_age(when);
    const auto delay = static_cast<int>(age >= 0 ? 0 : (-age + 999) / 1000);
    timeout->timer->start(delay);
}

AvahiTimeout* timeoutNew(const AvahiPoll* /*api*/, const struct timeval* when,
                         AvahiTimeoutCallback callback, void* userdata) {
    auto* timeout = new AvahiTimeout;
    timeout->callback = callback;
    timeout->userdata = userdata;
    timeout->timer = std::make_unique<QTimer>();
    timeout->timer->setSingleShot(true);
    QObject::connect(timeout->timer.get(), &QTimer::timeout,
                     [timeout] { timeout->callback(timeout, timeout->userdata); });
    timeoutUpdate(timeout, when);
    return timeout;
}

void timeoutFree(AvahiTimeout* timeout) {
    timeout->timer->stop();
    releaseLater(timeout->timer);
    delete timeout;
}

} // namespace

AvahiQtPoll::AvahiQtPoll() {
    m_poll.userdata = this;
    m_poll.watch_new = watchNew;
    m_poll.watch_update = watchUpdate;
    m_poll.watch_get_events = watchGetEvents;
    m_poll.watch_free = watchFree;
    m_poll.timeout_new = timeoutNew;
    m_poll.timeout_update = timeoutUpdate;
    m_poll.timeout_free = timeoutFree;
}

} // namespace vaultora::webserver
