#pragma once

#include <QString>

#include <functional>

namespace vaultora::crash {

// Asks the user whether to send the crash reports found at launch. The application supplies
// the implementation and draws it as an alert of its user-interface toolkit; the crash
// reporting only needs the answer.
class CrashReportQuestion {
public:
    struct Texts {
        QString title;
        QString message;
        // Button index 0.
        QString declineButton;
        // Button index 1.
        QString agreeButton;
    };

    static constexpr int declineButtonIndex = 0;
    static constexpr int agreeButtonIndex = 1;

    virtual ~CrashReportQuestion() = default;

    // Shows the question; answer is called once, on the main thread, with the index of the
    // button the user chose.
    virtual void ask(const Texts& texts, std::function<void(int buttonIndex)> answer) = 0;
};

} // namespace vaultora::crash
