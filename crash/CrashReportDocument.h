#pragma once

#include <QByteArray>
#include <QString>

namespace vaultora::crash {

// The XML document of crash reports and the form it is posted in.
class CrashReportDocument final {
public:
    struct Crash {
        QString applicationName;
        QString bundleIdentifier;
        QString systemVersion;
        QString platform;
        QString senderVersion;
        QString version;
        QString log;
        QString userIdentifier;
        QString contact;
        QString description;
    };

    static constexpr char boundary[] = "----FOO";

    CrashReportDocument() = delete;

    // One <crash> element.
    [[nodiscard]] static QString crashElement(const Crash& crash);
    // The elements wrapped in <crashes>.
    [[nodiscard]] static QString document(const QString& crashElements);
    // Text that can sit inside a CDATA section: each "]]>" ends the section and opens a new
    // one, so the reader puts the text back together unchanged.
    [[nodiscard]] static QString escapeCharacterData(QString text);
    // Element text with the XML markup characters escaped.
    [[nodiscard]] static QString escapeText(const QString& text);
    // The multipart/form-data body with the document as its one part, "xmlstring".
    [[nodiscard]] static QByteArray multipartBody(const QString& document);
    [[nodiscard]] static QByteArray contentType();
};

} // namespace vaultora::crash
