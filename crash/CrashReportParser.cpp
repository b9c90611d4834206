#include "crash/CrashReportParser.h"

#include <QList>

namespace vaultora::crash {

namespace {

const QByteArray magicLine = QByteArrayLiteral("VaultoraCrashReport 1");

std::optional<std::uint64_t> parseAddress(const QByteArray& text) {
    bool valid = false;
    const QByteArray trimmed = text.trimmed();
    if (!trimmed.startsWith("0x")) {
        return std::nullopt;
    }
    const std::uint64_t value = trimmed.mid(2).toULongLong(&valid, 16);
    return valid ? std::optional<std::uint64_t>(value) : std::nullopt;
}

std::optional<std::int64_t> parseInteger(const QByteArray& text) {
    bool valid = false;
    const std::int64_t value = text.trimmed().toLongLong(&valid, 10);
    return valid ? std::optional<std::int64_t>(value) : std::nullopt;
}

} // namespace

std::optional<CrashReport> CrashReportParser::parse(const QByteArray& bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.first() != magicLine) {
        return std::nullopt;
    }
    CrashReport report;
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const QByteArray& line = lines[index];
        if (line == "End") {
            report.complete = true;
            break;
        }
        const qsizetype separator = line.indexOf(": ");
        if (separator <= 0) {
            continue;
        }
        const QByteArray key = line.left(separator);
        const QByteArray value = line.mid(separator + 2);
        if (key == "Identifier") {
            report.applicationIdentifier = QString::fromUtf8(value);
        } else if (key == "Version") {
            report.applicationVersion = QString::fromUtf8(value);
        } else if (key == "OS Version") {
            report.operatingSystemVersion = QString::fromUtf8(value);
        } else if (key == "Process") {
            report.processName = QString::fromUtf8(value);
        } else if (key == "Frame" || key == "Fault Address" || key == "PC") {
            const auto address = parseAddress(value);
            if (!address) {
                return std::nullopt;
            }
            if (key == "Frame") {
                report.frames.append(*address);
            } else if (key == "PC") {
                report.programCounter = *address;
            } else {
                report.faultAddress = *address;
            }
        } else if (key == "PID" || key == "Signal" || key == "Code" || key == "Time") {
            const auto number = parseInteger(value);
            if (!number) {
                return std::nullopt;
            }
            if (key == "PID") {
                report.processIdentifier = *number;
            } else if (key == "Signal") {
                report.signalNumber = static_cast<int>(*number);
            } else if (key == "Code") {
                report.signalCode = static_cast<int>(*number);
            } else {
                report.time = *number;
            }
        } else if (key == "Image") {
            const auto image = parseImage(value);
            if (!image) {
                return std::nullopt;
            }
            report.images.append(*image);
        }
    }
    if (report.applicationIdentifier.isEmpty() || report.applicationVersion.isEmpty() ||
        report.operatingSystemVersion.isEmpty()) {
        return std::nullopt;
    }
    return report;
}

std::optional<CrashReport::Image> CrashReportParser::parseImage(const QByteArray& line) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 5) {
        return std::nullopt;
    }
    const QList<QByteArray> range = fields[0].split('-');
    if (range.size() != 2) {
        return std::nullopt;
    }
    bool startValid = false;
    bool endValid = false;
    bool offsetValid = false;
    bool inodeValid = false;
    CrashReport::Image image;
    image.start = range[0].toULongLong(&startValid, 16);
    image.end = range[1].toULongLong(&endValid, 16);
    image.fileOffset = fields[2].toULongLong(&offsetValid, 16);
    image.inode = fields[4].toULongLong(&inodeValid, 10);
    if (!startValid || !endValid || !offsetValid || !inodeValid || image.end < image.start) {
        return std::nullopt;
    }
    // The path is the rest of the line after the inode; it may hold spaces.
    qsizetype position = 0;
    const QByteArray simplified = line.simplified();
    for (int field = 0; field < 5 && position >= 0; ++field) {
        position = simplified.indexOf(' ', position);
        if (position >= 0) {
            ++position;
        }
    }
    if (position > 0) {
        image.path = QString::fromUtf8(simplified.mid(position));
    }
    return image;
}

} // namespace vaultora::crash
