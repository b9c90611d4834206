#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <cstdint>

namespace vaultora::webserver {

// A body the connection writes back: it is read forwards in chunks and can be positioned,
// which is what byte-range answers need.
class HttpResponse {
public:
    virtual ~HttpResponse() = default;

    [[nodiscard]] virtual uint64_t contentLength() const = 0;
    [[nodiscard]] virtual uint64_t offset() const = 0;
    virtual void setOffset(uint64_t offset) = 0;
    // At most length bytes from the offset, which then advances; empty at the end.
    [[nodiscard]] virtual QByteArray readDataOfLength(uint64_t length) = 0;
    // Extra header fields, in the order they are sent.
    [[nodiscard]] virtual QList<QPair<QByteArray, QByteArray>> httpHeaders() const { return {}; }
};

} // namespace vaultora::webserver
