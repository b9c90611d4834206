// What a request tells the object that follows its download.
#pragma once

#include <QtGlobal>

namespace vaultora::net {

class HttpRequest;

class HttpProgressDelegate {
public:
    virtual ~HttpProgressDelegate() = default;

    // Once per response, after its headers: the expected body size, or 1 when the response
    // does not say.
    virtual void requestIncrementDownloadSizeBy(HttpRequest& request, qint64 bytes) = 0;
    // After each read of body data: the bytes received since the previous call, or 1 per read
    // when the size is unknown.
    virtual void requestDidReceiveBytes(HttpRequest& request, qint64 bytes) = 0;
};

// Optional for a progress delegate: the received fraction of the expected size.
class HttpProgressFraction {
public:
    virtual ~HttpProgressFraction() = default;
    virtual void setProgress(double fraction) = 0;
};

} // namespace vaultora::net
