// Opens a web address for the user: the web page view of the toolkit is the system browser.
#pragma once

#include <QUrl>

namespace vaultora::toolkit {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    [[nodiscard]] virtual bool openUrl(const QUrl& url) = 0;
};

class SystemUrlOpener final : public UrlOpener {
public:
    [[nodiscard]] bool openUrl(const QUrl& url) override;
};

} // namespace vaultora::toolkit
