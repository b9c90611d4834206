#include "ui/toolkit/ManualTimerFactory.h"

#include <algorithm>
#include <vector>

namespace vaultora::toolkit {

class ManualOneShotTimer;

struct ManualTimerFactory::State {
    std::chrono::milliseconds now{0};
    std::vector<ManualOneShotTimer*> timers;
    // Breaks ties between equal deadlines in the order the timers were started.
    unsigned long long nextSequence = 0;
};

class ManualOneShotTimer final : public OneShotTimer {
public:
    explicit ManualOneShotTimer(std::shared_ptr<ManualTimerFactory::State> state)
        : m_state(std::move(state)) {
        m_state->timers.push_back(this);
    }
    ~ManualOneShotTimer() override { std::erase(m_state->timers, this); }
    ManualOneShotTimer(const ManualOneShotTimer&) = delete;
    ManualOneShotTimer& operator=(const ManualOneShotTimer&) = delete;

    void start(std::chrono::milliseconds delay, std::function<void()> callback) override {
        m_deadline = m_state->now + std::max(delay, std::chrono::milliseconds{0});
        m_sequence = m_state->nextSequence++;
        m_callback = std::move(callback);
        m_active = true;
    }
    void stop() override { m_active = false; }
    [[nodiscard]] bool isActive() const override { return m_active; }

    [[nodiscard]] std::chrono::milliseconds deadline() const { return m_deadline; }
    [[nodiscard]] unsigned long long sequence() const { return m_sequence; }

    void fire() {
        m_active = false;
        // The callback may restart or destroy this timer, so it runs from a copy.
        auto callback = m_callback;
        if (callback) {
            callback();
        }
    }

private:
    std::shared_ptr<ManualTimerFactory::State> m_state;
    std::chrono::milliseconds m_deadline{0};
    unsigned long long m_sequence = 0;
    std::function<void()> m_callback;
    bool m_active = false;
};

ManualTimerFactory::ManualTimerFactory() : m_state(std::make_shared<State>()) {}

ManualTimerFactory::~ManualTimerFactory() = default;

std::unique_ptr<OneShotTimer> ManualTimerFactory::createTimer() {
    return std::make_unique<ManualOneShotTimer>(m_state);
}

void ManualTimerFactory::advance(std::chrono::milliseconds duration) {
    const auto target = m_state->now + duration;
    for (;;) {
        ManualOneShotTimer* next = nullptr;
        for (ManualOneShotTimer* timer : m_state->timers) {
            if (!timer->isActive() || timer->deadline() > target) {
                continue;
            }
            if (next == nullptr || timer->deadline() < next->deadline() ||
                (timer->deadline() == next->deadline() && timer->sequence() < next->sequence())) {
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        m_state->now = std::max(m_state->now, next->deadline());
        next->fire();
    }
    m_state->now = target;
}

std::chrono::milliseconds ManualTimerFactory::now() const {
    return m_state->now;
}

int ManualTimerFactory::activeTimerCount() const {
    return static_cast<int>(std::ranges::count_if(
        m_state->timers, [](const ManualOneShotTimer* timer) { return timer->isActive(); }));
}

} // namespace vaultora::toolkit
