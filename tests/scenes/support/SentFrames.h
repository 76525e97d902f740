#pragma once
// The messages of a packet a scene sent: each frame's id and body, in order (a packet may carry several).

#include <cstdint>
#include <vector>

#include "net/Packet.h"

template <class F>
void ForEachSentFrame(const net::Packet& packet, F&& frame) {
    const std::uint8_t* d = packet.Data();
    for (std::size_t at = 0; at + 4 <= packet.Size();) {
        const std::size_t length = d[at] | (d[at + 1] << 8);
        if (length < 4 || at + length > packet.Size()) break;
        frame(static_cast<std::uint16_t>(d[at + 2] | (d[at + 3] << 8)),
              std::vector<std::uint8_t>(d + at + 4, d + at + length));
        at += length;
    }
}
