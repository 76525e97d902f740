#pragma once
// The own player's progress as the game room reports it: the statistics of one game type (2070),
// the numbered counters (2071) and the two values of an item entry (547).

#include <cstdint>

#include "net/PlayerRecord.h"

namespace net {

class Packet;

// Reads the statistics message into the record; false (record unchanged) when the message is short
// or names a game type out of range.
bool ReadOwnStatistics(Packet& packet, PlayerRecord& record);

// Reads the counter message: selector k, a value for counter k mod 10 when that is not 0, and a
// value for counter 1 when k is 10 or more. False (record unchanged) when the message is short.
bool ReadOwnCounter(Packet& packet, PlayerRecord& record);

// The entry's two 64-bit values: the first as received, the second capped at kSecondValueCap (a
// negative value is kept as received).
void SetItemValues(ItemEntry& entry, std::uint64_t first, std::int64_t second);

}  // namespace net
