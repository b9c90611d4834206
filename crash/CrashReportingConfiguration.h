#pragma once

// What crash reporting is built with.
namespace vaultora::crash::CrashReportingConfiguration {

// The crash-collection service that reports are posted to.
inline constexpr char submissionAddress[] = "https://crashes.example.com/vaultora/submit";

// The application identifier recorded in every crash report.
inline constexpr char applicationIdentifier[] = "com.example.vaultora";

// Under the caches directory: the collector's pending report, kept outside "crashes", which
// holds only the reports saved for sending.
inline constexpr char pendingReportFileName[] = "pending-crash-report";

} // namespace vaultora::crash::CrashReportingConfiguration
