#include "engine/sound/OggDecoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/sound/SoundConstants.h"

namespace {
constexpr int kMaxHoles = 64;
}  // namespace

// The file's bytes, read through vorbisfile's callbacks as if they were a seekable file.
struct OggDecoder::Impl {
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    OggVorbis_File file{};
    bool open = false;
    int bitstream = 0;

    static std::size_t ReadCallback(void* ptr, std::size_t size, std::size_t count, void* source) {
        auto* self = static_cast<Impl*>(source);
        if (size == 0) return 0;
        const std::size_t left = self->bytes.size() - self->position;
        const std::size_t items = std::min(count, left / size);
        if (items == 0) return 0;
        std::memcpy(ptr, self->bytes.data() + self->position, items * size);
        self->position += items * size;
        return items;
    }

    static int SeekCallback(void* source, ogg_int64_t offset, int whence) {
        auto* self = static_cast<Impl*>(source);
        ogg_int64_t base = 0;
        if (whence == SEEK_CUR)
            base = static_cast<ogg_int64_t>(self->position);
        else if (whence == SEEK_END)
            base = static_cast<ogg_int64_t>(self->bytes.size());
        else if (whence != SEEK_SET)
            return -1;
        const ogg_int64_t target = base + offset;
        if (target < 0 || target > static_cast<ogg_int64_t>(self->bytes.size())) return -1;
        self->position = static_cast<std::size_t>(target);
        return 0;
    }

    static int CloseCallback(void*) { return 0; }

    static long TellCallback(void* source) { return static_cast<long>(static_cast<Impl*>(source)->position); }
};

OggDecoder::OggDecoder() : impl_(std::make_unique<Impl>()) {}

OggDecoder::~OggDecoder() {
    if (impl_->open) ov_clear(&impl_->file);
}

bool OggDecoder::IsOpen() const {
    return impl_->open;
}

bool OggDecoder::Open(std::vector<std::uint8_t> bytes, std::string* error) {
    if (impl_->open) ov_clear(&impl_->file);
    impl_->open = false;
    impl_->bytes = std::move(bytes);
    impl_->position = 0;
    const ov_callbacks callbacks{&Impl::ReadCallback, &Impl::SeekCallback, &Impl::CloseCallback,
                                 &Impl::TellCallback};
    if (ov_open_callbacks(impl_.get(), &impl_->file, nullptr, 0, callbacks) != 0) {
        if (error) *error = "not an Ogg Vorbis stream";
        return false;
    }
    impl_->open = true;
    const vorbis_info* info = ov_info(&impl_->file, -1);
    format_ = platform::PcmFormat{info ? info->channels : 0, 16, info ? static_cast<int>(info->rate) : 0};
    if (!format_.IsSupported()) {
        ov_clear(&impl_->file);
        impl_->open = false;
        if (error) *error = "unsupported channels or sample rate";
        return false;
    }
    return true;
}

std::size_t OggDecoder::Read(std::span<std::uint8_t> out) {
    if (!impl_->open) return 0;
    const std::size_t frameBytes = static_cast<std::size_t>(format_.BytesPerFrame());
    const std::size_t want = out.size() - out.size() % frameBytes;
    std::size_t done = 0;
    int holes = 0;
    while (done < want) {
        const int chunk = static_cast<int>(std::min<std::size_t>(want - done, 1 << 16));
        const long got = ov_read(&impl_->file, reinterpret_cast<char*>(out.data() + done), chunk, 0, 2, 1,
                                 &impl_->bitstream);
        // A gap in the data: decoding resumes after it, unless the stream is nothing but gaps.
        if (got == OV_HOLE && ++holes < kMaxHoles) continue;
        if (got <= 0) break;
        // A chained stream that changes its layout cannot go on in the same buffers.
        const vorbis_info* info = ov_info(&impl_->file, impl_->bitstream);
        if (!info || info->channels != format_.channels || info->rate != format_.sampleRate) break;
        done += static_cast<std::size_t>(got);
    }
    return done - done % frameBytes;
}

bool OggDecoder::Rewind() {
    return impl_->open && ov_pcm_seek(&impl_->file, 0) == 0;
}

bool DecodeOgg(std::span<const std::uint8_t> bytes, PcmSound& out, std::string* error) {
    OggDecoder decoder;
    if (!decoder.Open(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error)) return false;
    std::vector<std::uint8_t> samples;
    std::vector<std::uint8_t> chunk(64 * 1024);
    while (std::size_t got = decoder.Read(chunk)) {
        if (samples.size() + got > kMaxDecodedSoundBytes) {
            if (error) *error = "sound too long";
            return false;
        }
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (samples.empty()) {
        if (error) *error = "no samples";
        return false;
    }
    out.format = decoder.Format();
    out.samples = std::move(samples);
    return true;
}
