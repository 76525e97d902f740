#pragma once
// One fuzz input through the receive path: the frame cutter (fed in pieces the input chooses), the packet
// readers in an order the input chooses, and the record readers of the session's messages.

#include <cstddef>
#include <cstdint>

namespace fuzz {
void RunInput(const std::uint8_t* data, std::size_t size);
}
