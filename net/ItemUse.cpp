#include "net/ItemUse.h"

#include "net/ItemEntry.h"
#include "net/ItemTable.h"
#include "net/Packet.h"

namespace net {

void WriteItemUse(Packet& packet, const ItemEntry& entry) {
    const ItemRecord* definition = GetItemTable().Find(entry.itemId);
    const std::uint32_t type = definition ? definition->type : entry.type;
    packet.WriteU32(entry.itemId).WriteU8(static_cast<std::uint8_t>(type & 0xFFu)).WriteU64(entry.serial);
}

}  // namespace net
