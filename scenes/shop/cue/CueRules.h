#pragma once
// The arithmetic of personal cues, apart from their windows: repair costs and thresholds, the
// performance point distribution, upgrade figures, part totals, the custom cue's price, and the
// five requests the cue windows send.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "net/CuePartTable.h"
#include "net/ItemEntry.h"

namespace net {
class Packet;
}

namespace scenes {

namespace cue_net {
constexpr std::uint16_t kCuePurchase = 531;    // C->S
constexpr std::uint16_t kPartsPurchase = 534;  // C->S
constexpr std::uint16_t kUpgrade = 536;        // C->S
constexpr std::uint16_t kRepair = 538;         // C->S
constexpr std::uint16_t kReset = 540;          // C->S
}  // namespace cue_net

namespace cue_rule {
constexpr std::uint32_t kCustomCue = 3100;
constexpr std::uint32_t kTuningCue = 3104;
constexpr std::int64_t kRepairPerPoint = 150;
constexpr std::int64_t kAdvancedRepairPerPoint = 450;
constexpr std::int64_t kRestorationCash = 8800;
constexpr std::int64_t kResetCash = 8800;
constexpr int kResetPoints = 150;
constexpr int kCustomOptionCap = 40;
constexpr int kTuningPurchasePoints = 20;
constexpr int kTuningOptionCap = 10;
constexpr int kUpgradeCeiling = 30;
constexpr std::int64_t kCustomBasePrice = 17500;
constexpr std::int64_t kCustomPartAllowance = 3000;
constexpr int kMaxOwnedPersonalCues = 4;
constexpr int kMaxOwnedItems = 98;
}  // namespace cue_rule

// A custom cue is told apart from a tuning cue by its item id alone.
constexpr bool IsCustomCue(std::uint32_t itemId) {
    return itemId == cue_rule::kCustomCue;
}

// Repair of an owned cue: the costs and whether the durability allows each kind.
enum class RepairKind : std::uint8_t { Normal = 0, Advanced = 1 };
struct RepairQuote {
    std::int64_t lostPoints = 0;    // whole points; 0 when durability is at or above maximum
    std::int64_t normalCost = 0;    // cue money, or the restoration's cash for a custom cue
    std::int64_t advancedCost = 0;  // cue money; 0 for a custom cue
    std::int64_t threshold = 0;     // thousandths; a durability above it may not be repaired
};
RepairQuote QuoteRepair(const net::ItemEntry& cue);
// The integer part of maximum x factor + 0.5 (thousandths).
std::int64_t RepairThreshold(std::uint32_t maximum, double factor);

// The option's shown effect: the integer part of value + 0.4.
int OptionEffect(int value);
// "+%d", "%d%%" or "+%d%%" as the option and the place show it; `miscuePlus` gives the miscue
// option a plus sign.
WString OptionEffectText(int option, int value, bool miscuePlus);

// Points spread over the five options, each within 0..cap, never more than the budget.
struct PointDistribution {
    int remaining = 0;
    int cap = 0;
    std::array<int, net::kCueOptions> options{};

    void Start(int points, int optionCap);
    // Button 200 + 2k takes a point back from option k, 201 + 2k spends one on it; false (nothing
    // changed) when the step would leave the bounds or the option does not exist.
    bool Step(int option, bool plus);
};

// The figures of one option's upgrade.
struct UpgradeQuote {
    int group = 0;    // the group whose part bounds the option
    int part = 0;     // that part's index on the cue
    int current = 0;  // the option's value
    int maximum = 0;  // the part's limit; 0 when the cue names a part the table lacks
    int next = 0;     // current + 1, at most the upgrade ceiling
    int pointsNeeded = 0;
    int rate = 0;           // success percent
    int memberRate = 0;     // success percent for club members
    std::int64_t cost = 0;  // cue money
};
// The part group that bounds option k (butt, joint, tip, tip, shaft) and which limit of its row.
int BoundingGroup(int option);
UpgradeQuote QuoteUpgrade(const net::ItemEntry& cue, int option);
std::int64_t UpgradeCost(int current);

// Totals of changed parts: a group counts when its selected part differs from the cue's part.
struct PartsTotals {
    std::int64_t cash = 0;
    std::int64_t cueMoney = 0;
    std::vector<int> changedGroups;  // ascending
};
PartsTotals TotalParts(const std::array<std::uint16_t, net::kCueParts>& current,
                       const std::array<int, net::kCueParts>& selected);

// The custom cue's price: the base and what each selected part costs above the allowance.
std::int64_t CustomCuePrice(const std::array<int, net::kCueParts>& parts);

// Requests. Each starts `packet` afresh.
void WriteRepairRequest(net::Packet& packet, RepairKind kind, std::uint64_t serial);
void WriteResetRequest(net::Packet& packet, std::uint64_t serial,
                       const std::array<int, net::kCueOptions>& options);
void WriteUpgradeRequest(net::Packet& packet, std::uint64_t serial, int option);
void WritePartsRequest(net::Packet& packet, std::uint64_t serial,
                       const std::array<int, net::kCueParts>& selected,
                       const std::vector<int>& changedGroups);
void WriteCuePurchaseRequest(net::Packet& packet, std::uint32_t itemId, std::uint32_t durability,
                             WStringView name, const std::array<int, net::kCueOptions>& options,
                             const std::array<int, net::kCueParts>& parts);

}  // namespace scenes
