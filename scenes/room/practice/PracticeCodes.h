#pragma once
// Codes of the practice room: the server messages it sends and reads, the application messages its
// widgets and the table world post to it, its control ids, chat colours and sounds.

#include <cstdint>

namespace scenes::practice {

// Server messages.
enum class PracticeMsg : std::uint16_t {
    UserProfile = 211,          // u8 found; the profile
    ServerNotice = 240,         // string
    GalleryRegistered = 254,    // none
    InstantCharge = 275,        // u8 0
    InstantChargeResult = 276,  // u8 result; u64 gold; u32 amount; u8 daily counter
    UseItem = 512,              // u32 item id; u8 entry type; u64 serial
    ActivateResult = 513,       // u8 result; when 0: u64 serial; u32; u8 active; u8; string if serial != 0
    CueActivated = 517,         // u32 item id; u8 1; u64 serial
    LeavePractice = 1140,       // u8 0
    MissionResult = 1149,       // u8 game type; u8 row; u16 points
    MissionReward = 1150,       // u32 reward; u64 gold after the reward; u8 daily counter
};
constexpr std::uint16_t MsgId(PracticeMsg m) {
    return static_cast<std::uint16_t>(m);
}

// Application messages handled by the practice room (besides the HUD's and the world's).
enum class PracticeUi : std::uint32_t {
    MissionStartOrCancel = 1036,  // a != 0 start, 0 give up
    OptionsChanged = 1058,
    BackToLobby = 1071,
    ActivateConfirmed = 1087,  // a = 2052 (Yes), b = the entry type asked about
    InstantChargeRequest = 1106,
};

namespace control {
constexpr std::uint32_t kToLobby = 1;
constexpr std::uint32_t kSettings = 2;
constexpr std::uint32_t kHelp = 3;
constexpr std::uint32_t kMyInfo = 4;
constexpr std::uint32_t kMessenger = 5;
constexpr std::uint32_t kEarnGold = 20;
constexpr std::uint32_t kPlayerInfo = 21;
// Inside the mission dialogs.
constexpr std::uint32_t kFirstRewardRow = 1;
constexpr std::uint32_t kInstantCharge = 2050;
constexpr std::uint32_t kCloseOrGiveUp = 2051;
}  // namespace control

// The "Yes" button of the shared notice box.
constexpr std::uint32_t kYesButton = 2052;

namespace colour {
constexpr std::uint32_t kYellow = 0xFFFFFF00;   // item and mission lines
constexpr std::uint32_t kRed = 0xFFFF0000;      // server notices, a missed mission shot
constexpr std::uint32_t kGreen = 0xFF80FF80;    // a scoring mission shot
constexpr std::uint32_t kMagenta = 0xFFFF00FF;  // the tips on entry
constexpr std::uint32_t kWhite = 0xFFFFFFFF;    // a scratched cue ball in hand
constexpr std::uint32_t kWarning = 0xFFFF8080;  // the rules dialog's gold warning
}  // namespace colour

namespace sound {
constexpr int kMissionStart = 24;
constexpr int kRack = 27;
constexpr int kScored = 20;
constexpr int kCharged = 41;
constexpr int kRulesOpen = 32;
}  // namespace sound

// The own record's location word while in the practice room.
constexpr std::uint16_t kPracticeLocation = 0xFFFE;
// The lobby's request word after the room took the request.
constexpr std::int16_t kRequestTaken = -999;
// The lobby's request kind for the earn-gold mission.
constexpr std::uint8_t kEarnGoldRequest = 1;

}  // namespace scenes::practice
