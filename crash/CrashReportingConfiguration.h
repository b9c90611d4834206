#pragma once

// What crash reporting is built with.
namespace vaultora::crash::CrashReportingConfiguration {

// The environment setting that names the crash-collection service, over the address the
// build was configured with (VAULTORA_CRASH_REPORT_ADDRESS in CMake).
inline constexpr char submissionAddressVariable[] = "VAULTORA_CRASH_REPORT_ADDRESS";

// The application identifier recorded in every crash report.
inline constexpr char applicationIdentifier[] = "com.example.vaultora";

// Under the caches directory: the collector's pending report, kept outside "crashes", which
// holds only the reports saved for sending.
inline constexpr char pendingReportFileName[] = "pending-crash-report";

} // namespace vaultora::crash::CrashReportingConfiguration
