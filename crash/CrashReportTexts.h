#pragma once

#include <QString>

namespace vaultora::crash {

// The wording of the crash-report question, looked up by its keys ("CrashDataFoundTitle",
// "CrashDataFoundDescription", "CrashDontSendReport", "CrashSendReport").
class CrashReportTexts final {
public:
    CrashReportTexts() = delete;
    // The text for the key with "%1" replaced by the application's display name; the key
    // itself when it is unknown.
    [[nodiscard]] static QString localizedText(const QString& key, const QString& displayName);
};

} // namespace vaultora::crash
