#include "crash/CrashReport.h"

namespace vaultora::crash {

const CrashReport::Image* CrashReport::imageContaining(std::uint64_t address) const {
    for (const Image& image : images) {
        if (address >= image.start && address < image.end) {
            return &image;
        }
    }
    return nullptr;
}

} // namespace vaultora::crash
