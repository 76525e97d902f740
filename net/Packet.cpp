#include "net/Packet.h"

#include <cstring>

namespace net {

std::atomic<std::uint64_t> Packet::readErrors_{0};

namespace {
std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
}  // namespace

void Packet::Init(std::uint16_t id) {
    size_ = 0;
    messageStart_ = 0;
    messageCount_ = 0;
    readPos_ = readEnd_ = 0;
    bad_ = false;
    BeginNextMessage(id);
}

void Packet::BeginNextMessage(std::uint16_t id) {
    Finish();
    if (!Reserve(kFrameHeaderSize)) return;
    messageStart_ = size_;
    StoreU16(&data_[size_], 0);
    StoreU16(&data_[size_ + 2], id);
    size_ += kFrameHeaderSize;
    ++messageCount_;
}

void Packet::Finish() {
    if (messageCount_ == 0) return;
    // Every message's length is fixed when the next begins, so only the last one is open.
    StoreU16(&data_[messageStart_], static_cast<std::uint16_t>(size_ - messageStart_));
}

bool Packet::Reserve(std::size_t bytes) {
    if (size_ + bytes > kPacketCapacity ||
        (messageCount_ > 0 && size_ + bytes - messageStart_ > kMaxFrameSize)) {
        bad_ = true;
        return false;
    }
    return true;
}

void Packet::PutLe(std::uint64_t v, std::size_t bytes) {
    if (!Reserve(bytes)) return;
    for (std::size_t i = 0; i < bytes; ++i) data_[size_ + i] = static_cast<std::uint8_t>(v >> (8 * i));
    size_ += bytes;
}

Packet& Packet::WriteU8(std::uint8_t v) {
    PutLe(v, 1);
    return *this;
}
Packet& Packet::WriteU16(std::uint16_t v) {
    PutLe(v, 2);
    return *this;
}
Packet& Packet::WriteU32(std::uint32_t v) {
    PutLe(v, 4);
    return *this;
}
Packet& Packet::WriteU64(std::uint64_t v) {
    PutLe(v, 8);
    return *this;
}

Packet& Packet::WriteF32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteU32(bits);
}

Packet& Packet::WriteString(WStringView text) {
    std::size_t chars = text.size();
    if (chars * 2 > kMaxStringBytes) {
        chars = kMaxStringBytes / 2;
        // Never leave half of a surrogate pair at the end.
        if (chars > 0 && text[chars - 1] >= 0xD800 && text[chars - 1] <= 0xDBFF) --chars;
    }
    if (!Reserve(2 + chars * 2 + 2)) return *this;
    WriteU16(static_cast<std::uint16_t>(chars * 2));
    for (std::size_t i = 0; i < chars; ++i) WriteU16(static_cast<std::uint16_t>(text[i]));
    WriteU16(0);
    return *this;
}

Packet& Packet::WriteBytes(const void* data, std::size_t size) {
    if (!Reserve(size)) return *this;
    if (size) std::memcpy(&data_[size_], data, size);
    size_ += size;
    return *this;
}

bool Packet::SetFrames(const std::uint8_t* data, std::size_t size) {
    size_ = 0;
    messageStart_ = 0;
    messageCount_ = 0;
    readPos_ = readEnd_ = 0;
    bad_ = false;
    if (size > kPacketCapacity) return false;
    std::memcpy(data_.data(), data, size);
    size_ = size;
    readEnd_ = 0;
    // Positions the reader on the first frame.
    if (!NextMessage()) {
        size_ = 0;
        return false;
    }
    return true;
}

bool Packet::NextMessage() {
    const std::size_t start = readEnd_;
    if (start + kFrameHeaderSize > size_) return false;
    const std::uint16_t length = LoadU16(&data_[start]);
    if (length < kFrameHeaderSize || start + length > size_) return false;
    messageStart_ = start;
    bad_ = false;  // the bad mark belongs to the message being read
    readPos_ = start + kFrameHeaderSize;
    readEnd_ = start + length;
    ++messageCount_;
    return true;
}

bool Packet::Rewind() {
    readPos_ = readEnd_ = 0;
    messageCount_ = 0;
    bad_ = false;
    return NextMessage();
}

std::uint16_t Packet::GetId() const {
    if (size_ < messageStart_ + kFrameHeaderSize) return 0;
    return LoadU16(&data_[messageStart_ + 2]);
}

void Packet::FailRead() {
    if (!bad_) readErrors_.fetch_add(1, std::memory_order_relaxed);
    bad_ = true;
    readPos_ = readEnd_;  // once short, every later read of the message is short too
}

bool Packet::Take(std::size_t bytes) {
    if (bad_ || Remaining() < bytes) {
        FailRead();
        return false;
    }
    return true;
}

std::uint64_t Packet::GetLe(std::size_t bytes) {
    if (!Take(bytes)) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i) v |= std::uint64_t{data_[readPos_ + i]} << (8 * i);
    readPos_ += bytes;
    return v;
}

Packet& Packet::ReadU8(std::uint8_t& v) {
    v = static_cast<std::uint8_t>(GetLe(1));
    return *this;
}
Packet& Packet::ReadU16(std::uint16_t& v) {
    v = static_cast<std::uint16_t>(GetLe(2));
    return *this;
}
Packet& Packet::ReadU32(std::uint32_t& v) {
    v = static_cast<std::uint32_t>(GetLe(4));
    return *this;
}
Packet& Packet::ReadU64(std::uint64_t& v) {
    v = GetLe(8);
    return *this;
}
Packet& Packet::ReadI8(std::int8_t& v) {
    v = static_cast<std::int8_t>(GetLe(1));
    return *this;
}
Packet& Packet::ReadI16(std::int16_t& v) {
    v = static_cast<std::int16_t>(GetLe(2));
    return *this;
}
Packet& Packet::ReadI32(std::int32_t& v) {
    v = static_cast<std::int32_t>(GetLe(4));
    return *this;
}
Packet& Packet::ReadI64(std::int64_t& v) {
    v = static_cast<std::int64_t>(GetLe(8));
    return *this;
}

Packet& Packet::ReadF32(float& v) {
    const std::uint32_t bits = static_cast<std::uint32_t>(GetLe(4));
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

Packet& Packet::ReadString(WString& text) {
    text.clear();
    const std::uint16_t bytes = static_cast<std::uint16_t>(GetLe(2));
    if (bad_) return *this;
    if (bytes > kMaxStringBytes || (bytes & 1) != 0 || Remaining() < std::size_t{bytes} + 2) {
        FailRead();
        return *this;
    }
    text.resize(bytes / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(LoadU16(&data_[readPos_ + 2 * i]));
    readPos_ += std::size_t{bytes} + 2;  // text and terminator
    return *this;
}

Packet& Packet::ReadBytes(void* out, std::size_t size) {
    if (!Take(size)) {
        if (size) std::memset(out, 0, size);
        return *this;
    }
    if (size) std::memcpy(out, &data_[readPos_], size);
    readPos_ += size;
    return *this;
}

Packet& Packet::Skip(std::size_t size) {
    if (Take(size)) readPos_ += size;
    return *this;
}

}  // namespace net
