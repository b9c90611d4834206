#include "webserver/ServerLog.h"

#include <QDebug>

namespace web {

void serverLog(const QString& line) {
    qInfo().noquote() << line;
}

} // namespace web
