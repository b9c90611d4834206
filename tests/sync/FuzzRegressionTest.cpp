// Dropbox metadata answers on which the fuzz target once failed (fuzz-regressions), and
// its seeds, replayed with the same checks.
#include "support/DropboxMetadataCheck.h"

#include "tests/FuzzReplay.h"

#include <gtest/gtest.h>

namespace vaultora::sync {
namespace {

TEST(DropboxMetadataFuzzRegression, EveryStoredAnswerReadsAndArchives) {
    test::replayFuzzInputs(
        {QStringLiteral(VAULTORA_SYNC_FUZZ_REGRESSIONS), QStringLiteral(VAULTORA_SYNC_FUZZ_SEEDS)},
        [](const QByteArray& input) { return testing::checkDropboxMetadata(input); });
}

} // namespace
} // namespace vaultora::sync
