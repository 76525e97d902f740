#pragma once
// Bodies of the table messages the world reads and writes: the ball-state block (2050, and the
// table state in 2051), the shot (2052), the shot result (2053), the ball placement (2063), the
// marked numbers and a line point. Readers check every count and value before it is used; a
// body that fails leaves the output untouched and returns false.

#include <array>
#include <cstdint>
#include <vector>

#include "net/Packet.h"
#include "table/ShotWords.h"
#include "table/WorldConstants.h"

namespace table {

// Positions and orientations travel as their f32 bits, so every client rebuilds the same balls.
struct BallStateBlock {
    std::uint16_t tableItem = 0;
    std::uint16_t ballSetItem = 0;
    std::uint8_t ballCount = 0;
    std::array<std::array<std::uint32_t, 3>, kMaxBalls> positions{};
    std::array<std::array<std::uint32_t, 4>, kMaxBalls> orientations{};
    std::array<std::uint8_t, kMaxBalls> ballBytes{};  // out of play, pocket games only
};
// With `append` the message starts behind the packet's previous message, else the packet starts
// anew. Game types 10 and above add one byte per ball.
void WriteBallStateBlock(net::Packet& packet, const BallStateBlock& block, std::int32_t gameType, bool append,
                         std::uint16_t id = net::Id(net::MessageId::ShotState));
// Reads the block at the packet's read position; false on a ball count above 22, a non-finite
// position or a short body.
bool ReadBallStateBlock(net::Packet& packet, std::int32_t gameType, BallStateBlock& block);

struct ShotMessage {
    std::uint8_t currentBall = 0;
    std::uint8_t shooterSeat = 0;
    float aimPointX = 0, aimPointY = 0;  // written equal to the words' aim; readers take the words
    ShotWords words;
    std::uint16_t cueItem = 0;
    std::array<std::uint16_t, 5> cueParts{};
    std::uint8_t chalkUsed = 0;
    std::uint32_t shotSeed = 0;
};
void WriteShotMessage(net::Packet& packet, const ShotMessage& shot);
// False on a short body, a current ball outside 0..21 or a word that is not finite.
bool ReadShotMessage(net::Packet& packet, ShotMessage& shot);

struct ShotResult {
    std::int32_t code = 0;  // the rules' code before the wire limits its thousands digit (negative: a foul)
    std::uint8_t ruleValue = 0;
    std::vector<std::uint8_t> firstList;   // balls pocketed by the shot
    std::vector<std::uint8_t> secondList;  // balls the cue ball touched
};
// The code as it is sent: count = code % 1000; the thousands digit, at most 3, stays only when the
// count is 4 or more. A negative code (a foul, -3 a time-out) goes as it is, in two's complement.
std::uint16_t WireResultCode(std::int32_t code);
void WriteShotResultMessage(net::Packet& packet, const ShotResult& result, std::int32_t gameType);
bool ReadShotResultMessage(net::Packet& packet, std::int32_t gameType, ShotResult& result);

struct BallPlacement {
    std::uint8_t argument = 0;  // 0 placement, 1 called pocket
    std::uint8_t ball = 0;
    float x = 0, y = 0, z = 0;
    std::uint8_t calledPocket = kNoPocket;  // 1..6 or 255
};
void WriteBallPlacementMessage(net::Packet& packet, const BallPlacement& placement);
// False on a short body, an argument above 1, a ball outside 0..21, a non-finite position or a
// called pocket other than 1..6 and 255.
bool ReadBallPlacementMessage(net::Packet& packet, BallPlacement& placement);

struct MarkedNumbers {
    std::uint8_t layoutMode = 0;
    std::vector<std::uint16_t> numbers;
};
bool ReadMarkedNumbersMessage(net::Packet& packet, MarkedNumbers& marked);

struct LinePoint {
    std::uint8_t lineIndex = 0;
    float x = 0, y = 0, z = 0;
};
bool ReadLinePointMessage(net::Packet& packet, LinePoint& point);

}  // namespace table
