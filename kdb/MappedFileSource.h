#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "InputSource.h"

namespace vaultora::kdb {

// The file source: the whole content of a file mapped into memory, or a byte block shared
// with the caller. The only source that can be positioned freely.
class MappedFileSource final : public InputSource {
public:
    // Maps the file read-only for as long as the source lives. A file that cannot be opened
    // or mapped, or that is larger than 4 GiB - 1, gives an empty source. As reading moves
    // on, the pages behind it are given back to the system, so that a large file does not
    // stay in memory beside what is made of it; a read that goes back gets them from the file
    // again.
    explicit MappedFileSource(const std::string& path);
    // Reads from a block whose ownership the caller shares with this source.
    explicit MappedFileSource(std::shared_ptr<const std::vector<uint8_t>> data);

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    // Clamped to the content length; returns the new offset.
    uint32_t setReadOffset(uint32_t offset) override;
    // Moves in either direction; a move before the start stops at 0, one past the end at
    // the end.
    uint32_t moveReadOffset(int32_t distance) override;

    // The content from the current offset on, without copying and without moving.
    [[nodiscard]] std::span<const uint8_t> getRemainingBufferToRead() const noexcept;
    [[nodiscard]] uint32_t _offset() const noexcept { return m_offset; }
    [[nodiscard]] bool isMapped() const noexcept { return m_data != nullptr; }

private:
    void releaseReadPages() noexcept;

    // Keeps the mapping (unmapped by its deleter) or the caller's block alive.
    std::shared_ptr<const void> m_owner;
    const uint8_t* m_data = nullptr;
    uint32_t m_length = 0;
    uint32_t m_offset = 0;
    // Of a mapped file: where the pages not yet given back begin.
    bool m_mappedFile = false;
    uint32_t m_keptFrom = 0;
};

} // namespace vaultora::kdb
