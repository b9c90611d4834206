#pragma once

#include <cstdint>

namespace vaultora::app {

// The application settings; one instance lives in the application delegate.
class AppSettings final {
public:
    AppSettings() = default;

    // Shown and edited as the "Auto Logout" switch; the idle logout itself only looks at
    // iAutoLogoutTimer.
    [[nodiscard]] bool bAutoLogout() const { return m_autoLogout; }
    void setBAutoLogout(bool value) { m_autoLogout = value; }

    [[nodiscard]] bool bShowPasswordDefault() const { return m_showPasswordDefault; }
    void setBShowPasswordDefault(bool value) { m_showPasswordDefault = value; }

    [[nodiscard]] bool bShowFullScreen() const { return m_showFullScreen; }
    void setBShowFullScreen(bool value) { m_showFullScreen = value; }

    // Minutes without a touch before every open database is closed; 0 or less never closes.
    [[nodiscard]] std::int32_t iAutoLogoutTimer() const { return m_autoLogoutTimer; }
    void setIAutoLogoutTimer(std::int32_t minutes) { m_autoLogoutTimer = minutes; }

    // Seconds a copied password stays on the clipboard; 0 or less keeps it until a lock.
    [[nodiscard]] std::int32_t iClipboardClearSeconds() const { return m_clipboardClearSeconds; }
    void setIClipboardClearSeconds(std::int32_t seconds) { m_clipboardClearSeconds = seconds; }

private:
    bool m_showPasswordDefault = false;
    bool m_showFullScreen = false;
    std::int32_t m_autoLogoutTimer = 5;
    bool m_autoLogout = true;
    std::int32_t m_clipboardClearSeconds = 30;
};

} // namespace vaultora::app
