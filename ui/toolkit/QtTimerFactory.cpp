#include "ui/toolkit/QtTimerFactory.h"

#include <QTimer>

namespace vaultora::toolkit {

namespace {

class QtOneShotTimer final : public OneShotTimer {
public:
    QtOneShotTimer() {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            // The callback may restart or destroy this timer, so it runs from a copy.
            auto callback = m_callback;
            if (callback) {
                callback();
            }
        });
    }

    void start(std::chrono::milliseconds delay, std::function<void()> callback) override {
        m_callback = std::move(callback);
        m_timer.start(delay);
    }
    void stop() override { m_timer.stop(); }
    [[nodiscard]] bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_callback;
};

} // namespace

std::unique_ptr<OneShotTimer> QtTimerFactory::createTimer() {
    return std::make_unique<QtOneShotTimer>();
}

} // namespace vaultora::toolkit
