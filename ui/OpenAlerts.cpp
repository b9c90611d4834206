#include "ui/OpenAlerts.h"

#include <string_view>

namespace vaultora::ui {

namespace {

constexpr double fileNotFoundSeconds = 2.5;
constexpr double openFailureSeconds = 2.0;

enum class FailureAlert { None, PasswordNotCorrect, UnsupportedVersion };

struct KnownFailure {
    std::string_view name;
    FailureAlert alert;
};

// Every other name is shown as an unknown error with the engine's reason.
constexpr KnownFailure knownFailures[] = {
    // A file that decrypts but does not parse gets only the password alert that follows.
    {"ParseError", FailureAlert::None},
    {"DecryptError", FailureAlert::PasswordNotCorrect},
    {"Unsupported", FailureAlert::UnsupportedVersion},
};

[[nodiscard]] QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

OpenAlert fileNotFoundAlert() {
    return {QStringLiteral("The database file is not found on this iPhone."),
            QStringLiteral("Please sync again in the database settings dialog."),
            fileNotFoundSeconds};
}

OpenAlert passwordNotCorrectAlert() {
    return {QStringLiteral("Password is not correct!"), QStringLiteral("Error"),
            openFailureSeconds};
}

std::optional<OpenAlert> alertForOpenFailure(const std::string& name, const std::string& reason) {
    for (const KnownFailure& known : knownFailures) {
        if (known.name != name) {
            continue;
        }
        switch (known.alert) {
        case FailureAlert::None:
            return std::nullopt;
        case FailureAlert::PasswordNotCorrect:
            return passwordNotCorrectAlert();
        case FailureAlert::UnsupportedVersion:
            return OpenAlert{QStringLiteral("Not a supported database version.!"),
                             QStringLiteral("Only kdb (1.x) and kdbx (up to 4.1) are supported."),
                             openFailureSeconds};
        }
    }
    const QString title = QStringLiteral("Unknown error (2): ") + fromUtf8(name);
    return OpenAlert{title, title + fromUtf8(reason), openFailureSeconds};
}

} // namespace vaultora::ui
