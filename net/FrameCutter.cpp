#include "net/FrameCutter.h"

#include <algorithm>
#include <cstring>

namespace net {

std::size_t FrameCutter::Push(const std::uint8_t* data, std::size_t size) {
    const std::size_t n = std::min(size, FreeSpace());
    std::size_t tail = (head_ + used_) % kRingBufferSize;
    const std::size_t first = std::min(n, kRingBufferSize - tail);
    std::memcpy(&ring_[tail], data, first);
    std::memcpy(&ring_[0], data + first, n - first);
    used_ += n;
    return n;
}

void FrameCutter::Peek(std::uint8_t* out, std::size_t size) const {
    const std::size_t first = std::min(size, kRingBufferSize - head_);
    std::memcpy(out, &ring_[head_], first);
    std::memcpy(out + first, &ring_[0], size - first);
}

FrameCutter::Result FrameCutter::Next(std::uint8_t* out, std::size_t& size, int& badLength) {
    size = 0;
    if (used_ < 2) return Result::NeedMore;
    std::uint8_t header[2];
    Peek(header, 2);
    const std::size_t length = header[0] | (header[1] << 8);
    if (length < kFrameHeaderSize || length > kMaxFrameSize) {
        badLength = static_cast<int>(length);
        return Result::InvalidSize;
    }
    if (used_ < length) return Result::NeedMore;
    Peek(out, length);
    head_ = (head_ + length) % kRingBufferSize;
    used_ -= length;
    size = length;
    return Result::Frame;
}

}  // namespace net
