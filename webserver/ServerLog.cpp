#include "webserver/ServerLog.h"

#include <QDebug>

namespace vaultora::webserver {

void serverLog(const QString& line) {
    qInfo().noquote() << line;
}

} // namespace vaultora::webserver
