#include "platform/audio/AudioDevice.h"

namespace platform {

std::uint64_t PcmFormat::DurationUs(std::size_t bytes) const {
    const int frameBytes = BytesPerFrame();
    if (frameBytes <= 0 || sampleRate <= 0) return 0;
    return static_cast<std::uint64_t>(bytes / frameBytes) * 1000000u / static_cast<unsigned>(sampleRate);
}

}  // namespace platform
