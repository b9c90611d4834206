#include "crash/CrashReportFormatter.h"

#include "crash/CrashSymbolResolver.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <csignal>

namespace vaultora::crash {

namespace {

QString signalName(int signalNumber) {
    switch (signalNumber) {
    case SIGSEGV:
        return QStringLiteral("SIGSEGV");
    case SIGBUS:
        return QStringLiteral("SIGBUS");
    case SIGILL:
        return QStringLiteral("SIGILL");
    case SIGFPE:
        return QStringLiteral("SIGFPE");
    case SIGABRT:
        return QStringLiteral("SIGABRT");
    default:
        return QStringLiteral("SIG%1").arg(signalNumber);
    }
}

QString address(std::uint64_t value) {
    return QStringLiteral("0x%1").arg(value, 16, 16, QLatin1Char('0'));
}

QString imageName(const CrashReport::Image* image) {
    if (image == nullptr || image->path.isEmpty()) {
        return QStringLiteral("???");
    }
    return image->path.section(QLatin1Char('/'), -1);
}

QString field(const char* label, const QString& value) {
    return QString::fromLatin1(label).leftJustified(17) + value + QLatin1Char('\n');
}

// Every path below the home directory, and the home directory itself, with "~" in its place.
QString withHomeAsTilde(QString text, QString home) {
    while (home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    if (home.isEmpty()) {
        return text;
    }
    const QRegularExpression homePath(QRegularExpression::escape(home) +
                                          QStringLiteral("(?=/|\\s|$)"),
                                      QRegularExpression::MultilineOption);
    return text.replace(homePath, QStringLiteral("~"));
}

} // namespace

QString CrashReportFormatter::format(const CrashReport& report, const QString& homeDirectory) {
    QString text;
    text += field("Process:",
                  QStringLiteral("%1 [%2]").arg(report.processName).arg(report.processIdentifier));
    text += field("Identifier:", report.applicationIdentifier);
    text += field("Version:", report.applicationVersion);
    text += field("OS Version:", report.operatingSystemVersion);
    text += field("Date/Time:", QDateTime::fromSecsSinceEpoch(report.time, QTimeZone::utc())
                                    .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")));
    text += field("Exception Type:", QStringLiteral("%1 (signal %2, code %3)")
                                         .arg(signalName(report.signalNumber))
                                         .arg(report.signalNumber)
                                         .arg(report.signalCode));
    // Only a fault raised by the processor has an address; a signal sent by a process has not.
    if (report.signalNumber != SIGABRT && report.signalCode > 0) {
        text += field("Fault Address:", address(report.faultAddress));
    }
    if (!report.complete) {
        text += field("Note:", QStringLiteral("the report was cut short"));
    }

    const CrashSymbolResolver resolver;
    text += QStringLiteral("\nThread 0 Crashed:\n");
    for (qsizetype index = 0; index < report.frames.size(); ++index) {
        const std::uint64_t frameAddress = report.frames[index];
        // Outer frames hold return addresses, which point just past the call.
        const std::uint64_t lookup =
            (index == 0 && frameAddress == report.programCounter) || frameAddress == 0
                ? frameAddress
                : frameAddress - 1;
        const CrashReport::Image* image = report.imageContaining(lookup);
        QString symbol;
        if (image != nullptr) {
            symbol = resolver.symbolFor(*image, lookup)
                         .value_or(QStringLiteral("%1 + %2")
                                       .arg(imageName(image))
                                       .arg(frameAddress - image->start + image->fileOffset));
        }
        text += QStringLiteral("%1 %2 %3 %4\n")
                    .arg(index, -4)
                    .arg(imageName(image), -30)
                    .arg(address(frameAddress), symbol)
                    .trimmed() +
                QLatin1Char('\n');
    }

    text += QStringLiteral("\nBinary Images:\n");
    for (const CrashReport::Image& image : report.images) {
        text += QStringLiteral("%1 - %2 %3 %4\n")
                    .arg(address(image.start), address(image.end), imageName(&image), image.path);
    }
    return withHomeAsTilde(text, homeDirectory);
}

} // namespace vaultora::crash
