#pragma once
// The texts and rules of the game room's screen that do not need the scene: the point-rule line, the
// handicap range, the money label and the channel level gate.

#include <cstdint>

#include "engine/core/Text.h"

namespace net {
struct RoomInfo;
}

namespace scenes::room {

constexpr std::uint16_t kChannelWithoutOwnership = 9;

// The room's point rule for the game types that have one (0, 3 and 4); empty for every other pair.
WString PointRuleText(int gameType, int option);
// The handicap requirement as the title line shows it ("%d ~ %d", "%d ~", "~ %d", "No limit").
WString HandicapRangeText(std::int16_t lowest, std::int16_t highest);
// The option the point rule is chosen by: the room's first option byte.
int PointRuleOption(const net::RoomInfo& room);
// A half game (option bit 3) counts in game types 0, 3 and 13 only.
bool IsHalfGame(const net::RoomInfo& room);
// Whether the handicap range shows at all (game types 0, 2, 3, 5 and 6).
bool ShowsHandicapRange(int gameType);
// The money label: "Tournament" in tournament channels, else the seed money with separators; empty
// when an open room without a stake hides the money icon.
WString MoneyLabelText(const net::RoomInfo& room, std::uint16_t channelType);
// The highest level that may play in a channel of that type, and the channel's name.
int ChannelLevelLimit(int channelType);
WString ChannelName(int channelType);

}  // namespace scenes::room
