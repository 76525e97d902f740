#pragma once
// Numbers of the rules controller and the camera rig.

#include <cstdint>

namespace table {

// Sound ids the rules controller asks the world to play.
enum class RulesSound : int {
    Result = 20,       // result animation after a scoring turn
    Rerack = 27,       // the balls are racked again
    MiscueSlip = 28,   // the tip slid off the ball (volume from the miscue share)
    MiscueClick = 29,  // the chalkless click of a miscue (volume from the power)
};

constexpr std::uint32_t kDefaultModelId = 0x10014;
// One frame step simulates one update tick.
constexpr float kFrameSeconds = 0.005f;
constexpr int kTicksPerSecond = 200;
// A shot that has not come to rest after this many frame steps (120 s) is stopped and judged.
constexpr std::uint32_t kMaxShotCalls = 24000;
// Result code the server sends for a turn that timed out.
constexpr int kResultTimeOut = -3;
// The first per-shot list count sent as 0 in the shot result.
constexpr std::uint8_t kNoBallList = 255;
// Value in a pocket call or a rule value meaning "none".
constexpr std::uint8_t kNoBall = 255;
// The out-of-play byte of a pocket game's ball that jumped off the table (pockets are 1 to 6).
constexpr std::uint8_t kOffTable = 7;

// Camera numbers of the rig.
constexpr int kCameraFree = 1;
constexpr int kCameraAim = 2;
constexpr int kCameraTop = 3;
// Passed for a view value, keeps the current value.
constexpr float kKeepValue = -100000.0f;

}  // namespace table
