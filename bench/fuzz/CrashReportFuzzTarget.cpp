// libFuzzer entry point: the crash-report parser, with the crash log rendered from what it reads.
// The checks are in tests/crash/support/CrashReportCheck.h; a failed check aborts with its
// sentences.
#include "tests/crash/support/CrashReportCheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QStringList problems = vaultora::crash::testing::checkCrashReport(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    return 0;
}
