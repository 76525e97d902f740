// WAVE data of the resources: any bytes either read as whole frames of a format the reader accepts
// or are refused with a reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "engine/sound/WavCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PcmSound sound;
    std::string error;
    if (!ParseWav(std::span<const std::uint8_t>(data, size), sound, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (!sound.format.IsSupported()) std::abort();
    const auto frame = static_cast<std::size_t>(sound.format.BytesPerFrame());
    if (sound.samples.size() % frame != 0 || sound.samples.size() > size) std::abort();
    sound.DurationMs();
    return 0;
}
