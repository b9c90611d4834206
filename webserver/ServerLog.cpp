#include "webserver/ServerLog.h"

#include <QDebug>

namespace vaultora::webserver {

QString printableText(const QString& text) {
    QString printable;
    printable.reserve(text.size());
    for (const char32_t character : text.toUcs4()) {
        if (QChar::isPrint(character)) {
            printable += QString::fromUcs4(&character, 1);
        } else if (character == U'\n') {
            printable += QStringLiteral("\\n");
        } else if (character == U'\r') {
            printable += QStringLiteral("\\r");
        } else if (character < 0x100) {
            printable +=
                QStringLiteral("\\x%1").arg(static_cast<uint>(character), 2, 16, QLatin1Char('0'));
        } else {
            printable += QStringLiteral("\\u{%1}").arg(static_cast<uint>(character), 0, 16);
        }
    }
    return printable;
}

void serverLog(const QString& line) {
    qInfo().noquote() << printableText(line);
}

} // namespace vaultora::webserver
