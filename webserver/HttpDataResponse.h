#pragma once

#include "webserver/HttpResponse.h"

namespace vaultora::webserver {

// Serves a block of bytes held in memory.
class HttpDataResponse final : public HttpResponse {
public:
    explicit HttpDataResponse(QByteArray data);

    [[nodiscard]] uint64_t contentLength() const override;
    [[nodiscard]] uint64_t offset() const override;
    void setOffset(uint64_t offset) override;
    [[nodiscard]] QByteArray readDataOfLength(uint64_t length) override;

private:
    QByteArray m_data;
    uint64_t m_offset = 0;
};

} // namespace vaultora::webserver
