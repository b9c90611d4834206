#include "KeePass1Parser.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "ByteBuffer.h"
#include "Codec.h"
#include "DatabaseError.h"
#include "MemoryAttachmentContainer.h"

namespace vaultora::kdb {

namespace {

constexpr uint16_t kEndOfRecord = 0xFFFF;

struct FieldHeader {
    uint16_t type;
    uint32_t size;
};

// Reads the field data and hands it out piece by piece; every piece must have arrived.
class FieldReader {
public:
    FieldReader(InputSource& source, const char* reason) : m_source(source), m_reason(reason) {}

    [[noreturn]] void fail() const { throw DatabaseError("ParseError", m_reason); }

    FieldHeader header() {
        const auto type = Codec::readCompleteLE(m_source, 2);
        const auto size = Codec::readCompleteLE(m_source, 4);
        if (!type || !size) {
            fail();
        }
        return {static_cast<uint16_t>(*type), static_cast<uint32_t>(*size)};
    }

    std::unique_ptr<ByteBuffer> data(uint32_t size) {
        auto buffer = ByteBuffer::readUpTo(m_source, size);
        if (buffer->_size() != size) {
            fail();
        }
        return buffer;
    }

    // Fixed-width numbers are read at their own width; a field too short for its number is
    // refused, and bytes beyond the width are skipped so the next field starts in place.
    uint32_t number(uint32_t size, unsigned width) {
        if (size < width) {
            fail();
        }
        const auto buffer = data(size);
        uint32_t value = 0;
        for (unsigned index = width; index-- > 0;) {
            value = (value << 8) | buffer->_bytes()[index];
        }
        return value;
    }

    // The text up to the first zero byte; bytes that are not valid UTF-8 give no text.
    std::string text(uint32_t size) {
        const auto buffer = data(size);
        if (size == 0) {
            return {};
        }
        const uint8_t* bytes = buffer->_bytes();
        const auto* zero = static_cast<const uint8_t*>(std::memchr(bytes, 0, size));
        const std::size_t length = zero != nullptr ? static_cast<std::size_t>(zero - bytes) : size;
        if (!Codec::isValidUtf8(bytes, length)) {
            return {};
        }
        return std::string(reinterpret_cast<const char*>(bytes), length);
    }

    void date(uint32_t size, UnpackedDate& destination) {
        if (size < 5) {
            fail();
        }
        const auto buffer = data(size);
        PackedDate packed{};
        std::memcpy(packed.data(), buffer->_bytes(), packed.size());
        KeePass1Date::dateFromPacked(destination, packed);
    }

    // Skipped through the source, which on the decrypting source reads and discards.
    void skip(uint32_t size) {
        while (size > 0) {
            const auto step = static_cast<int32_t>(std::min<uint32_t>(size, INT32_MAX));
            m_source.moveReadOffset(step);
            size -= static_cast<uint32_t>(step);
        }
    }

