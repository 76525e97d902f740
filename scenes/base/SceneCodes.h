#pragma once
// Codes every scene shares with the application: scene ids, the application message codes posted to
// the two queues, and the button id the scene manager's session-side effects wait for.

#include <cstdint>

namespace scenes {

namespace scene_id {
constexpr int kLogin = 1;
constexpr int kIntro = 2;
constexpr int kLobby = 4;
constexpr int kGameRoom = 5;
constexpr int kSchool = 7;
constexpr int kPractice = 8;
constexpr int kShotGallery = 9;
constexpr int kShop = 10;
constexpr int kOffline = 11;
constexpr int kReplay = 12;
}  // namespace scene_id

// Application message codes posted to the two queues.
enum class AppMessage : std::uint32_t {
    Quit = 1030,
    CursorStyle = 1033,
    Shortcut = 1045,
    ApplyVideoSettings = 1055,
    SoundVolume = 1056,
    SoundEnable = 1057,
    OpenClanDialog = 1066,
    ClanAnswer = 1067,
    MyInfoValue = 1088,
    // The project's own codes. The connection to the game server dropped: the current scene stops
    // what runs on the server's word (clocks, turns) and the shell offers to sign in again.
    ConnectionLost = 1180,
    SignInAgain = 1181,  // the lost-connection notice was answered: back to the sign-in
};
// What a request for new video settings changes (the application's pending window changes).
namespace video_change {
constexpr std::uint32_t kTextureFilter = 0x2;
constexpr std::uint32_t kDeviceSettings = 0x8;
constexpr std::uint32_t kDisplayMode = 0x10;
constexpr std::uint32_t kSceneEffects = 0x100;
}  // namespace video_change

// The button id that the three session-side effects of the scene manager wait for.
constexpr std::uint32_t kConfirmButton = 2052;

}  // namespace scenes
