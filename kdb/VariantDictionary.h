#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vaultora::kdb {

// The typed name-value list of format-4 headers (the key derivation's parameters, public
// custom data): a version word, then items of type, name and value until a type of 0.
class VariantDictionary {
public:
    using Bytes = std::vector<uint8_t>;
    using Value = std::variant<uint32_t, uint64_t, bool, int32_t, int64_t, std::string, Bytes>;

    // Reads the whole field. Damage (a cut item, an unknown type, a value of the wrong width,
    // a version of a later incompatible layout) throws
    // ("InvalidHeader", "InvalidVariantDictionary").
    [[nodiscard]] static VariantDictionary parse(std::span<const uint8_t> bytes);

    [[nodiscard]] const Value* find(const std::string& name) const;
    // The value when it is there with that type; a value of another type throws
    // ("InvalidHeader", "InvalidVariantDictionary").
    template <typename T> [[nodiscard]] std::optional<T> get(const std::string& name) const {
        const Value* value = find(name);
        if (value == nullptr) {
            return std::nullopt;
        }
        if (const T* typed = std::get_if<T>(value)) {
            return *typed;
        }
        throwInvalid();
    }
    [[nodiscard]] std::size_t size() const noexcept { return m_items.size(); }

private:
    [[noreturn]] static void throwInvalid();

    std::map<std::string, Value> m_items;
};

} // namespace vaultora::kdb
