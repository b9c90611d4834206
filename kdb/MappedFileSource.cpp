#include "MappedFileSource.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vaultora::kdb {

namespace {

class FileDescriptor final {
public:
    explicit FileDescriptor(int descriptor) noexcept : m_descriptor(descriptor) {}
    ~FileDescriptor() {
        if (m_descriptor >= 0) {
            ::close(m_descriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const noexcept { return m_descriptor; }

private:
    int m_descriptor;
};

} // namespace

MappedFileSource::MappedFileSource(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0 ||
        static_cast<unsigned long long>(status.st_size) > std::numeric_limits<uint32_t>::max()) {
        return;
    }
    const auto length = static_cast<std::size_t>(status.st_size);
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file.get(), 0);
    if (mapped == MAP_FAILED) {
        return;
    }
    m_owner = std::shared_ptr<const void>(
        mapped, [length](const void* address) { ::munmap(const_cast<void*>(address), length); });
    m_data = static_cast<const uint8_t*>(mapped);
    m_length = static_cast<uint32_t>(length);
    m_mappedFile = true;
}

MappedFileSource::MappedFileSource(std::shared_ptr<const std::vector<uint8_t>> data) {
    if (!data || data->empty() || data->size() > std::numeric_limits<uint32_t>::max()) {
        return;
    }
    m_data = data->data();
    m_length = static_cast<uint32_t>(data->size());
    m_owner = std::move(data);
}

uint32_t MappedFileSource::readBytes(void* destination, uint32_t length) {
    const uint32_t count = std::min(length, m_length - m_offset);
    if (count > 0) {
        std::memcpy(destination, m_data + m_offset, count);
        m_offset += count;
        releaseReadPages();
    }
    return count;
}

void MappedFileSource::releaseReadPages() noexcept {
    // In steps of a megabyte: one call per page would cost more than the pages are worth.
    constexpr uint32_t kStep = 1024 * 1024;
    if (!m_mappedFile || m_offset < m_keptFrom || m_offset - m_keptFrom < kStep) {
        return;
    }
    // The mapping starts on a page boundary, so whole pages end at multiples of the page size.
    static const auto pageSize = static_cast<uint32_t>(::sysconf(_SC_PAGESIZE));
    const uint32_t end = m_offset / pageSize * pageSize;
    if (end > m_keptFrom &&
        ::madvise(const_cast<uint8_t*>(m_data) + m_keptFrom, end - m_keptFrom, MADV_DONTNEED) ==
            0) {
        m_keptFrom = end;
    }
}

uint32_t MappedFileSource::lengthOfRemainingReadbleBytes() {
    return m_length - m_offset;
}

uint32_t MappedFileSource::setReadOffset(uint32_t offset) {
    m_offset = std::min(offset, m_length);
    return m_offset;
}

uint32_t MappedFileSource::moveReadOffset(int32_t distance) {
    const int64_t target = static_cast<int64_t>(m_offset) + distance;
    return setReadOffset(static_cast<uint32_t>(std::clamp<int64_t>(target, 0, m_length)));
}

std::span<const uint8_t> MappedFileSource::getRemainingBufferToRead() const noexcept {
    if (m_data == nullptr) {
        return {};
    }
    return {m_data + m_offset, m_length - m_offset};
}

} // namespace vaultora::kdb
