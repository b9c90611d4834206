#include "ui/CrashReportAlertQuestion.h"

#include "ui/toolkit/Alert.h"
#include "ui/toolkit/AlertPresenter.h"

namespace vaultora::ui {

void CrashReportAlertQuestion::ask(const Texts& texts,
                                   std::function<void(int buttonIndex)> answer) {
    toolkit::Alert* alert =
        m_presenter.show(texts.title, texts.message, {texts.declineButton, texts.agreeButton});
    QObject::connect(alert, &toolkit::Alert::buttonPressed, alert,
                     [answer = std::move(answer)](int index) { answer(index); });
}

} // namespace vaultora::ui
