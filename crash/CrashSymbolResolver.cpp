#include "crash/CrashSymbolResolver.h"

#include "crash/CrashReportParser.h"

#include <boost/stacktrace/frame.hpp>

#include <QFile>

namespace vaultora::crash {

CrashSymbolResolver::CrashSymbolResolver() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return;
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1].size() != 4 || fields[1][2] != 'x') {
            continue;
        }
        if (const auto image = CrashReportParser::parseImage(line)) {
            m_loadedImages.append(*image);
        }
    }
}

std::optional<QString> CrashSymbolResolver::symbolFor(const CrashReport::Image& image,
                                                      std::uint64_t address) const {
    if (image.path.isEmpty() || address < image.start || address >= image.end) {
        return std::nullopt;
    }
    for (const CrashReport::Image& loaded : m_loadedImages) {
        if (loaded.path != image.path || loaded.inode != image.inode ||
            loaded.fileOffset != image.fileOffset ||
            loaded.end - loaded.start != image.end - image.start) {
            continue;
        }
        const std::uint64_t here = loaded.start + (address - image.start);
        const boost::stacktrace::frame frame(reinterpret_cast<const void*>(here));
        const std::string name = frame.name();
        if (name.empty()) {
            return std::nullopt;
        }
        QString symbol = QString::fromStdString(name);
        const std::string sourceFile = frame.source_file();
        if (!sourceFile.empty() && frame.source_line() > 0) {
            symbol += QStringLiteral(" (%1:%2)")
                          .arg(QString::fromStdString(sourceFile).section(QLatin1Char('/'), -1))
                          .arg(frame.source_line());
        }
        return symbol;
    }
    return std::nullopt;
}

} // namespace vaultora::crash
