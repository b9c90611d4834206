#include "net/HttpTransferEngine.h"

#include <array>
#include <mutex>
#include <new>

namespace vaultora::net {
namespace {

class ProcessShare final {
public:
    ProcessShare() {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw std::bad_alloc();
        m_share.reset(curl_share_init());
        if (!m_share)
            throw std::bad_alloc();
        curl_share_setopt(m_share.get(), CURLSHOPT_LOCKFUNC, &ProcessShare::lock);
        curl_share_setopt(m_share.get(), CURLSHOPT_UNLOCKFUNC, &ProcessShare::unlock);
        curl_share_setopt(m_share.get(), CURLSHOPT_USERDATA, this);
        curl_share_setopt(m_share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(m_share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(m_share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }

    [[nodiscard]] CURLSH* handle() const { return m_share.get(); }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<ProcessShare*>(self)->mutexFor(data).lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<ProcessShare*>(self)->mutexFor(data).unlock();
    }
    std::mutex& mutexFor(curl_lock_data data) {
        const auto index = static_cast<std::size_t>(data);
        return m_mutexes[index < m_mutexes.size() ? index : 0];
    }

    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_mutexes;
    CurlShare m_share;
};

ProcessShare& processShare() {
    static ProcessShare share;
    return share;
}

} // namespace

HttpTransferEngine::HttpTransferEngine() {
    processShare();
    m_multi.reset(curl_multi_init());
    if (!m_multi)
        throw std::bad_alloc();
}

HttpTransferEngine::~HttpTransferEngine() = default;

HttpTransferEngine& HttpTransferEngine::forCurrentThread() {
    // The process share is created first, so the thread's engine is destroyed before it.
    processShare();
    thread_local HttpTransferEngine engine;
    return engine;
}

CURLSH* HttpTransferEngine::share() {
    return processShare().handle();
}

CURLMcode HttpTransferEngine::addTransfer(CURL* easy) {
    const CURLMcode result = curl_multi_add_handle(m_multi.get(), easy);
    if (result == CURLM_OK)
        ++m_activeTransfers;
    return result;
}

void HttpTransferEngine::removeTransfer(CURL* easy) {
    if (curl_multi_remove_handle(m_multi.get(), easy) == CURLM_OK)
        --m_activeTransfers;
}

void HttpTransferEngine::wait(int milliseconds) {
    curl_multi_poll(m_multi.get(), nullptr, 0, milliseconds, nullptr);
}

void HttpTransferEngine::closeIdleConnections() {
    if (m_activeTransfers > 0)
        return;
    CurlMulti fresh(curl_multi_init());
    if (fresh)
        m_multi = std::move(fresh);
}

void HttpTransferEngine::removeAllCookies() {
    const CurlEasy easy(curl_easy_init());
    if (!easy)
        return;
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, share());
    curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
}

} // namespace vaultora::net
