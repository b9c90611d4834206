// libFuzzer entry point: the Dropbox metadata JSON, with its archive read back. The checks are in
// tests/sync/support/DropboxMetadataCheck.h; a failed check aborts with its sentences.
#include "tests/sync/support/DropboxMetadataCheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QStringList problems = vaultora::sync::testing::checkDropboxMetadata(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    return 0;
}
