#include "HttpDatabaseSource.h"

#include <QUrl>

#include <cstdint>
#include <strings.h>
#include <vector>

#include "CliError.h"
#include "kdb/MappedFileSource.h"
#include "net/HttpRequest.h"

namespace vaultora::cli {
namespace {

bool startsWithCaseInsensitive(const std::string& text, const char* prefix) {
    const std::size_t length = std::char_traits<char>::length(prefix);
    return text.size() >= length && strncasecmp(text.c_str(), prefix, length) == 0;
}

} // namespace

bool isWebAddress(const std::string& location) {
    return startsWithCaseInsensitive(location, "http://") ||
           startsWithCaseInsensitive(location, "https://");
}

std::unique_ptr<kdb::InputSource> loadDatabaseFromWeb(const std::string& url) {
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    auto request = net::HttpRequest::requestWithURL(address);
    request->startSynchronous();
    // Messages name the address without its password.
    const std::string shown = address.toString(QUrl::RemovePassword).toStdString();
    if (const auto& error = request->error()) {
        std::string message = "cannot download " + (shown.empty() ? url : shown) + ": " +
                              error->localizedDescription().toStdString();
        if (!error->underlyingError().isEmpty())
            message += " (" + error->underlyingError().toStdString() + ")";
        throw CliError(ExitStatus::Failure, message);
    }
    const int status = request->responseStatusCode();
    if (status < 200 || status > 299)
        throw CliError(ExitStatus::Failure, "The server answered " + std::to_string(status));
    const QByteArray& body = request->responseData();
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(body.cbegin(), body.cend());
    return std::make_unique<kdb::MappedFileSource>(std::move(bytes));
}

} // namespace vaultora::cli
