// Property lists on which the registry fuzz target once failed (fuzz-regressions), and
// its seeds, replayed with the same checks.
#include "support/RegistryFileCheck.h"

#include "tests/FuzzReplay.h"

#include <gtest/gtest.h>

namespace vaultora::app {
namespace {

TEST(RegistryFuzzRegression, EveryStoredFileReadsAndSurvivesTheRoundTrip) {
    test::replayFuzzInputs(
        {QStringLiteral(VAULTORA_APP_FUZZ_REGRESSIONS), QStringLiteral(VAULTORA_APP_FUZZ_SEEDS)},
        [](const QByteArray& input) { return testing::checkRegistryFile(input); });
}

} // namespace
} // namespace vaultora::app
