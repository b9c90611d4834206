// Crash reports on which the fuzz target once failed (fuzz-regressions), and its seeds, replayed
// with the same checks.
#include "support/CrashReportCheck.h"

#include "tests/FuzzReplay.h"

#include <gtest/gtest.h>

namespace vaultora::crash {
namespace {

TEST(CrashReportFuzzRegression, EveryStoredReportParsesOrIsRefused) {
    test::replayFuzzInputs(
        {QStringLiteral(VAULTORA_CRASH_FUZZ_REGRESSIONS),
         QStringLiteral(VAULTORA_CRASH_FUZZ_SEEDS)},
        [](const QByteArray& input) { return testing::checkCrashReport(input); });
}

} // namespace
} // namespace vaultora::crash
