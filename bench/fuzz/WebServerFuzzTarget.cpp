// libFuzzer entry point: request byte streams as the upload server's connection reads them,
// with the multipart upload form behind them. The input's shape and the checks are described
// in tests/webserver/support/RequestStreamCheck.h; a failed check aborts with its sentences.
#include "tests/webserver/support/RequestStreamCheck.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Uploads are made durable with fsync; in memory that costs nothing.
QString documentRoot() {
    static const QTemporaryDir directory((QDir(QStringLiteral("/dev/shm")).exists()
                                              ? QStringLiteral("/dev/shm")
                                              : QDir::tempPath()) +
                                         QStringLiteral("/webserver-fuzz-XXXXXX"));
    if (!directory.isValid()) {
        std::fprintf(stderr, "no directory for the uploads\n");
        std::abort();
    }
    return directory.path();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // The server logs every upload; the log is not what is under test.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QStringList problems = vaultora::webserver::testing::checkRequestStream(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        documentRoot());
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problems.join(QLatin1Char('\n'))));
        std::abort();
    }
    return 0;
}
