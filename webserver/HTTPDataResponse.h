#pragma once

#include "webserver/HTTPResponse.h"

namespace web {

// Serves a block of bytes held in memory.
class HTTPDataResponse final : public HTTPResponse {
public:
    explicit HTTPDataResponse(QByteArray data);

    [[nodiscard]] uint64_t contentLength() const override;
    [[nodiscard]] uint64_t offset() const override;
    void setOffset(uint64_t offset) override;
    [[nodiscard]] QByteArray readDataOfLength(uint64_t length) override;

private:
    QByteArray m_data;
    uint64_t m_offset = 0;
};

} // namespace web
