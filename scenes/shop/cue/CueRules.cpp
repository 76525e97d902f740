#include "scenes/shop/cue/CueRules.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "net/Packet.h"

namespace scenes {

namespace {
constexpr int kBoundingGroup[net::kCueOptions] = {
    static_cast<int>(net::CuePartGroup::Butt), static_cast<int>(net::CuePartGroup::Joint),
    static_cast<int>(net::CuePartGroup::Tip), static_cast<int>(net::CuePartGroup::Tip),
    static_cast<int>(net::CuePartGroup::Shaft)};
// Which limit of the bounding row caps the option (1 or 2).
constexpr int kBoundingLimit[net::kCueOptions] = {1, 1, 1, 2, 1};
}  // namespace

std::int64_t RepairThreshold(std::uint32_t maximum, double factor) {
    return static_cast<std::int64_t>(static_cast<double>(maximum) * factor + 0.5);
}

RepairQuote QuoteRepair(const net::ItemEntry& cue) {
    RepairQuote q;
    // A durability above the maximum (a server quirk) costs nothing rather than a wrapped amount.
    const std::int64_t lost =
        static_cast<std::int64_t>(cue.initialValue) - static_cast<std::int64_t>(cue.remainingValue);
    q.lostPoints = std::max<std::int64_t>(0, lost) / 1000;
    if (IsCustomCue(cue.itemId)) {
        q.normalCost = cue_rule::kRestorationCash;
        q.threshold = RepairThreshold(cue.initialValue, 0.1);
    } else {
        q.normalCost = q.lostPoints * cue_rule::kRepairPerPoint;
        q.advancedCost = q.lostPoints * cue_rule::kAdvancedRepairPerPoint;
        q.threshold = RepairThreshold(cue.initialValue, 0.8);
    }
    return q;
}

int OptionEffect(int value) {
    return static_cast<int>(static_cast<double>(value) * 1.0 + 0.4);
}

WString OptionEffectText(int option, int value, bool miscuePlus) {
    const int v = OptionEffect(value);
    switch (option) {
        case 0:
        case 2:
            return Format(u"+%d", v);
        case 3:
            return Format(miscuePlus ? u"+%d%%" : u"%d%%", v);
        default:
            return Format(u"%d%%", v);
    }
}

void PointDistribution::Start(int points, int optionCap) {
    remaining = points;
    cap = optionCap;
    options.fill(0);
}

bool PointDistribution::Step(int option, bool plus) {
    if (option < 0 || option >= net::kCueOptions) return false;
    const int delta = plus ? -1 : 1;
    const int newRemaining = remaining + delta;
    const int newValue = options[static_cast<std::size_t>(option)] - delta;
    if (newRemaining < 0 || newValue < 0 || newValue > cap) return false;
    remaining = newRemaining;
    options[static_cast<std::size_t>(option)] = newValue;
    return true;
}

int BoundingGroup(int option) {
    return option >= 0 && option < net::kCueOptions ? kBoundingGroup[option] : -1;
}

std::int64_t UpgradeCost(int current) {
    std::int64_t cost = 3000;
    for (int i = 0; i < current; ++i) cost += i < 10 ? 200 : i < 20 ? 400 : 600;
    return cost;
}

UpgradeQuote QuoteUpgrade(const net::ItemEntry& cue, int option) {
    UpgradeQuote q;
    if (option < 0 || option >= net::kCueOptions) return q;
    q.group = kBoundingGroup[option];
    q.part = cue.parts[static_cast<std::size_t>(q.group)];
    // A part the table lacks bounds the option at 0: it cannot be upgraded.
    if (const net::CuePartRow* row = net::GetCuePartTable().Find(q.group, q.part))
        q.maximum = kBoundingLimit[option] == 1 ? row->limit1 : row->limit2;
    q.current = static_cast<std::int8_t>(cue.performance[static_cast<std::size_t>(option)]);
    q.next = std::min(q.current + 1, cue_rule::kUpgradeCeiling);
    q.pointsNeeded = q.current / 10 + 1;
    const int cut = static_cast<int>(q.current * 1.5 + 0.5);
    q.rate = 100 - cut;
    q.memberRate = 100 - cut / 2;
    q.cost = UpgradeCost(q.current);
    return q;
}

PartsTotals TotalParts(const std::array<std::uint16_t, net::kCueParts>& current,
                       const std::array<int, net::kCueParts>& selected) {
    PartsTotals t;
    for (int g = 0; g < net::kCueParts; ++g) {
        const auto i = static_cast<std::size_t>(g);
        if (selected[i] == current[i]) continue;
        t.changedGroups.push_back(g);
        const net::CuePartRow* row = net::GetCuePartTable().Find(g, selected[i]);
        if (!row) continue;
        (row->currency == 1 ? t.cash : t.cueMoney) += row->price;
    }
    return t;
}

std::int64_t CustomCuePrice(const std::array<int, net::kCueParts>& parts) {
    std::int64_t price = cue_rule::kCustomBasePrice;
    for (int g = 0; g < net::kCueParts; ++g) {
        const net::CuePartRow* row = net::GetCuePartTable().Find(g, parts[static_cast<std::size_t>(g)]);
        if (row && row->currency != 2 && row->price > cue_rule::kCustomPartAllowance)
            price += row->price - cue_rule::kCustomPartAllowance;
    }
    return price;
}

void WriteRepairRequest(net::Packet& packet, RepairKind kind, std::uint64_t serial) {
    packet.Init(cue_net::kRepair);
    packet.WriteU8(static_cast<std::uint8_t>(kind)).WriteU64(serial);
}

void WriteResetRequest(net::Packet& packet, std::uint64_t serial,
                       const std::array<int, net::kCueOptions>& options) {
    packet.Init(cue_net::kReset);
    packet.WriteU64(serial);
    for (int v : options) packet.WriteU8(static_cast<std::uint8_t>(v));
}

void WriteUpgradeRequest(net::Packet& packet, std::uint64_t serial, int option) {
    packet.Init(cue_net::kUpgrade);
    packet.WriteU8(1).WriteU64(serial).WriteU8(static_cast<std::uint8_t>(option));
}

void WritePartsRequest(net::Packet& packet, std::uint64_t serial,
                       const std::array<int, net::kCueParts>& selected,
                       const std::vector<int>& changedGroups) {
    packet.Init(cue_net::kPartsPurchase);
    packet.WriteU64(serial).WriteU8(static_cast<std::uint8_t>(changedGroups.size()));
    for (int g : changedGroups)
        packet.WriteU8(static_cast<std::uint8_t>(g))
            .WriteU16(static_cast<std::uint16_t>(selected[static_cast<std::size_t>(g)]));
}

void WriteCuePurchaseRequest(net::Packet& packet, std::uint32_t itemId, std::uint32_t durability,
                             WStringView name, const std::array<int, net::kCueOptions>& options,
                             const std::array<int, net::kCueParts>& parts) {
    packet.Init(cue_net::kCuePurchase);
    packet.WriteU32(itemId).WriteU32(durability).WriteString(name);
    for (int v : options) packet.WriteU8(static_cast<std::uint8_t>(v));
    for (int p : parts) packet.WriteU16(static_cast<std::uint16_t>(p));
}

}  // namespace scenes
