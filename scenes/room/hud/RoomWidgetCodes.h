#pragma once
// Codes of the game room's HUD widgets: the application messages they post to the room, their
// control ids, hot keys and sounds.

#include <cstdint>
#include <functional>

namespace net {
class Packet;
}

namespace scenes::hud {

// Application messages posted by the room's widgets (code, a, b, c).
namespace room_message {
constexpr std::uint32_t kWithdraw = 1042;       // the in-game menu's "Withdraw"
constexpr std::uint32_t kHelp = 1046;           // the in-game menu's "Help(F1)"
constexpr std::uint32_t kSettings = 1048;       // the in-game menu's "Setting(F3)"
constexpr std::uint32_t kTeamChosen = 1090;     // a = the new team index (0 watches)
constexpr std::uint32_t kReadyToggled = 1091;   // a = the ready button's checked state
constexpr std::uint32_t kStartClicked = 1092;   // a = 1
constexpr std::uint32_t kHourLimitSeen = 1097;  // the one-hour notice was acknowledged
constexpr std::uint32_t kGoldShort = 1105;      // a = the gold still lacking to play
}  // namespace room_message

namespace room_control {
constexpr std::uint32_t kResultClose = 1;
constexpr std::uint32_t kReady = 11;
constexpr std::uint32_t kStart = 12;
constexpr std::uint32_t kWatchButton = 80;  // team index 0
constexpr std::uint32_t kLastTeamId = 87;   // ids 80..87 belong to the team choice
constexpr std::uint32_t kFirstRow = 100;
constexpr std::uint32_t kFirstMenuItem = 200;
constexpr std::uint32_t kHourLimitOk = 2050;
constexpr std::uint32_t kScoreBoardButton = 2051;
constexpr std::uint32_t kWithdrawYes = 2052;
constexpr std::uint32_t kWithdrawNo = 2053;
}  // namespace room_control

namespace room_key {
constexpr std::uint32_t kReturn = 0x0D;
constexpr std::uint32_t kEscape = 0x1B;
constexpr std::uint32_t kF1 = 0x70;
constexpr std::uint32_t kF3 = 0x72;
constexpr std::uint32_t kF5 = 0x74;
}  // namespace room_key

namespace room_sound {
constexpr int kDialogOpen = 32;
constexpr int kCountdownTick = 35;
}  // namespace room_sound

// Sends a room message whose body `fill` writes; the room routes it through its own sender.
using RoomSender = std::function<void(std::uint16_t id, const std::function<void(net::Packet&)>& fill)>;

// Messages the widgets send.
namespace room_send {
constexpr std::uint16_t kProfileRequest = 210;
constexpr std::uint16_t kWithdrawAnswer = 2040;
constexpr std::uint16_t kTimeLimit = 2084;
}  // namespace room_send

constexpr const char16_t* kNotAllowedNow = u"This feature is not allowed currently.";

}  // namespace scenes::hud
