// The libcurl state behind every request: the process-wide share (cookies, name look-ups and
// TLS sessions, each guarded by its own lock) and, per thread, the multi handle that runs the
// transfers of that thread and keeps their connections open for reuse.
#pragma once

#include "net/CurlHandles.h"

namespace vaultora::net {

class HttpTransferEngine final {
public:
    // The engine of the calling thread, created on first use.
    static HttpTransferEngine& forCurrentThread();

    HttpTransferEngine(const HttpTransferEngine&) = delete;
    HttpTransferEngine& operator=(const HttpTransferEngine&) = delete;
    ~HttpTransferEngine();

    [[nodiscard]] static CURLSH* share();

    // Runs the transfer on this thread's multi handle until it is removed again; the caller
    // drives it with perform() and wait().
    [[nodiscard]] CURLMcode addTransfer(CURL* easy);
    void removeTransfer(CURL* easy);
    // Drives every transfer of the thread; finished ones are handed to `finished`.
    template <typename Finished> void perform(Finished&& finished) {
        int running = 0;
        curl_multi_perform(m_multi.get(), &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &left)) {
            if (message->msg == CURLMSG_DONE)
                finished(message->easy_handle, message->data.result);
        }
    }
    // Waits for network activity on the thread's transfers, at most the given time.
    void wait(int milliseconds);

    // Closes the connections this thread keeps open, unless a transfer is running; the next
    // request opens a fresh one.
    void closeIdleConnections();
    // Forgets every cookie of the process.
    static void removeAllCookies();

private:
    HttpTransferEngine();

    CurlMulti m_multi;
    int m_activeTransfers = 0;
};

} // namespace vaultora::net
