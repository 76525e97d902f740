#include "net/OwnStatistics.h"

#include <algorithm>

#include "net/Packet.h"

namespace net {

bool ReadOwnStatistics(Packet& p, PlayerRecord& record) {
    const std::uint32_t experience = p.U32();
    const std::uint16_t value = p.U16();
    const std::uint64_t money = p.U64();
    const std::uint8_t type = p.U8();
    const std::uint16_t handicap = p.U16();
    TypeStatistics stats;
    for (int i = 0; i < 4; ++i) stats.values[i] = p.U32();
    for (auto& v : stats.small) v = p.U16();
    for (int i = 4; i < 8; ++i) stats.values[i] = p.U32();
    const std::uint8_t tail1 = p.U8();
    const std::uint32_t tail2 = p.U32();
    const std::uint8_t tail3 = p.U8();
    if (p.IsBad() || type >= kGameTypeCount) return false;
    record.experience = experience;
    record.statisticsValue = value;
    record.money = static_cast<std::int64_t>(std::min<std::uint64_t>(money, INT64_MAX));
    record.handicap[type] = handicap;
    record.typeStatistics[type] = stats;
    record.statisticsTail1 = tail1;
    record.statisticsTail2 = tail2;
    record.statisticsTail3 = tail3;
    return true;
}

bool ReadOwnCounter(Packet& p, PlayerRecord& record) {
    const std::uint8_t selector = p.U8();
    const int counter = selector % 10;
    const std::uint32_t value = counter != 0 ? p.U32() : 0;
    const std::uint32_t first = selector >= 10 ? p.U32() : 0;
    if (p.IsBad()) return false;
    if (counter != 0) record.counters[counter] = value;
    if (selector >= 10) record.counters[1] = first;
    return true;
}

void SetItemValues(ItemEntry& entry, std::uint64_t first, std::int64_t second) {
    entry.upgradeValue = first;
    entry.secondValue = std::min(second, kSecondValueCap);
}

}  // namespace net
