#pragma once
// A growing in-memory stream, also the unit of zlib compression of whole buffers.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/core/Stream.h"

// zlib (deflate with the zlib header) over whole buffers. Every failure, including corrupt or
// truncated input, returns false and leaves `out` empty.
bool CompressBuffer(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out);
// expectedSize > 0: the output must have exactly that size. 0: any size up to maxSize (a guard
// against input that inflates without bound).
bool DecompressBuffer(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out,
                      std::size_t expectedSize = 0, std::size_t maxSize = std::size_t{256} << 20);

class MemoryStream final : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::size_t Read(void* buffer, std::size_t size) override;
    // Writes at the position, overwriting and then growing the buffer.
    std::size_t Write(const void* data, std::size_t size) override;
    std::int64_t Tell() override { return static_cast<std::int64_t>(position_); }
    // Positions from 0 to the size are allowed.
    bool Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const std::uint8_t* GetBuffer() const { return data_.data(); }
    std::size_t GetSize() const { return data_.size(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    void Clear();

    // Replace the whole content by its compressed or decompressed form and rewind. On failure
    // the content and position are unchanged.
    bool Compress();
    bool Decompress(std::size_t expectedSize = 0);

private:
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};
