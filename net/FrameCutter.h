#pragma once
// The receive side's 4096-byte ring buffer. The socket's bytes go in as they come; whole frames come out.
// A frame never exceeds the ring, so a full ring always starts with a whole frame or a bad length.

#include <array>
#include <cstddef>
#include <cstdint>

#include "net/NetConstants.h"

namespace net {

class FrameCutter {
public:
    enum class Result { Frame, NeedMore, InvalidSize };

    // Bytes the ring can take now.
    std::size_t FreeSpace() const { return kRingBufferSize - used_; }
    std::size_t Buffered() const { return used_; }
    // Copies in as much as fits; returns how many bytes were taken.
    std::size_t Push(const std::uint8_t* data, std::size_t size);
    // Cuts the next whole frame into out (kMaxFrameSize bytes). On InvalidSize, badLength holds the length
    // read from the stream; the stream cannot be trusted after that.
    Result Next(std::uint8_t* out, std::size_t& size, int& badLength);
    void Clear() { head_ = used_ = 0; }

private:
    void Peek(std::uint8_t* out, std::size_t size) const;

    std::array<std::uint8_t, kRingBufferSize> ring_{};
    std::size_t head_ = 0;  // first unread byte
    std::size_t used_ = 0;
};

}  // namespace net
