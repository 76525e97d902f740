#include "net/PacketRecorder.h"

#include <cstring>
#include <vector>

#include "engine/core/Log.h"
#include "net/NetConstants.h"
#include "net/Packet.h"

namespace net {

PacketRecorder::PacketRecorder() {
    cipher_.SetKey(FrameCipher::DeriveKey(kRecordKeySeed));
}

PacketRecorder::~PacketRecorder() {
    platform::ScopedLock lock(lock_);
    if (file_) std::fclose(file_);
}

bool PacketRecorder::Start(const std::string& path) {
    platform::ScopedLock lock(lock_);
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "ab");
    recording_ = file_ != nullptr;
    if (!file_) LogWrite(u"ERROR : CANNOT OPEN RECORDING %S\n", path);
    return recording_;
}

bool PacketRecorder::IsRecording() const {
    platform::ScopedLock lock(lock_);
    return recording_;
}

void PacketRecorder::Append(const std::uint8_t* frame, std::size_t size) {
    std::fseek(file_, 0, SEEK_END);
    const long offset = std::ftell(file_);
    std::vector<std::uint8_t> record(2 + size);
    record[0] = static_cast<std::uint8_t>(size);
    record[1] = static_cast<std::uint8_t>(size >> 8);
    std::copy(frame, frame + size, record.begin() + 2);
    cipher_.Encrypt(record.data() + 2, size, static_cast<std::uint64_t>(offset));
    std::fwrite(record.data(), 1, record.size(), file_);
    std::fflush(file_);
}

void PacketRecorder::Record(const Packet& packet) {
    platform::ScopedLock lock(lock_);
    if (!recording_ || !file_) return;
    const std::uint8_t* data = packet.Data();
    for (std::size_t at = 0; at + kFrameHeaderSize <= packet.Size();) {
        const std::size_t length = data[at] | (data[at + 1] << 8);
        if (length < kFrameHeaderSize || at + length > packet.Size()) break;
        Append(data + at, length);
        at += length;
    }
}

void PacketRecorder::Disable() {
    platform::ScopedLock lock(lock_);
    recording_ = false;
}

void PacketRecorder::Finish() {
    platform::ScopedLock lock(lock_);
    if (!recording_ || !file_) return;
    const std::uint16_t id = Id(MessageId::ShotRecordingEnd);
    const std::uint8_t marker[4] = {4, 0, static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)};
    Append(marker, sizeof marker);
    recording_ = false;
}

bool PacketRecorder::Read(const std::string& path,
                          const std::function<void(const std::uint8_t*, std::size_t)>& frame) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    return !readError && ReadBytes(bytes.data(), bytes.size(), frame);
}

bool PacketRecorder::ReadBytes(const std::uint8_t* data, std::size_t size,
                               const std::function<void(const std::uint8_t*, std::size_t)>& frame) {
    FrameCipher cipher;
    cipher.SetKey(FrameCipher::DeriveKey(kRecordKeySeed));
    std::vector<std::uint8_t> buffer(kMaxFrameSize);
    std::size_t offset = 0;
    while (offset < size) {
        if (size - offset < 2) return false;
        const std::size_t length = data[offset] | (data[offset + 1] << 8);
        if (length < kFrameHeaderSize || length > kMaxFrameSize || size - offset - 2 < length) return false;
        std::memcpy(buffer.data(), data + offset + 2, length);
        cipher.Decrypt(buffer.data(), length, static_cast<std::uint64_t>(offset));
        if (static_cast<std::size_t>(buffer[0] | (buffer[1] << 8)) != length) return false;
        frame(buffer.data(), length);
        offset += 2 + length;
    }
    return true;
}

}  // namespace net
