#include "support/RegistryFileCheck.h"

#include "app/PropertyList.h"
#include "app/RegistryCodec.h"

#include <QString>

namespace vaultora::app::testing {

namespace {

// The fields the registry file keeps, in a form two reads can be compared in.
QStringList describe(const base::ServerArray& servers, const AppSettings& settings) {
    QStringList lines;
    for (const auto& record : servers) {
        lines.append(
            QStringLiteral("%1 | %2 | %3 | %4 | %5")
                .arg(record->databaseName(), record->serverDisplayName(), record->serverUrl())
                .arg(record->syncType())
                .arg(record->savePassword() != 0 ? 1 : 0));
    }
    lines.append(QStringLiteral("settings %1 %2 %3 %4")
                     .arg(settings.bAutoLogout())
                     .arg(settings.bShowPasswordDefault())
                     .arg(settings.iAutoLogoutTimer())
                     .arg(settings.bShowFullScreen()));
    return lines;
}

} // namespace

QStringList checkRegistryFile(const QByteArray& bytes) {
    QStringList problems;
    const PropertyList root = PropertyListFile::parse(bytes);
    if (!root) {
        return problems;
    }
    base::ServerArray legacy = RegistryCodec::decodeLegacyFileList(root.get());
    if (!RegistryCodec::isNonEmptyDictionary(root.get())) {
        return problems;
    }
    base::ServerArray servers;
    AppSettings settings;
    RegistryCodec::decode(root.get(), servers, settings);
    // The application saves what it read, legacy imports included.
    servers.insert(servers.end(), legacy.begin(), legacy.end());

    const PropertyList written = RegistryCodec::encode(servers, settings);
    const QByteArray xml = PropertyListFile::toXml(written.get());
    const PropertyList reread = PropertyListFile::parse(xml);
    if (!reread) {
        problems.append(QStringLiteral("the saved registry cannot be read back: %1")
                            .arg(QString::fromLatin1(xml.toPercentEncoding("<>/=\" \n"))));
        return problems;
    }
    base::ServerArray rereadServers;
    AppSettings rereadSettings;
    RegistryCodec::decode(reread.get(), rereadServers, rereadSettings);
    const QStringList before = describe(servers, settings);
    const QStringList after = describe(rereadServers, rereadSettings);
    if (before != after) {
        problems.append(
            QStringLiteral("the registry changed when saved and read back:\n%1\nbecame\n%2")
                .arg(before.join(QLatin1Char('\n')), after.join(QLatin1Char('\n'))));
    }
    return problems;
}

} // namespace vaultora::app::testing
