#include "crash/CrashReportTexts.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace vaultora::crash {

namespace {

constexpr std::array<std::pair<const char*, const char*>, 4> table{{
    {"CrashDataFoundTitle", QT_TRANSLATE_NOOP("CrashReport", "%1 Closed Unexpectedly")},
    {"CrashDataFoundDescription",
     QT_TRANSLATE_NOOP("CrashReport",
                       "%1 stopped unexpectedly the last time it ran. Would you like to send "
                       "the crash report to help fix the problem? The report holds technical "
                       "details only: no databases, passwords or file names.")},
    {"CrashDontSendReport", QT_TRANSLATE_NOOP("CrashReport", "Don't Send")},
    {"CrashSendReport", QT_TRANSLATE_NOOP("CrashReport", "Send Report")},
}};

} // namespace

QString CrashReportTexts::localizedText(const QString& key, const QString& displayName) {
    for (const auto& [tableKey, text] : table) {
        if (key == QLatin1String(tableKey)) {
            QString translated = QCoreApplication::translate("CrashReport", text);
            return translated.replace(QStringLiteral("%1"), displayName);
        }
    }
    return key;
}

} // namespace vaultora::crash
