#include "tools/resgen/Sounds.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/oggenc/OggEncoder.h"

namespace {

std::vector<float> Tone(float frequency, uint32_t ms, uint32_t rate) {
    const uint32_t n = rate * ms / 1000;
    const uint32_t fade = std::max<uint32_t>(1, rate / 200);
    std::vector<float> samples(n);
    for (uint32_t i = 0; i < n; ++i) {
        const float env = std::min({1.0f, float(i) / fade, float(n - i) / fade});
        const float f = i < n / 2 ? frequency : frequency * 1.5f;
        samples[i] = 0.4f * env * std::sin(2.0f * 3.14159265f * f * float(i) / float(rate));
    }
    return samples;
}

void Put(std::vector<uint8_t>& out, const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put(out, &v, 4);
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    Put(out, &v, 2);
}

void PutTag(std::vector<uint8_t>& out, std::string_view tag) {
    Put(out, tag.data(), 4);
}

}  // namespace

std::vector<uint8_t> MakeToneWav(float frequency, uint32_t milliseconds, uint32_t rate) {
    const std::vector<float> samples = Tone(frequency, milliseconds, rate);
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(s * 32767.0f)));
    }
    return out;
}

std::vector<uint8_t> MakeToneOgg(float frequency, uint32_t milliseconds, uint32_t rate) {
    return EncodeOggVorbis(Tone(frequency, milliseconds, rate), 1, int(rate), 0.3f);
}
