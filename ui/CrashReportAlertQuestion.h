#pragma once

#include "crash/CrashReportQuestion.h"

namespace vaultora::toolkit {
class AlertPresenter;
}

namespace vaultora::ui {

// Asks whether to send the crash reports as an alert of the toolkit; the buttons stand in the
// order the crash reporting numbers them (decline, agree).
class CrashReportAlertQuestion final : public crash::CrashReportQuestion {
public:
    explicit CrashReportAlertQuestion(toolkit::AlertPresenter& presenter)
        : m_presenter(presenter) {}

    void ask(const Texts& texts, std::function<void(int buttonIndex)> answer) override;

private:
    toolkit::AlertPresenter& m_presenter;
};

} // namespace vaultora::ui
