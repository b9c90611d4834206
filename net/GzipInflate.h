#pragma once

#include <QByteArray>
#include <optional>

namespace vaultora::net {

// The inflated form of a gzip (or zlib) encoded body; nothing when the data is damaged or cut
// short.
[[nodiscard]] std::optional<QByteArray> inflateGzip(const QByteArray& compressed);

} // namespace vaultora::net
