#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

class QSocketNotifier;

namespace vaultora::webserver {

// A listening TCP socket on the event loop that accepts connections itself, so that a
// process out of file descriptors is noticed: it asks for an idle connection to be given up,
// or pauses briefly, instead of being woken for the same waiting client again and again.
class ConnectionListener final : public QObject {
    Q_OBJECT

public:
    enum class Family { IPv4, IPv6 };
    // Closes a connection to free its descriptor; false when there is none to close.
    using DescriptorReclaimer = std::function<bool()>;

    ConnectionListener(DescriptorReclaimer reclaimer, QObject* parent);
    ~ConnectionListener() override;
    ConnectionListener(const ConnectionListener&) = delete;
    ConnectionListener& operator=(const ConnectionListener&) = delete;

    // Listens on every address of the family; port 0 lets the system choose.
    [[nodiscard]] bool listen(Family family, uint16_t port, int backlog);
    [[nodiscard]] uint16_t port() const;
    [[nodiscard]] QString errorString() const { return m_errorString; }

signals:
    // A new connection's socket, non-blocking; the receiver owns it.
    void connectionAccepted(qintptr descriptor);

private:
    void acceptPending();
    void pauseAccepting();

    DescriptorReclaimer m_reclaimer;
    int m_descriptor = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_retryTimer;
    QString m_errorString;
};

} // namespace vaultora::webserver
