// The connection's receive path from the first byte: the server's Hello (cipher switch and key seed)
// and every frame after it, deciphered once encryption is on.
//
// Input: a mode byte, then the stream. Mode bit 0 clear: the stream is fed as it is, in pieces of a
// size the mode byte chooses, so Hello itself and enciphered garbage are read. Bit 0 set: the stream
// holds a cipher flag and a u64 seed, then frames in clear; the harness sends a Hello with them and
// enciphers each frame as the server would, so the reader deciphers real frames and then reads their
// fields. A frame whose length is unusable ends the framing and the rest goes in unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "net/ClSocket.h"
#include "net/FrameCipher.h"
#include "net/NetConstants.h"
#include "net/Packet.h"
#include "net/PacketPool.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"

namespace {

class ReadingListener : public net::ConnectionListener {
public:
    explicit ReadingListener(net::PacketPool& pool) : pool_(pool) {}
    void OnConnected(bool ok) override {
        if (!ok) std::abort();  // a failed attempt is reported by the connect thread only
        ++connected;
    }
    void OnPacketReceived(net::Packet* packet) override {
        net::RoomInfo room;
        room.Read(*packet);
        packet->Rewind();
        net::PlayerRecord player;
        player.ReadAccount(*packet);
        pool_.Free(packet);
    }
    void OnDisconnected() override {}
    int connected = 0;

private:
    net::PacketPool& pool_;
};

std::vector<std::uint8_t> EncipheredStream(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> stream;
    if (size < 9) return stream;
    const bool cipherOn = data[0] & 1;
    std::uint64_t seed = 0;
    for (int i = 0; i < 8; ++i) seed |= static_cast<std::uint64_t>(data[1 + i]) << (8 * i);
    net::Packet hello;
    hello.Init(net::MessageId::Hello);
    hello.WriteU8(cipherOn ? 1 : 0).WriteU64(seed);
    hello.Finish();
    stream.assign(hello.Data(), hello.Data() + hello.Size());

    net::FrameCipher cipher;
    if (cipherOn) cipher.SetKey(net::FrameCipher::DeriveKey(seed));
    std::size_t at = 9;
    while (size - at >= net::kFrameHeaderSize) {
        const std::size_t length = data[at] | (data[at + 1] << 8);
        if (length < net::kFrameHeaderSize || length > net::kMaxFrameSize || length > size - at) break;
        const std::size_t start = stream.size();
        stream.insert(stream.end(), data + at, data + at + length);
        cipher.EncryptFrame(stream.data() + start, length);
        at += length;
    }
    stream.insert(stream.end(), data + at, data + size);
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static net::PacketPool pool;
    const std::uint8_t mode = data[0];
    const std::vector<std::uint8_t> stream =
        (mode & 1) ? EncipheredStream(data + 1, size - 1) : std::vector<std::uint8_t>(data + 1, data + size);

    ReadingListener listener(pool);
    net::ClSocket socket(pool, listener);
    const std::size_t piece = 1 + (mode >> 1) * 61;
    bool open = true;
    for (std::size_t at = 0; open && at < stream.size(); at += piece)
        open = socket.ReceiveBytes(stream.data() + at, std::min(piece, stream.size() - at));
    if (listener.connected > 1) std::abort();  // Hello is taken once per connection
    if (pool.FreeCount() != pool.Capacity()) std::abort();
    return 0;
}
