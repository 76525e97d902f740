#pragma once
// One owned item of a player. Entries come from the session's pool of 500; records hold pointers.

#include <array>
#include <cstdint>

#include "engine/core/Text.h"

namespace net {

enum class ItemType : std::uint32_t { Cue = 1, BallSet = 2, Table = 3, General = 4, Chalk = 5, Effect = 6 };
enum class ItemState : std::uint8_t { Inactive = 0, Active = 1, Expired = 4 };
enum class UsageKind : std::uint8_t { None = 0, LimitedTime = 1, SingleUse = 2, LimitedCount = 3 };

constexpr std::uint64_t kLastBuiltInSerial = 9;  // serials 0..9 are the built-in default entries
constexpr int kCueParts = 5;
constexpr int kCueOptions = 5;
constexpr std::int64_t kSecondValueCap = 1000000;

struct ItemEntry {
    std::uint64_t serial = 0;
    std::uint32_t itemId = 0;
    std::uint32_t type = 0;           // ItemType
    std::uint8_t kind = 0;            // 3 = chalk
    std::uint8_t newMark = 0;         // 1 bought here, 2..5 received as a gift
    std::uint8_t state = 0;           // ItemState
    std::uint8_t personal = 0;        // 1 = personal cue
    std::uint8_t usageKind = 0;       // UsageKind
    std::uint8_t unit = 0;            // the catalogue's unit byte; 3: remaining value is durability
    std::int32_t initialValue = 0;    // maximum; personal cue: maximum durability, thousandths
    std::int32_t remainingValue = 0;  // current count or durability
    std::int32_t copyValue = 0;       // the count last reported
    std::uint64_t upgradeValue = 0;   // thousandths of a point
    std::int64_t secondValue = 0;     // the entry's second 64-bit value, at most kSecondValueCap
    std::array<std::uint8_t, kCueOptions> performance{};
    std::array<std::uint16_t, kCueParts> parts{};
    WString expiry;
    WString cueName;
    WString giftSender;
    WString giftMessage;

    bool IsPersonalCue() const { return type == static_cast<std::uint32_t>(ItemType::Cue) && personal == 1; }
    void Clear() { *this = ItemEntry{}; }
};

}  // namespace net
