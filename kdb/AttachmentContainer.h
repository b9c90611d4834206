#pragma once

#include <cstdint>

#include "ByteBuffer.h"
#include "InputSource.h"

namespace vaultora::kdb {

// Holds the bytes of an entry's attachment.
class AttachmentContainer {
public:
    virtual ~AttachmentContainer() = default;

    // Stores size bytes read from the source, once: when something is stored already it
    // reads nothing. Returns the number of bytes that arrived (0 when nothing was read).
    virtual uint32_t storeBinary(InputSource& source, uint32_t size) = 0;
    // The stored bytes, or nullptr.
    [[nodiscard]] virtual const ByteBuffer* getBinary() const = 0;
    // The stored size, or 0 when nothing is stored.
    [[nodiscard]] virtual uint32_t getSize() const = 0;
};

} // namespace vaultora::kdb
