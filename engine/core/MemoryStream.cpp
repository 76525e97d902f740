#include "engine/core/MemoryStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

bool CompressBuffer(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    out.clear();
    if (data.size() > std::numeric_limits<uLong>::max()) return false;
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    out.resize(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) !=
        Z_OK) {
        out.clear();
        return false;
    }
    out.resize(size);
    return true;
}

bool DecompressBuffer(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out,
                      std::size_t expectedSize, std::size_t maxSize) {
    out.clear();
    const std::size_t limit = expectedSize > 0 ? expectedSize : maxSize;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    const std::uint8_t* next = data.data();
    std::size_t inLeft = data.size();
    std::vector<std::uint8_t> result(expectedSize > 0 ? expectedSize
                                                      : std::min<std::size_t>(limit, data.size() * 4 + 64));
    std::size_t produced = 0;
    // zlib counts in 32-bit units, so input and output go in bounded steps.
    constexpr std::size_t kStep = std::size_t{1} << 30;
    bool ok = false;
    for (;;) {
        if (zs.avail_in == 0 && inLeft > 0) {
            const std::size_t take = std::min(inLeft, kStep);
            zs.next_in = const_cast<Bytef*>(next);
            zs.avail_in = static_cast<uInt>(take);
            next += take;
            inLeft -= take;
        }
        if (produced == result.size()) {
            // One byte beyond the limit tells "exactly the limit" from "more than the limit".
            if (result.size() > limit) break;
            result.resize(std::min(limit + 1, result.size() * 2 + 64));
        }
        const std::size_t room = std::min(result.size() - produced, kStep);
        zs.next_out = result.data() + produced;
        zs.avail_out = static_cast<uInt>(room);
        const int status = inflate(&zs, Z_NO_FLUSH);
        produced += room - zs.avail_out;
        if (status == Z_STREAM_END) {
            // Bytes after the end of the stream mean the data is not what it claims to be.
            ok = zs.avail_in == 0 && inLeft == 0;
            break;
        }
        // No progress with all input used: the stream is truncated. Other errors: corrupt data.
        if (status == Z_BUF_ERROR && zs.avail_in == 0 && inLeft == 0) break;
        if (status != Z_OK && status != Z_BUF_ERROR) break;
    }
    inflateEnd(&zs);
    if (!ok || produced > limit || (expectedSize > 0 && produced != expectedSize)) return false;
    result.resize(produced);
    out = std::move(result);
    return true;
}

std::size_t MemoryStream::Read(void* buffer, std::size_t size) {
    if (position_ >= data_.size() || size == 0) return 0;
    const std::size_t count = std::min(size, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, count);
    position_ += count;
    return count;
}

std::size_t MemoryStream::Write(const void* data, std::size_t size) {
    if (size == 0) return 0;
    if (position_ + size > data_.size()) data_.resize(position_ + size);
    std::memcpy(data_.data() + position_, data, size);
    position_ += size;
    return size;
}

bool MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                              : origin == SeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                              : static_cast<std::int64_t>(data_.size());
    const auto size = static_cast<std::int64_t>(data_.size());
    if (offset < -base || offset > size - base) return false;
    position_ = static_cast<std::size_t>(base + offset);
    return true;
}

void MemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

bool MemoryStream::Compress() {
    std::vector<std::uint8_t> packed;
    if (!CompressBuffer(data_, packed)) return false;
    data_ = std::move(packed);
    position_ = 0;
    return true;
}

bool MemoryStream::Decompress(std::size_t expectedSize) {
    std::vector<std::uint8_t> unpacked;
    if (!DecompressBuffer(data_, unpacked, expectedSize)) return false;
    data_ = std::move(unpacked);
    position_ = 0;
    return true;
}
