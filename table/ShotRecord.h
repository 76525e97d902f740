#pragma once
// The binary record of one shot (client build, physics model, table, cue and parts, ball set, ball
// positions and orientations, shot parameters). It travels as upper-case hex text in lessons, replays
// and the shot gallery; ShotRecordToHex writes it and ParseHex reads it back.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "table/ShotWords.h"

namespace table {

struct ShotRecord {
    static constexpr int kMaxBalls = 22;
    static constexpr int kShotParamCount = 15;

    std::uint32_t clientBuild = 0;
    std::uint32_t physicsModelId = 0x10014;
    // The game type; a signed value of 10 or more marks a pocket game, whose records carry a byte per ball.
    std::uint8_t gameType = 0;
    std::uint16_t tableItem = 0;
    std::uint16_t cueItem = 0;
    std::array<std::uint16_t, 5> cuePartItems{};
    std::array<std::uint8_t, 5> cuePartLevels{};
    std::uint16_t ballSetItem = 0;
    std::uint16_t wordAfterBallSet = 0;
    // Kept in the record but never written to the hex text.
    std::uint8_t unwrittenByte = 0;
    std::uint8_t byteBeforeBallCount = 0;
    std::uint8_t ballCount = 0;
    std::uint8_t byteAfterBallCount = 0;
    std::array<std::array<float, 3>, kMaxBalls> positions{};
    std::array<std::array<float, 4>, kMaxBalls> orientations{};  // quaternion x, y, z, w
    std::array<std::uint8_t, kMaxBalls> ballBytes{};
    // Fifteen 4-byte shot parameters; the twelfth is never written to the hex text.
    std::array<float, kShotParamCount> shotParams{};

    bool HasBallBytes() const { return static_cast<std::int8_t>(gameType) >= 10; }
    // The shot parameters as the shot words they stand for.
    ShotWords Words() const;

    enum class ParseResult { Ok, BadLength, BadHexDigit, BadBallCount, BadGameType, BadTableType };
    // Reads the writer's text, its exact inverse. Upper- and lower-case digits are accepted; any other
    // character is refused. The text must have exactly the length the writer gives for its ball count;
    // a ball count above 22, a game type outside 0..16 or a table item the world cannot load (other
    // than 0 and 1, the game type's default) is refused. On failure the record is left unchanged.
    ParseResult ParseHex(std::string_view text);
};

// What a parse result other than Ok says is wrong with the text, as a clause for a user.
const char* ParseResultText(ShotRecord::ParseResult result);

// What keeps a record that reads from being played on its table, as a clause for a user: a game
// type this client does not have, a ball count other than the game type's, a cue ball that is not
// one of its balls, a ball position or orientation that is no number, or shot words no client sends
// (ShotWordsProblem). Empty when the record plays. The command line, the replay viewer, the gallery
// and the table world all ask this one check.
WString ShotRecordProblem(const ShotRecord& record);

// The revision of a client build. A reader of records would choose the fields an older build's
// record lacks by it; only one layout is known, the one ShotRecordToHex writes (build 2970,
// revision 104), and ParseHex reads records of every build with it.
constexpr std::int32_t BuildRevision(std::uint32_t build) {
    return static_cast<std::int32_t>(build) - 2866;
}

// Number of characters ShotRecordToHex writes for a record of n balls (n in 0..22).
std::size_t ShotRecordHexLength(int ballCount, bool ballBytes);
// Empty text when the ball count is outside 0..22 (a record the reader could not take back).
std::string ShotRecordToHex(const ShotRecord& record);

}  // namespace table
