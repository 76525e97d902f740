#include "platform/audio/AudioDevice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

std::uint64_t PcmFormat::DurationUs(std::size_t bytes) const {
    const int frameBytes = BytesPerFrame();
    if (frameBytes <= 0 || sampleRate <= 0) return 0;
    return static_cast<std::uint64_t>(bytes / frameBytes) * 1000000u / static_cast<unsigned>(sampleRate);
}

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    const char* choice = std::getenv("MARVENLOT_AUDIO");
    if (choice && std::strcmp(choice, "null") == 0) return CreateNullAudioDevice();
    if (choice && *choice && std::strcmp(choice, "openal") != 0) {
        std::fprintf(stderr, "MARVENLOT_AUDIO: unknown backend \"%s\", sound is off\n", choice);
        return CreateNullAudioDevice();
    }
    if (auto device = CreateOpenAlDevice()) return device;
    return CreateNullAudioDevice();
}

}  // namespace platform
