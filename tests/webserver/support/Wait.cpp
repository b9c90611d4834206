#include "tests/webserver/support/Wait.h"

#include <QDeadlineTimer>
#include <QTest>

namespace vaultora::test::web {

bool waitUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(30000);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

} // namespace vaultora::test::web
