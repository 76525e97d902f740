#include "engine/sound/WavCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/sound/SoundConstants.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::size_t kFmtSize = 16;
constexpr std::size_t kFmtExtensibleSize = 40;
constexpr std::size_t kSubFormatOffset = 24;  // GUID whose first two bytes are the format tag

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool ParseWav(std::span<const std::uint8_t> bytes, PcmSound& out, std::string* error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return Fail(error, "not a RIFF WAVE file");

    bool haveFormat = false;
    platform::PcmFormat format;
    std::span<const std::uint8_t> data;
    bool haveData = false;
    std::size_t pos = 12;
    // The RIFF size is often wrong in the wild; the chunks are bounded by the bytes present.
    while (bytes.size() - pos >= 8 && !haveData) {
        const std::uint8_t* header = bytes.data() + pos;
        const std::size_t declared = U32(header + 4);
        const std::size_t available = bytes.size() - pos - 8;
        const std::uint8_t* body = header + 8;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (declared < kFmtSize || declared > available) return Fail(error, "short format chunk");
            std::uint16_t tag = U16(body);
            if (tag == kFormatExtensible) {
                if (declared < kFmtExtensibleSize) return Fail(error, "short extensible format chunk");
                tag = U16(body + kSubFormatOffset);
            }
            if (tag != kFormatPcm) return Fail(error, "not PCM");
            format.channels = U16(body + 2);
            format.sampleRate = static_cast<int>(std::min<std::uint32_t>(U32(body + 4), 0x7FFFFFFF));
            format.bitsPerSample = U16(body + 14);
            if (!format.IsSupported()) return Fail(error, "unsupported channels, bits or sample rate");
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) return Fail(error, "data chunk before format chunk");
            data = bytes.subspan(pos + 8, std::min(declared, available));
            haveData = true;
        }
        const std::size_t step = declared + (declared & 1);
        if (step > available) break;
        pos += 8 + step;
    }
    if (!haveFormat) return Fail(error, "no format chunk");
    if (!haveData) return Fail(error, "no data chunk");
    const std::size_t whole = data.size() - data.size() % format.BytesPerFrame();
    if (whole == 0) return Fail(error, "no samples");
    if (whole > kMaxDecodedSoundBytes) return Fail(error, "sound too long");
    out.format = format;
    out.samples.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(whole));
    return true;
}

std::vector<std::uint8_t> WriteWav(const platform::PcmFormat& format, std::span<const std::uint8_t> samples) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size());
    std::vector<std::uint8_t> out;
    out.reserve(44 + samples.size() + 1);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataSize + (dataSize & 1));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, kFmtSize);
    PutU16(out, kFormatPcm);
    PutU16(out, static_cast<std::uint16_t>(format.channels));
    PutU32(out, static_cast<std::uint32_t>(format.sampleRate));
    PutU32(out, static_cast<std::uint32_t>(format.sampleRate * format.BytesPerFrame()));
    PutU16(out, static_cast<std::uint16_t>(format.BytesPerFrame()));
    PutU16(out, static_cast<std::uint16_t>(format.bitsPerSample));
    PutTag(out, "data");
    PutU32(out, dataSize);
    const std::size_t header = out.size();
    out.resize(header + samples.size() + (dataSize & 1), 0);
    if (!samples.empty()) std::memcpy(out.data() + header, samples.data(), samples.size());
    return out;
}

std::vector<std::uint8_t> GenerateToneWav(float frequency, int ms, int sampleRate, float amplitude) {
    platform::PcmFormat format{
        1, 16,
        std::clamp(sampleRate, platform::PcmFormat::kMinSampleRate, platform::PcmFormat::kMaxSampleRate)};
    const int frames = static_cast<int>(std::int64_t{format.sampleRate} * std::max(ms, 0) / 1000);
    const int fadeFrames = std::max(1, format.sampleRate / 200);
    const double peak = std::clamp(amplitude, 0.0f, 1.0f) * 32767.0;
    std::vector<std::uint8_t> samples;
    samples.reserve(static_cast<std::size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double fade = std::min({1.0, double(i) / fadeFrames, double(frames - 1 - i) / fadeFrames});
        const double phase = 2.0 * std::numbers::pi * frequency * i / format.sampleRate;
        const auto value = static_cast<std::int16_t>(std::lround(peak * fade * std::sin(phase)));
        samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
        samples.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
    return WriteWav(format, samples);
}
