#pragma once
// The item use request (message 512) that the shop, the game room and the practice room send to put
// an owned item to use or to start the clock of a limited-time item.

#include <cstdint>

namespace net {

class Packet;
struct ItemEntry;

constexpr std::uint16_t kItemUseMessage = 512;

// Writes u32 item id, u8 kind, u64 serial. The kind is the low byte of the type the item table gives
// the item (the entry's own type when the table does not know it).
void WriteItemUse(Packet& packet, const ItemEntry& entry);

}  // namespace net
