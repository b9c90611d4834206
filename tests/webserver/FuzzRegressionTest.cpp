// Request streams on which the web-server fuzz target once failed (fuzz-regressions), and
// its seeds, replayed with the same checks (support/RequestStreamCheck.h).
#include "support/RequestStreamCheck.h"

#include "tests/FuzzReplay.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace vaultora::webserver {
namespace {

TEST(WebServerFuzzRegression, EveryStoredStreamPassesTheChecks) {
    const QTemporaryDir documents;
    ASSERT_TRUE(documents.isValid());
    test::replayFuzzInputs({QStringLiteral(VAULTORA_WEBSERVER_FUZZ_REGRESSIONS),
                            QStringLiteral(VAULTORA_WEBSERVER_FUZZ_SEEDS)},
                           [&documents](const QByteArray& input) {
                               return testing::checkRequestStream(input, documents.path());
                           });
}

} // namespace
} // namespace vaultora::webserver
