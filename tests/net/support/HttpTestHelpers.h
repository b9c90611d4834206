// Shared pieces of the HTTP client tests: a clean process state per test, a progress
// recorder, and a way to run a request to completion.
#pragma once

#include "net/HttpCredentialStore.h"
#include "net/HttpRequest.h"
#include "net/HttpTransferEngine.h"
#include "net/PersistentConnectionList.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace vaultora::test::http {

// Forgets what earlier tests left in the process: credentials, cookies, open connections.
class HttpClientTest : public testing::Test {
protected:
    void SetUp() override {
        vaultora::net::HttpCredentialStore::shared().removeAll();
        vaultora::net::PersistentConnectionList::shared().removeAll();
        vaultora::net::HttpTransferEngine::forCurrentThread().closeIdleConnections();
        vaultora::net::HttpTransferEngine::removeAllCookies();
    }
};

class ProgressRecorder : public vaultora::net::HttpProgressDelegate {
public:
    void requestIncrementDownloadSizeBy(vaultora::net::HttpRequest&, qint64 bytes) override {
        sizes.push_back(bytes);
    }
    void requestDidReceiveBytes(vaultora::net::HttpRequest&, qint64 bytes) override {
        // A read reported before the size would be a fault of the client.
        readsBeforeSize += sizes.empty() ? 1 : 0;
        reads.push_back(bytes);
    }
    [[nodiscard]] qint64 totalRead() const {
        qint64 total = 0;
        for (const qint64 read : reads)
            total += read;
        return total;
    }

    std::vector<qint64> sizes;
    std::vector<qint64> reads;
    int readsBeforeSize = 0;
};

class FractionRecorder final : public ProgressRecorder, public vaultora::net::HttpProgressFraction {
public:
    void setProgress(double fraction) override { fractions.push_back(fraction); }
    std::vector<double> fractions;
};

inline QUrl qurl(const std::string& text) {
    return QUrl(QString::fromStdString(text), QUrl::StrictMode);
}

inline std::unique_ptr<vaultora::net::HttpRequest>
fetch(const std::string& url,
      const std::function<void(vaultora::net::HttpRequest&)>& configure = {}) {
    auto request = vaultora::net::HttpRequest::requestWithURL(qurl(url));
    if (configure)
        configure(*request);
    request->startSynchronous();
    return request;
}

// The text as one gzip member, as a server sends a gzip-encoded body.
inline std::string gzipped(const std::string& text) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string output(compressBound(static_cast<uLong>(text.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = static_cast<uInt>(output.size());
    deflate(&stream, Z_FINISH);
    output.resize(stream.total_out);
    deflateEnd(&stream);
    return output;
}

inline std::string bodyOf(const vaultora::net::HttpRequest& request) {
    return request.responseData().toStdString();
}

} // namespace vaultora::test::http
