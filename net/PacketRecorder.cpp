#include "net/PacketRecorder.h"

#include <vector>

#include "engine/core/Log.h"
#include "net/NetConstants.h"
#include "net/Packet.h"

namespace net {

namespace {
constexpr std::uint64_t kRecordKeySeed = 0x4D56524543ull;  // fixed: recordings are obfuscated, not secret
}

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
    FrameCipher cipher;
    cipher.SetKey(FrameCipher::DeriveKey(kRecordKeySeed));
    std::vector<std::uint8_t> buffer(kMaxFrameSize);
    bool ok = true;
    for (;;) {
        const long offset = std::ftell(f);
        std::uint8_t head[2];
        const std::size_t got = std::fread(head, 1, 2, f);
        if (got == 0) break;
        const std::size_t size = head[0] | (head[1] << 8);
        if (got != 2 || size < kFrameHeaderSize || size > kMaxFrameSize ||
            std::fread(buffer.data(), 1, size, f) != size) {
            ok = false;
            break;
        }
        cipher.Decrypt(buffer.data(), size, static_cast<std::uint64_t>(offset));
        const std::size_t length = buffer[0] | (buffer[1] << 8);
        if (length != size) {
            ok = false;
            break;
        }
        frame(buffer.data(), size);
    }
    std::fclose(f);
    return ok;
}

}  // namespace net
