#include "tests/net/support/FuzzHarness.h"

#include <algorithm>
#include <vector>

#include "net/FrameCutter.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"

namespace fuzz {

namespace {
void ReadFields(net::Packet& p, const std::uint8_t* ops, std::size_t count) {
    for (std::size_t i = 0; i < count && !p.AtEnd(); ++i) {
        switch (ops[i] % 8) {
            case 0:
                p.U8();
                break;
            case 1:
                p.U16();
                break;
            case 2:
                p.U32();
                break;
            case 3:
                p.U64();
                break;
            case 4:
                p.Str();
                break;
            case 5: {
                std::uint8_t buffer[64];
                p.ReadBytes(buffer, ops[i] % sizeof buffer);
                break;
            }
            case 6:
                p.Skip(ops[i] / 8);
                break;
            default:
                p.NextMessage();
                break;
        }
    }
}
}  // namespace

void RunInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return;
    const std::size_t piece = 1 + data[0] % 97;
    const std::uint8_t* ops = data + 1;
    const std::size_t opCount = std::min<std::size_t>(size - 1, 16);
    net::FrameCutter cutter;
    std::vector<std::uint8_t> frame(net::kMaxFrameSize);
    std::size_t at = 1;
    while (at < size) {
        const std::size_t n = std::min<std::size_t>({piece, size - at, cutter.FreeSpace()});
        cutter.Push(data + at, n);
        at += n;
        for (;;) {
            std::size_t length = 0;
            int bad = 0;
            const auto r = cutter.Next(frame.data(), length, bad);
            if (r == net::FrameCutter::Result::InvalidSize) return;  // the connection would close here
            if (r == net::FrameCutter::Result::NeedMore) break;
            net::Packet p;
            if (!p.SetFrames(frame.data(), length)) continue;
            ReadFields(p, ops, opCount);
            p.Rewind();
            net::RoomInfo room;
            room.Read(p);
            p.Rewind();
            net::PlayerRecord player;
            player.ReadAccount(p);
        }
        if (n == 0) break;
    }
}

}  // namespace fuzz
