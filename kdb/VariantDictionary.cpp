#include "VariantDictionary.h"

#include <cstring>

#include "DatabaseError.h"

namespace vaultora::kdb {

namespace {

enum ValueType : uint8_t {
    End = 0x00,
    UInt32 = 0x04,
    UInt64 = 0x05,
    Boolean = 0x08,
    Int32 = 0x0C,
    Int64 = 0x0D,
    Text = 0x18,
    ByteArray = 0x42,
};

// Only a change of the high byte of the version breaks compatibility.
constexpr uint16_t kVersionCriticalMask = 0xFF00;
constexpr uint16_t kVersion = 0x0100;

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    uint64_t number(std::size_t width) {
        const std::span<const uint8_t> field = take(width);
        uint64_t value = 0;
        for (std::size_t index = width; index > 0; --index) {
            value = (value << 8) | field[index - 1];
        }
        return value;
    }

    std::span<const uint8_t> take(std::size_t length) {
        if (length > m_bytes.size() - m_position) {
            throw DatabaseError("InvalidHeader", "InvalidVariantDictionary");
        }
        const std::span<const uint8_t> taken = m_bytes.subspan(m_position, length);
        m_position += length;
        return taken;
    }

    // A length field: a signed 32-bit count that may not be negative.
    std::size_t length() {
        const auto value = static_cast<int32_t>(static_cast<uint32_t>(number(4)));
        if (value < 0) {
            throw DatabaseError("InvalidHeader", "InvalidVariantDictionary");
        }
        return static_cast<std::size_t>(value);
    }

private:
    std::span<const uint8_t> m_bytes;
    std::size_t m_position = 0;
};

uint64_t fixedWidth(std::span<const uint8_t> data, std::size_t width) {
    if (data.size() != width) {
        throw DatabaseError("InvalidHeader", "InvalidVariantDictionary");
    }
    return Reader(data).number(width);
}

} // namespace

void VariantDictionary::throwInvalid() {
    throw DatabaseError("InvalidHeader", "InvalidVariantDictionary");
}

VariantDictionary VariantDictionary::parse(std::span<const uint8_t> bytes) {
    Reader reader(bytes);
    const auto version = static_cast<uint16_t>(reader.number(2));
    if ((version & kVersionCriticalMask) > (kVersion & kVersionCriticalMask)) {
        throwInvalid();
    }
    VariantDictionary dictionary;
    for (;;) {
        const auto type = static_cast<uint8_t>(reader.number(1));
        if (type == End) {
            break;
        }
        const std::span<const uint8_t> nameBytes = reader.take(reader.length());
        const std::span<const uint8_t> data = reader.take(reader.length());
        std::string name(reinterpret_cast<const char*>(nameBytes.data()), nameBytes.size());
        Value value;
        switch (type) {
        case UInt32:
            value = static_cast<uint32_t>(fixedWidth(data, 4));
            break;
        case UInt64:
            value = fixedWidth(data, 8);
            break;
        case Boolean:
            value = fixedWidth(data, 1) != 0;
            break;
        case Int32:
            value = static_cast<int32_t>(static_cast<uint32_t>(fixedWidth(data, 4)));
            break;
        case Int64:
            value = static_cast<int64_t>(fixedWidth(data, 8));
            break;
        case Text:
            value = std::string(reinterpret_cast<const char*>(data.data()), data.size());
            break;
        case ByteArray:
            value = Bytes(data.begin(), data.end());
            break;
        default:
            throwInvalid();
        }
        dictionary.m_items.insert_or_assign(std::move(name), std::move(value));
    }
    return dictionary;
}

const VariantDictionary::Value* VariantDictionary::find(const std::string& name) const {
    const auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : &found->second;
}

} // namespace vaultora::kdb
