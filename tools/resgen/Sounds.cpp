#include "tools/resgen/Sounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

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
    const std::vector<float> samples = Tone(frequency, milliseconds, rate);
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, long(rate), 0.3f) != 0) {
        vorbis_info_clear(&info);
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        Put(out, page.header, size_t(page.header_len));
        Put(out, page.body, size_t(page.body_len));
    }

    size_t offset = 0;
    bool ended = false;
    while (!ended) {
        const size_t chunk = std::min<size_t>(1024, samples.size() - offset);
        if (chunk == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(chunk));
            std::memcpy(buffer[0], samples.data() + offset, chunk * sizeof(float));
            vorbis_analysis_wrote(&dsp, int(chunk));
            offset += chunk;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    Put(out, page.header, size_t(page.header_len));
                    Put(out, page.body, size_t(page.body_len));
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (chunk == 0) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                Put(out, page.header, size_t(page.header_len));
                Put(out, page.body, size_t(page.body_len));
            }
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}
