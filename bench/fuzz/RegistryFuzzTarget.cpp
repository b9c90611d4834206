// libFuzzer entry point: the registry and legacy database-list decoding (XML or binary property
// lists), with the registry written and read back. The checks are in
// tests/app/support/RegistryFileCheck.h; a failed check aborts with its sentences.
#include "tests/app/support/RegistryFileCheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QStringList problems = vaultora::app::testing::checkRegistryFile(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    return 0;
}
