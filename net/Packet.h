#pragma once
// A network message in wire form: frames of u16 length (header included), u16 id and little-endian
// fields. A packet that is written may hold several messages (BeginNextMessage); a received packet holds
// the frames the receive thread cut, one per packet. Every read is checked against the current message's
// own length: a read past it yields zeros or an empty string, marks the packet bad and counts an error.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/core/Text.h"
#include "net/NetConstants.h"

namespace net {

class Packet {
public:
    Packet() = default;
    Packet(const Packet&) = delete;
    Packet& operator=(const Packet&) = delete;

    // Starts a new packet with one message; the write position is behind the 4-byte header.
    void Init(std::uint16_t id);
    void Init(MessageId id) { Init(Id(id)); }
    // Closes the current message (fixing its length) and starts another one in the same packet.
    void BeginNextMessage(std::uint16_t id);
    void BeginNextMessage(MessageId id) { BeginNextMessage(Id(id)); }
    // Writes the length of every message. Called by the sender; harmless to call twice.
    void Finish();

    Packet& WriteU8(std::uint8_t v);
    Packet& WriteU16(std::uint16_t v);
    Packet& WriteU32(std::uint32_t v);
    Packet& WriteU64(std::uint64_t v);
    Packet& WriteI8(std::int8_t v) { return WriteU8(static_cast<std::uint8_t>(v)); }
    Packet& WriteI16(std::int16_t v) { return WriteU16(static_cast<std::uint16_t>(v)); }
    Packet& WriteI32(std::int32_t v) { return WriteU32(static_cast<std::uint32_t>(v)); }
    Packet& WriteI64(std::int64_t v) { return WriteU64(static_cast<std::uint64_t>(v)); }
    Packet& WriteF32(float v);
    // u16 byte length without the terminator, UTF-16 text, 2-byte terminator. Text longer than the wire
    // limit is cut at a character boundary.
    Packet& WriteString(WStringView text);
    Packet& WriteBytes(const void* data, std::size_t size);

    // Takes a received frame (or several back to back); false when the first frame's length does not fit.
    bool SetFrames(const std::uint8_t* data, std::size_t size);
    // Moves reading to the next message of the packet; false at the end or on a bad length.
    bool NextMessage();
    // Reads again from the first message.
    bool Rewind();

    Packet& ReadU8(std::uint8_t& v);
    Packet& ReadU16(std::uint16_t& v);
    Packet& ReadU32(std::uint32_t& v);
    Packet& ReadU64(std::uint64_t& v);
    Packet& ReadI8(std::int8_t& v);
    Packet& ReadI16(std::int16_t& v);
    Packet& ReadI32(std::int32_t& v);
    Packet& ReadI64(std::int64_t& v);
    Packet& ReadF32(float& v);
    // A length above the wire limit, an odd length or a string past the message end reads as empty.
    Packet& ReadString(WString& text);
    Packet& ReadBytes(void* out, std::size_t size);
    Packet& Skip(std::size_t size);

    // Value forms for handlers that read one field at a time.
    std::uint8_t U8() {
        std::uint8_t v;
        ReadU8(v);
        return v;
    }
    std::uint16_t U16() {
        std::uint16_t v;
        ReadU16(v);
        return v;
    }
    std::uint32_t U32() {
        std::uint32_t v;
        ReadU32(v);
        return v;
    }
    std::uint64_t U64() {
        std::uint64_t v;
        ReadU64(v);
        return v;
    }
    WString Str() {
        WString v;
        ReadString(v);
        return v;
    }

    // Id of the message being read (or of the first written message).
    std::uint16_t GetId() const;
    // Bytes of the current message left to read.
    std::size_t Remaining() const { return readEnd_ - readPos_; }
    bool AtEnd() const { return readPos_ >= readEnd_; }
    // A read past the message end or a write past the capacity happened.
    bool IsBad() const { return bad_; }

    const std::uint8_t* Data() const { return data_.data(); }
    std::uint8_t* MutableData() { return data_.data(); }
    std::size_t Size() const { return size_; }
    std::size_t MessageCount() const { return messageCount_; }

    // Reads that failed since start, over all packets (tests and the log read it).
    static std::uint64_t ReadErrorCount() { return readErrors_.load(std::memory_order_relaxed); }

private:
    bool Reserve(std::size_t bytes);
    bool Take(std::size_t bytes);
    void FailRead();
    void PutLe(std::uint64_t v, std::size_t bytes);
    std::uint64_t GetLe(std::size_t bytes);

    std::array<std::uint8_t, kPacketCapacity> data_{};
    std::size_t size_ = 0;
    std::size_t messageStart_ = 0;
    std::size_t messageCount_ = 0;
    std::size_t readPos_ = 0;
    std::size_t readEnd_ = 0;
    bool bad_ = false;

    static std::atomic<std::uint64_t> readErrors_;
};

}  // namespace net
