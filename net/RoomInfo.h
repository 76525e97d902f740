#pragma once
// The client's copy of a game room's settings and state.

#include <array>
#include <cstdint>

#include "engine/core/Text.h"

namespace net {

class Packet;

enum class RoomState : std::uint8_t { Waiting = 1, Playing = 2 };

constexpr int kMaxSeats = 8;

struct RoomInfo {
    std::uint8_t state = 0;
    std::uint16_t number = 0;
    std::uint8_t currentBall = 0;     // cue-ball index of the turn
    std::uint8_t currentShooter = 0;  // seat
    std::uint8_t gameType = 0;
    std::uint8_t playerCount = 0;
    std::uint8_t maxPlayers = 0;
    std::uint8_t masterSlot = 0;
    std::uint8_t moneyClass = 0;
    std::uint8_t gameOption = 0;  // bit 3: half game
    std::uint8_t option1 = 0;
    std::uint8_t option2 = 0;
    std::uint8_t inningTime = 0;  // seconds; 0 = no limit (kept unsigned: the wire carries a u8)
    WString title;
    WString secondText;
    WString password;
    std::uint8_t hasPassword = 0;
    std::uint16_t requirementLow = 0;
    std::uint16_t requirementHigh = 0;
    std::uint8_t pointTrack1 = 0;
    std::uint8_t pointTrack2 = 0;
    std::uint8_t option3 = 0;  // the extra option byte of the room state
    // Point track of the room state: mode, then position, label value, second and third marker, panel offset.
    std::uint8_t pointTrackMode = 0;
    std::array<std::uint8_t, 5> pointTrack{};
    std::uint8_t watchOnly = 0;
    std::int32_t seedMoney = 0;
    std::int32_t stake1 = 0;
    std::int32_t stake2 = 0;
    std::uint16_t tableItem = 0;
    std::uint16_t ballSetItem = 0;

    // The gold a player with `money` still lacks to sit in this room: class 1 asks 500, class 3 1000,
    // a gamble room also its seed money; 0 when he has enough. Tournament channels (type 8) ask nothing.
    std::int64_t RequiredGold(std::int64_t money, std::uint16_t channelType) const;
    bool IsCushionGamble() const { return gameType == 2 || gameType == 5; }
    // Neither a gamble game type nor a room with a stake.
    bool IsOpenNonGamble() const;
    bool IsBit3OptionOn() const { return (gameOption & 0x08) != 0; }

    // The room settings block of the room list, room creation and room entry (docs/protocol.md).
    void Write(Packet& packet) const;
    // What reading a block made of it: taken; read whole, but naming a room this client cannot show
    // (a game type above 16, more than 8 players, a master seat above 7: `why` names the room and that), the
    // room unchanged and the message readable on; or short or malformed, the room unchanged.
    enum class BlockRead { Taken, Unshowable, Broken };
    BlockRead ReadBlock(Packet& packet, WString* why = nullptr);
    // True when the block was taken (room unchanged otherwise).
    bool Read(Packet& packet) { return ReadBlock(packet) == BlockRead::Taken; }
};

}  // namespace net
