// Packet recordings are files the replay reads back: any bytes are read up to the first fault, and
// every frame handed over is whole, of a valid length, and readable as a packet.
//
// Input: mode bit 0 clear, the file as it is (enciphered garbage); set, records in clear that the
// harness enciphers at their offsets as the recorder does, so the reader gets past the cipher.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "net/FrameCipher.h"
#include "net/NetConstants.h"
#include "net/Packet.h"
#include "net/PacketRecorder.h"
#include "net/RoomInfo.h"

namespace {
std::vector<std::uint8_t> Encipher(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    net::FrameCipher cipher;
    cipher.SetKey(net::FrameCipher::DeriveKey(net::kRecordKeySeed));
    std::size_t at = 0;
    while (file.size() - at >= 2) {
        const std::size_t length = file[at] | (file[at + 1] << 8);
        if (length > file.size() - at - 2) break;
        cipher.Encrypt(file.data() + at + 2, length, at);
        at += 2 + length;
    }
    return file;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::vector<std::uint8_t> file =
        (data[0] & 1) ? Encipher(data + 1, size - 1) : std::vector<std::uint8_t>(data + 1, data + size);
    std::size_t total = 0;
    net::PacketRecorder::ReadBytes(file.data(), file.size(),
                                   [&](const std::uint8_t* frame, std::size_t length) {
                                       if (length < net::kFrameHeaderSize || length > net::kMaxFrameSize ||
                                           static_cast<std::size_t>(frame[0] | (frame[1] << 8)) != length)
                                           std::abort();
                                       total += 2 + length;
                                       net::Packet packet;
                                       if (!packet.SetFrames(frame, length)) std::abort();
                                       net::RoomInfo room;
                                       room.Read(packet);
                                   });
    if (total > file.size()) std::abort();
    return 0;
}
