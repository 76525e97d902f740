#pragma once
// Codes of the login and lobby front end: the application messages its windows post, the network
// messages it sends besides the sign-in flow, and the control ids of its windows.

#include <cstdint>

namespace scenes {

// Application messages posted by the front end's windows (code, a, b).
namespace front_message {
constexpr std::uint32_t kPracticeSetupOk = 1038;  // a = 2050, b = the chosen game type
constexpr std::uint32_t kControlsChanged = 1058;  // the control options changed
constexpr std::uint32_t kNickChangeOk = 1082;     // a = low 32 bits of the held item's serial
constexpr std::uint32_t kLoginResult = 1104;      // the sign-in succeeded (main thread)
// The project's own codes (above the system's).
constexpr std::uint32_t kLoginFlowAnswer = 1160;    // a = message id, b = result (main thread)
constexpr std::uint32_t kRoomOptionsOk = 1161;      // the room options dialog confirmed
constexpr std::uint32_t kRoomPasswordOk = 1162;     // a = room number
constexpr std::uint32_t kLobbyListsChanged = 1163;  // rooms, players or chat lines arrived
}  // namespace front_message

// Network messages the front end sends or reads besides the session's sign-in flow.
namespace front_net {
constexpr std::uint16_t kLobbyChat = 164;      // C->S str text
constexpr std::uint16_t kLobbyChatLine = 165;  // S->C str nickname, str text
constexpr std::uint16_t kPlayerRequest = 166;  // C->S u8 kind, u64 player id, str nickname
constexpr std::uint16_t kLeaveRoom = 2008;     // C->S u8 0: out of the room the server seated the player in
constexpr std::uint16_t kEnterPractice = 1139;
constexpr std::uint16_t kEnterShop = 1145;
}  // namespace front_net

// Buttons shared by the front end's dialogs.
namespace front_button {
constexpr std::uint32_t kOk = 2050;
constexpr std::uint32_t kCancel = 2051;
}  // namespace front_button

}  // namespace scenes
