// A list panel that tells single taps on a row from double taps: a second tap within 0.2
// seconds makes a double tap, otherwise the tap is decided as a single one when the window has
// passed. A third tap inside the window is ignored.
#pragma once

#include "ui/toolkit/ListPanel.h"
#include "ui/toolkit/OneShotTimer.h"
#include "ui/toolkit/TimerFactory.h"

#include <chrono>
#include <cstdint>
#include <memory>

namespace vaultora::ui {

class DoubleTapDetector : public toolkit::ListPanel {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds doubleTapWindow{200};

    explicit DoubleTapDetector(toolkit::TimerFactory& timers, QObject* parent = nullptr);
    ~DoubleTapDetector() override;

    // A tap on a row of the list (the list has one section).
    void tableViewDidSelectRowAtIndexPath(int row);

    [[nodiscard]] std::int32_t tapCount() const { return m_tapCount; }
    [[nodiscard]] int tableSelection() const { return m_tableSelection; }

protected:
    // A row chosen with the keyboard is a decided single tap at once; a tap waiting for its
    // second half is dropped.
    void activateRow(int section, int row) override;
    // The decided tap, with the row of the latest tap. Nothing here.
    virtual void onSingleTap(int row);
    virtual void onDoubleTap(int row);

private:
    void decide(bool isDouble);

    std::int32_t m_tapCount = 0;
    int m_tableSelection = -1;
    std::unique_ptr<toolkit::OneShotTimer> m_singleTapTimer;
};

} // namespace vaultora::ui
