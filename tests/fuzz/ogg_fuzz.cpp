// Ogg Vorbis data of the resources and of streamed music: any bytes either open as a stream of one
// or two channels or are refused with a reason; decoding whole or chunk by chunk never overruns and
// yields whole frames only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "engine/sound/OggDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    PcmSound whole;
    std::string error;
    if (!DecodeOgg(bytes, whole, &error) && error.empty()) std::abort();

    OggDecoder decoder;
    if (!decoder.Open(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), &error)) {
        if (error.empty() || decoder.IsOpen()) std::abort();
        return 0;
    }
    if (!decoder.Format().IsSupported()) std::abort();
    const auto frame = static_cast<std::size_t>(decoder.Format().BytesPerFrame());
    std::vector<std::uint8_t> chunk(4096);
    for (int pass = 0; pass < 2; ++pass) {
        for (int reads = 0; reads < 64; ++reads) {
            const std::size_t got = decoder.Read(chunk);
            if (got > chunk.size() || got % frame != 0) std::abort();
            if (got == 0) break;
        }
        decoder.Rewind();
    }
    return 0;
}
