#pragma once

#include <QStringList>
#include <QtGlobal>

namespace vaultora::test::web {

// Collects the diagnostic lines written while it exists.
class LogCapture final {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    [[nodiscard]] QStringList lines() const;
    [[nodiscard]] bool contains(const QString& line) const { return lines().contains(line); }

private:
    QtMessageHandler m_previous;
};

} // namespace vaultora::test::web