    InputSource& source() { return m_source; }

private:
    InputSource& m_source;
    const char* m_reason;
};

} // namespace

std::unique_ptr<KeePass1Tree> KeePass1Parser::parse(InputSource& source, uint32_t numGroups,
                                                    uint32_t numEntries) {
    std::vector<GroupRecord> groups;
    read(source, groups, numGroups);
    read(source, numEntries, groups);
    return buildTree(groups);
}

void KeePass1Parser::read(InputSource& source, std::vector<GroupRecord>& groups,
                          uint32_t numOfGroups) {
    FieldReader reader(source, "ParseGroup");
    // Room grows as records arrive rather than with what the header claims.
    groups.reserve(std::min<uint32_t>(numOfGroups, 1024));
    for (uint32_t count = 0; count < numOfGroups; ++count) {
        GroupRecord record{std::make_unique<KeePass1Group>(), std::nullopt};
        KeePass1Group& group = *record.group;
        for (;;) {
            const FieldHeader field = reader.header();
            if (field.type == kEndOfRecord) {
                reader.skip(field.size);
                break;
            }
            switch (field.type) {
            case 0x0000:
                reader.skip(field.size);
                break;
            case 0x0001:
                group.set_id(reader.number(field.size, 4));
                break;
            case 0x0002:
                group.setGroupName(reader.text(field.size));
                break;
            case 0x0003:
                reader.date(field.size, group.getCreation());
                break;
            case 0x0004:
                reader.date(field.size, group.getLastMod());
                break;
            case 0x0005:
                reader.date(field.size, group.getLastAccess());
                break;
            case 0x0006:
                reader.date(field.size, group.getExpiry());
                break;
            case 0x0007:
                group.set_image(reader.number(field.size, 4));
                break;
            case 0x0008:
                record.level = static_cast<uint16_t>(reader.number(field.size, 2));
                break;
            case 0x0009:
                group.set_flags(reader.number(field.size, 4));
                break;
            default:
                reader.fail();
            }
        }
        groups.push_back(std::move(record));
    }
}

void KeePass1Parser::read(InputSource& source, uint32_t numOfEntries,
                          const std::vector<GroupRecord>& groups) {
    std::unordered_map<uint32_t, KeePass1Group*> firstGroupWithId;
    firstGroupWithId.reserve(groups.size());
    for (const auto& record : groups) {
        firstGroupWithId.emplace(record.group->_id(), record.group.get());
    }

    FieldReader reader(source, "ParseEntry");
    for (uint32_t count = 0; count < numOfEntries; ++count) {
        auto entry = std::make_unique<KeePass1Entry>();
        std::optional<uint32_t> groupId;
        for (;;) {
            const FieldHeader field = reader.header();
            if (field.type == kEndOfRecord) {
                reader.skip(field.size);
                break;
            }
            switch (field.type) {
            case 0x0000:
                reader.skip(field.size);
                break;
            case 0x0001: {
                const auto bytes = reader.data(field.size);
                entry->set_uuid(std::make_unique<UUID>(bytes->_bytes(), bytes->_size()));
                break;
            }
            case 0x0002:
                groupId = reader.number(field.size, 4);
                break;
            case 0x0003:
                entry->set_image(reader.number(field.size, 4));
                break;
            case 0x0004:
                entry->setEntryName(reader.text(field.size));
                break;
            case 0x0005:
                entry->setURL(reader.text(field.size));
                break;
            case 0x0006:
                entry->setUserName(reader.text(field.size));
                break;
            case 0x0007:
                entry->setPassword(reader.text(field.size));
                break;
            case 0x0008:
                entry->setComments(reader.text(field.size));
                break;
            case 0x0009:
                reader.date(field.size, entry->getCreation());
                break;
            case 0x000A:
                reader.date(field.size, entry->getLastMod());
                break;
            case 0x000B:
                reader.date(field.size, entry->getLastAccess());
                break;
            case 0x000C:
                reader.date(field.size, entry->getExpiry());
                break;
            case 0x000D:
                entry->set_binaryDesc(reader.text(field.size));
                break;
            case 0x000E: {
                entry->set_binarySize(field.size);
                if (field.size != 0) {
                    auto binary = std::make_unique<MemoryAttachmentContainer>();
                    if (binary->storeBinary(reader.source(), field.size) != field.size) {
                        reader.fail();
                    }
                    entry->set_binary(std::move(binary));
                }
                break;
            }
            default:
                reader.fail();
            }
        }
        if (groupId) {
            const auto found = firstGroupWithId.find(*groupId);
            if (found != firstGroupWithId.end()) {
                found->second->addEntry(std::move(entry));
            }
        }
    }
}

std::unique_ptr<KeePass1Tree> KeePass1Parser::buildTree(std::vector<GroupRecord>& groups) {
    const auto invalidTree = [] { throw DatabaseError("InvalidData", "InvalidTree"); };
    if (groups.empty() || groups.front().level != 0) {
        invalidTree();
    }
    auto root = std::make_unique<KeePass1Group>();
    root->setGroupName("$ROOT$");
    KeePass1Group* const rootGroup = root.get();

    // The parent of a group at level L is the nearest earlier group with a smaller level,
    // which must be at level L - 1. The earlier groups that can still be someone's parent
    // form a chain of rising levels, so each group is placed in constant amortised time.
    struct Candidate {
        uint16_t level;
        KeePass1Group* group;
    };
    std::vector<Candidate> chain;
    std::vector<KeePass1Group*> parents;
    parents.reserve(groups.size());
    for (const auto& record : groups) {
        if (!record.level) {
            invalidTree();
        }
        const uint16_t level = *record.level;
        while (!chain.empty() && chain.back().level >= level) {
            chain.pop_back();
        }
        if (level == 0) {
            parents.push_back(rootGroup);
        } else if (chain.empty() || chain.back().level != level - 1) {
            invalidTree();
        } else {
            parents.push_back(chain.back().group);
        }
        chain.push_back({level, record.group.get()});
    }
    for (std::size_t index = 0; index < groups.size(); ++index) {
        parents[index]->addSubGroup(std::move(groups[index].group));
    }
    return std::make_unique<KeePass1Tree>(std::move(root));
}

} // namespace vaultora::kdb
