#include "HttpDatabaseSource.h"

#include <QTemporaryFile>
#include <QUrl>

#include <cstdint>
#include <strings.h>
#include <vector>

#include "CliError.h"
#include "kdb/MappedFileSource.h"
#include "net/HttpRequest.h"
#include "net/UrlDisplay.h"

namespace vaultora::cli {
namespace {

// Larger files are refused: no database comes near it.
constexpr qsizetype MaximumDatabaseSize = qsizetype{1} << 30;

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
    // The body streams into an unnamed temporary file that is mapped once it is complete, so
    // a large database never sits in memory twice.
    QTemporaryFile body;
    if (!body.open())
        throw CliError(ExitStatus::Failure, "cannot create a temporary file for the download");
    auto request = net::HttpRequest::requestWithURL(address);
    request->setDownloadDestination(&body);
    request->setMaximumResponseLength(MaximumDatabaseSize);
    request->startSynchronous();
    // Messages name the address without its user name and password.
    const std::string shown =
        net::UrlDisplay::withoutUserInfo(QString::fromStdString(url)).toStdString();
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
    if (!body.flush())
        throw CliError(ExitStatus::Failure, "cannot write the download to a temporary file");
    // The mapping outlives the file's name, which goes with the QTemporaryFile.
    return std::make_unique<kdb::MappedFileSource>(body.fileName().toStdString());
}

} // namespace vaultora::cli
