#include "tests/e2e/server/TableState.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "engine/core/Text.h"
#include "net/Packet.h"
#include "table/BallPlaces.h"
#include "table/GameTypes.h"
#include "table/TableItems.h"
#include "table/TableMessages.h"
#include "tests/e2e/server/RoomCodes.h"

namespace testserver {

namespace {

using room::kEightBallGame, room::kFirstPocketType, room::kNineBallGame, room::kSnookerGame,
    room::kStraightPoolGame;

constexpr std::size_t kHeader = 5;  // table, ball set, count
constexpr std::size_t kPositionBytes = 12, kOrientationBytes = 16;

// The pocket tables, half sizes to the cushions' noses in cm: the pool table and the snooker table.
struct Bed {
    float halfLength, halfWidth;
};
constexpr Bed kPoolBed{127.5f, 63.75f}, kSnookerBed{177.8f, 88.9f};

constexpr float kPoolRadius = 2.8575f;
constexpr float kPocketDepth = 15.0f;
constexpr float kCornerHoleOffset = 4.5f, kSideHoleOffset = 5.45f;
// Two balls touch below this distance of their centres; a spotted ball keeps a little more.
constexpr float kSpotStep = 2 * kPoolRadius + 0.1f;

Bed BedOf(int gameType) {
    return gameType == kSnookerGame ? kSnookerBed : kPoolBed;
}

float ReadFloat(const std::uint8_t* b) {
    const std::uint32_t bits = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void WriteFloat(Bytes& b, std::size_t at, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// The centre of pocket 1..6's hole (1, 2, 3 along the near long rail from the head end, 4, 5, 6 along
// the far one), on the floor a pocketed ball rests on.
BallSpot PocketFloor(int pocket) {
    const float x = pocket % 3 == 1   ? -(kPoolBed.halfLength + kCornerHoleOffset)
                    : pocket % 3 == 2 ? 0.0f
                                      : kPoolBed.halfLength + kCornerHoleOffset;
    const float y = kPoolBed.halfWidth + (pocket % 3 == 2 ? kSideHoleOffset : kCornerHoleOffset);
    return {x, pocket <= 3 ? -y : y, kPoolRadius - kPocketDepth};
}

}  // namespace

bool TableState::Fits(const Bytes& state, int gameType) {
    const std::size_t count = static_cast<std::size_t>(BallCount(state));
    const std::size_t perBall = kPositionBytes + kOrientationBytes + (gameType >= kFirstPocketType ? 1 : 0);
    return count > 0 && state.size() == kHeader + count * perBall + 4;
}

BallSpot TableState::ReadSpot(const std::uint8_t* position) {
    return {ReadFloat(position), ReadFloat(position + 4), ReadFloat(position + 8)};
}

BallSpot TableState::Spot(const Bytes& state, int ball) {
    return ReadSpot(state.data() + kHeader + static_cast<std::size_t>(ball) * kPositionBytes);
}

void TableState::SetSpot(Bytes& state, int ball, const BallSpot& spot) {
    const std::size_t at = kHeader + static_cast<std::size_t>(ball) * kPositionBytes;
    WriteFloat(state, at, spot.x);
    WriteFloat(state, at + 4, spot.y);
    WriteFloat(state, at + 8, spot.z);
}

std::uint8_t TableState::OutOfPlay(const Bytes& state, int ball) {
    const std::size_t count = static_cast<std::size_t>(BallCount(state));
    return state[kHeader + count * (kPositionBytes + kOrientationBytes) + static_cast<std::size_t>(ball)];
}

void TableState::SetOutOfPlay(Bytes& state, int ball, std::uint8_t pocket) {
    const std::size_t count = static_cast<std::size_t>(BallCount(state));
    state[kHeader + count * (kPositionBytes + kOrientationBytes) + static_cast<std::size_t>(ball)] = pocket;
}

bool TableState::OnTable(int gameType, std::uint16_t tableItem, const BallSpot& spot) {
    return table::BallPlaceProblem(table::TableTypeOfGame(gameType, tableItem), 0, true, spot.x, spot.y,
                                   spot.z)
        .empty();
}

std::string TableState::Problem(const Bytes& state, int gameType) {
    const int count = BallCount(state);
    if (!Fits(state, gameType))
        return "a body of " + std::to_string(state.size()) + " bytes for its ball count";
    if (count != table::GameTypeOf(gameType).ballCount)
        return std::to_string(count) + " balls, not the game's " +
               std::to_string(table::GameTypeOf(gameType).ballCount);
    std::vector<std::array<float, 3>> positions;
    for (int ball = 0; ball < count; ++ball) {
        const std::uint8_t* turn = state.data() + kHeader + static_cast<std::size_t>(count) * kPositionBytes +
                                   static_cast<std::size_t>(ball) * kOrientationBytes;
        for (int i = 0; i < 4; ++i)
            if (!std::isfinite(ReadFloat(turn + 4 * i)))
                return "ball " + std::to_string(ball) + " turned by no number";
        const BallSpot at = Spot(state, ball);
        positions.push_back({at.x, at.y, at.z});
    }
    // The out-of-play bytes follow the orientations in pocket games; carom balls are all in play.
    const std::span<const std::uint8_t> outOfPlay(
        state.data() + kHeader + static_cast<std::size_t>(count) * (kPositionBytes + kOrientationBytes),
        gameType >= kFirstPocketType ? static_cast<std::size_t>(count) : 0);
    return WideToMulti(table::BallsPlaceProblem(gameType, table::TableTypeOfGame(gameType, TableItem(state)),
                                                positions, outOfPlay));
}

std::string TableState::ShotProblem(const Bytes& shot, int gameType) {
    const int balls = table::GameTypeOf(gameType).ballCount;
    if (!shot.empty() && shot.front() >= balls)
        return "current ball " + std::to_string(shot.front()) + " of a game of " + std::to_string(balls) +
               " balls";
    const Bytes frame = EncodeFrame(room::kShot, shot);
    net::Packet packet;
    table::ShotMessage read;
    if (!packet.SetFrames(frame.data(), frame.size()) || !table::ReadShotMessage(packet, read))
        return "a body of " + std::to_string(shot.size()) + " bytes, cut short";
    return {};
}

bool TableState::Place(Bytes& state, int gameType, std::uint8_t ball, const std::uint8_t* position) {
    if (!Fits(state, gameType) || ball >= BallCount(state)) return false;
    const BallSpot spot = ReadSpot(position);
    if (!OnTable(gameType, TableItem(state), spot)) return false;
    SetSpot(state, ball, spot);
    if (gameType >= kFirstPocketType) SetOutOfPlay(state, ball, 0);
    return true;
}

bool TableState::SpotOnFoot(Bytes& state, int gameType, int ball) {
    if (gameType < kFirstPocketType || !Fits(state, gameType) || ball >= BallCount(state)) return false;
    const auto free = [&](float x) {
        for (int other = 0; other < BallCount(state); ++other) {
            if (other == ball || OutOfPlay(state, other) != 0) continue;
            const BallSpot s = Spot(state, other);
            if (std::hypot(s.x - x, s.y) < kSpotStep) return false;
        }
        return true;
    };
    const Bed bed = BedOf(gameType);
    const float foot = bed.halfLength / 2, last = bed.halfLength - kPoolRadius;
    float x = foot;
    while (x <= last && !free(x)) x += kSpotStep;
    if (x > last)
        for (x = foot - kSpotStep; x > -last && !free(x);) x -= kSpotStep;
    SetSpot(state, ball, {x, 0.0f, kPoolRadius});
    SetOutOfPlay(state, ball, 0);
    return true;
}

Bytes TableState::ShortRack(int gameType, std::uint16_t table, std::uint16_t ballSet, Bytes& pocketed) {
    pocketed.clear();
    if (gameType != kEightBallGame && gameType != kNineBallGame && gameType != kStraightPoolGame) return {};
    const int count = gameType == kNineBallGame ? 10 : 16;
    const int gameBall = gameType == kEightBallGame ? 8 : gameType == kNineBallGame ? 9 : 15;
    // A plain stroke along the rail at any but the softest power sends the game ball into pocket 3.
    constexpr float kRail = -60.5f;
    constexpr std::array<int, 5> kStash = {1, 2, 4, 5, 6};
    Writer w;
    w.u16(table).u16(ballSet).u8(static_cast<std::uint8_t>(count));
    Bytes out(static_cast<std::size_t>(count), 0);
    for (int ball = 0; ball < count; ++ball) {
        BallSpot spot{0, 0, kPoolRadius};
        if (ball == 0) {
            spot = {100.0f, kRail, kPoolRadius};
        } else if (ball == gameBall) {
            spot = {118.0f, kRail, kPoolRadius};
        } else if (ball == 1 || (ball == 9 && gameType == kEightBallGame)) {
            spot = {-60.0f, ball == 1 ? 20.0f : -20.0f, kPoolRadius};
        } else {
            const int pocket = kStash[static_cast<std::size_t>(pocketed.size()) % kStash.size()];
            spot = PocketFloor(pocket);
            out[static_cast<std::size_t>(ball)] = static_cast<std::uint8_t>(pocket);
            pocketed.push_back(static_cast<std::uint8_t>(ball));
        }
        for (float f : {spot.x, spot.y, spot.z}) w.u32(std::bit_cast<std::uint32_t>(f));
    }
    for (int ball = 0; ball < count; ++ball) w.u32(0).u32(0).u32(0).u32(0x3F800000);  // no turn: (0, 0, 0, 1)
    w.raw(out).u16(table).u16(ballSet);
    return w.bytes();
}

}  // namespace testserver
