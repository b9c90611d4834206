// The alerts of the open flow, with the engine's failure names mapped to their texts in one
// table.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace vaultora::ui {

struct OpenAlert {
    QString title;
    QString subtitle;
    double seconds = 0.0;
};

[[nodiscard]] OpenAlert fileNotFoundAlert();
[[nodiscard]] OpenAlert passwordNotCorrectAlert();
// The alert for a failed load by the engine's failure name and reason; none for a failure
// that the password alert after every failed load already covers.
[[nodiscard]] std::optional<OpenAlert> alertForOpenFailure(const std::string& name,
                                                           const std::string& reason);

} // namespace vaultora::ui
