#pragma once
// Codes and fixed values of the table world (the rules controller keeps its own): the application messages it
// posts, its play states, control bits, shot timing and the sizes of its blocks.

#include <cstdint>

namespace table {

// Application messages the world posts to its host (code, a, b).
enum class WorldMessage : std::uint32_t {
    CueStruck = 1111,    // a = power x 100, b = chalk used by the shot
    ShotAtRest = 1112,   // every ball rests after a shot
    ShotRunning = 1120,  // posted each tick while a shot runs
};

// Play states (the world's `playState`).
enum class PlayState : std::int32_t {
    Replay = 0,
    SchoolPage = 3,
    Waiting = 4,
    FreePractice = 5,
    MiniView = 6,
    NewRack = 7,
};

// How ExecuteShot was asked to run a shot.
enum class ShotMode : std::int32_t {
    Local = 1,   // struck by the own player on this client (offline, practice)
    Server = 2,  // received from the server (message 2052)
    Replay = 3,  // a stored shot
};

// Bits of the control mask (-1 by default: every control allowed; the school's lessons open them one
// by one). The world honours Shift, Space and the shot's bit, without which the pointer moved with no
// button turns no aim; the school also keeps the left button from the table without the shot's bit.
// The lessons' masks carry other bits that nothing reads.
namespace control_bit {
constexpr std::uint32_t kShift = 0x08;
constexpr std::uint32_t kShot = 0x20;
constexpr std::uint32_t kSpace = 0x100;
}  // namespace control_bit

constexpr int kMaxBalls = 22;
constexpr std::uint8_t kNoPocket = 255;
constexpr std::int32_t kNoPlacedBall = -1;
constexpr std::int32_t kFirstPocketGameType = 10;
constexpr std::int32_t kGameTypeCount = 17;

// The default shot: both offset pairs 0, power 0.8 of at most 0.8, limitFactor 1, the rest 0.
constexpr float kDefaultPower = 0.8f;
constexpr float kDefaultLimitFactor = 1.0f;

// The aim: power grows by kPowerPerTick while charged; the mouse draw-back gives full power at
// kPowerDrawPixels. Elevation is in degrees, tip offsets in -1..1.
constexpr float kPowerPerTick = 1.0f / 300.0f;
constexpr float kPowerDrawPixels = 200.0f;
constexpr float kAimDegreesPerPixel = 0.25f;
// The table is drawn left-handed, as the render device's view matrices are (looking along +x,
// +y is on the right): a growing yaw turns the view to the right on screen. The aim and the
// camera turn the way the pointer or the arrow key points.
constexpr float kYawPerScreenRight = 1.0f;
constexpr float kAimDegreesPerKeyTick = 0.2f;
constexpr float kFineAimDivisor = 10.0f;
constexpr float kTipOffsetStep = 0.05f;
constexpr float kElevationStep = 1.0f;
constexpr float kMaxElevationDegrees = 89.0f;
constexpr float kMaxTipOffset = 1.0f;
// Aim point distance from the cue ball along the aim (cm).
constexpr float kAimPointDistance = 100.0f;

// Slow motion: a time scale of 1/n runs one simulation call every n ticks.
constexpr float kTimeScaleNormal = 1.0f;
constexpr float kTimeScaleHalf = 0.5f;
constexpr float kTimeScaleQuarter = 0.25f;

// Trails keep one point every kTrailTickInterval ticks, at most kTrailPoints per ball.
constexpr std::uint32_t kTrailTickInterval = 4;
constexpr std::size_t kTrailPoints = 256;

// The laser guide item: scenes set the world's laser-guide flag while it is in use.
constexpr std::uint32_t kLaserGuideItem = 4150;

// Sizes of the shot-state block.
constexpr std::size_t kShotStateBlockSize = 768;
constexpr int kShotWordCount = 15;

constexpr float kRadiansPerDegree = 3.14159265f / 180.0f;

// The projection the table is drawn with: vertical field of view (radians), near and far planes (cm).
constexpr float kViewFieldOfView = 3.14159265f / 4.0f;
constexpr float kViewNear = 5.0f;
constexpr float kViewFar = 5000.0f;

// Camera distance of the ball-placement reset and the aim camera's follow time.
constexpr float kResetCameraDistance = 300.0f;
constexpr float kFollowSeconds = 0.5f;
// Picking a ball under the pointer: the ray is taken between the bed and this height (cm); a press
// that passes beside every ball still picks the nearest one within this many radii of the ray.
constexpr float kBallPickRayHeight = 100.0f;
constexpr float kBallPickMargin = 1.5f;

}  // namespace table
