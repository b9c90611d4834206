#pragma once

#include "crash/CrashReportManager.h"

namespace vaultora::crash {

// Creates the application's crash-report manager: the collector keeps its pending report in
// the caches directory, the user defaults are the application's QSettings, and the
// submission address is the configured one. The launch steps run now; the question is asked
// one second later when there are reports. The manager belongs to parent.
//
// The question is drawn by the application, for instance as an alert of its toolkit whose
// buttons are, in this order, texts.declineButton and texts.agreeButton. The application may
// also subscribe startManager to CrashReportManager::networkDidBecomeReachableNotification.
CrashReportManager* createCrashReportManager(std::unique_ptr<CrashReportQuestion> question,
                                             QObject* parent);

// The crash-collection service's address: the environment setting when it is set, otherwise
// the one the build was configured with. Empty when neither names one.
[[nodiscard]] QString configuredSubmissionAddress();

} // namespace vaultora::crash
