// Owning wrappers for the libcurl handles the HTTP client uses.
#pragma once

#include <curl/curl.h>
#include <memory>

namespace vaultora::net {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* handle) const noexcept { curl_multi_cleanup(handle); }
};
struct CurlShareDeleter {
    void operator()(CURLSH* handle) const noexcept { curl_share_cleanup(handle); }
};
struct CurlHeaderListDeleter {
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlShare = std::unique_ptr<CURLSH, CurlShareDeleter>;
using CurlHeaderList = std::unique_ptr<curl_slist, CurlHeaderListDeleter>;

// Appends one "Name: value" line. False when libcurl has no memory for it; the list then stays
// as it was.
[[nodiscard]] inline bool appendHeaderLine(CurlHeaderList& list, const char* line) {
    curl_slist* grown = curl_slist_append(list.get(), line);
    if (grown == nullptr)
        return false;
    // curl_slist_append returns the head it was given, now one line longer.
    static_cast<void>(list.release());
    list.reset(grown);
    return true;
}

} // namespace vaultora::net
