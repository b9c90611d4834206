#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace vaultora::crash {

// A crash report as the collector wrote it, taken apart.
struct CrashReport {
    // An executable mapping of the crashed process that holds at least one frame.
    struct Image {
        std::uint64_t start = 0;
        std::uint64_t end = 0;
        std::uint64_t fileOffset = 0;
        std::uint64_t inode = 0;
        QString path;
    };

    QString applicationIdentifier;
    QString applicationVersion;
    QString operatingSystemVersion;
    QString processName;
    std::int64_t processIdentifier = 0;
    int signalNumber = 0;
    int signalCode = 0;
    std::uint64_t faultAddress = 0;
    std::uint64_t programCounter = 0;
    // Seconds since 1970-01-01 UTC.
    std::int64_t time = 0;
    // Innermost first: the interrupted instruction, then return addresses.
    QList<std::uint64_t> frames;
    QList<Image> images;
    // False when the report stops before its end marker (the handler itself failed).
    bool complete = false;

    // The image whose range holds the address, or null.
    [[nodiscard]] const Image* imageContaining(std::uint64_t address) const;
};

} // namespace vaultora::crash
