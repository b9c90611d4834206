#pragma once

#include <stdexcept>
#include <string>

namespace vaultora::kdb {

// The engine's one failure type. Callers dispatch on name() ("DecryptError", "ParseError",
// "InvalidData", "InvalidHeader", "Unsupported", "UnsupportedMethod", "AppError"); reason()
// says which check failed.
class DatabaseError final : public std::runtime_error {
public:
    DatabaseError(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), m_name(std::move(name)),
          m_reason(std::move(reason)) {}

    [[nodiscard]] const std::string& name() const noexcept { return m_name; }
    [[nodiscard]] const std::string& reason() const noexcept { return m_reason; }

private:
    std::string m_name;
    std::string m_reason;
};

} // namespace vaultora::kdb
