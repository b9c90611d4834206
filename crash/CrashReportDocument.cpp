#include "crash/CrashReportDocument.h"

namespace vaultora::crash {

QString CrashReportDocument::crashElement(const Crash& crash) {
    return QStringLiteral("<crash><applicationname>%1</applicationname>"
                          "<bundleidentifier>%2</bundleidentifier>"
                          "<systemversion>%3</systemversion><platform>%4</platform>"
                          "<senderversion>%5</senderversion><version>%6</version>"
                          "<log><![CDATA[%7]]></log><userid>%8</userid><contact>%9</contact>")
               .arg(escapeText(crash.applicationName), escapeText(crash.bundleIdentifier),
                    escapeText(crash.systemVersion), escapeText(crash.platform),
                    escapeText(crash.senderVersion), escapeText(crash.version),
                    escapeCharacterData(crash.log), escapeText(crash.userIdentifier),
                    escapeText(crash.contact)) +
           QStringLiteral("<description><![CDATA[") + escapeCharacterData(crash.description) +
           QStringLiteral("]]></description></crash>");
}

QString CrashReportDocument::document(const QString& crashElements) {
    return QStringLiteral("<crashes>") + crashElements + QStringLiteral("</crashes>");
}

QString CrashReportDocument::escapeCharacterData(QString text) {
    return text.replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
}

QString CrashReportDocument::escapeText(const QString& text) {
    return text.toHtmlEscaped();
}

QByteArray CrashReportDocument::multipartBody(const QString& document) {
    QByteArray body;
    body += QByteArrayLiteral("--") + boundary + QByteArrayLiteral("\r\n");
    body += QByteArrayLiteral("Content-Disposition: form-data; name=\"xmlstring\"\r\n\r\n");
    body += document.toUtf8();
    body += QByteArrayLiteral("\r\n--") + boundary + QByteArrayLiteral("--\r\n");
    return body;
}

QByteArray CrashReportDocument::contentType() {
    return QByteArrayLiteral("multipart/form-data; boundary=") + boundary;
}

} // namespace vaultora::crash
