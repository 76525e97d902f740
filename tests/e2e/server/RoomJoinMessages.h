#pragma once
// The test server's messages about joining a game and about the own items in a room: the player
// joined with the fee or bet (2020), an all-in (2048), the purchase and item-use replies (510, 513)
// and an item's count (2045), as scripted rooms send them.

#include <cstdint>
#include <string>

#include "tests/e2e/server/WireCodec.h"

namespace testserver::join {

// What a player who joins a running game pays: twice the seed money in fee games (2, 5), the seed
// money in bet games (6), nothing elsewhere.
std::int64_t JoinCost(std::uint8_t gameType, std::int32_t seedMoney);

Bytes PlayerJoinedGame(std::uint8_t seat, std::uint64_t money, std::uint8_t team, std::uint32_t penalty);
Bytes AllIn(std::uint8_t team);
// A bought item listed for the buyer (kind 1), not a personal cue, with its count.
Bytes Purchased(std::uint64_t money, std::uint64_t serial, std::uint32_t itemId, std::uint32_t count,
                std::uint32_t bonus);
Bytes ItemUsed(std::uint64_t serial, std::uint32_t itemId, const std::u16string& name);
Bytes ItemCount(std::uint64_t serial, std::uint16_t count);

}  // namespace testserver::join
