#include "net/ItemTable.h"

#include <algorithm>

namespace net {

namespace {

// One line per built-in item: the sale data and the catalogue values it shares with the shop.
struct BuiltIn {
    std::uint32_t id;
    ItemType type;
    const char16_t* name;
    PriceKind priceKind;
    std::int32_t price;
    UsageKind usage;
    std::int16_t period;  // days, uses or count; -1 none
    std::int8_t level;
    std::uint8_t hasParts;
    std::array<std::int32_t, kCueOptions> performance;  // cues: power, balance, spin, miscue, squirt
    std::int16_t moneyBonus;
};

constexpr std::array<std::int32_t, 5> kNoPerf{};

// clang-format off
const BuiltIn kItems[] = {
    {11, ItemType::General, u"Basic membership", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {12, ItemType::General, u"Plus membership", PriceKind::Cash, 9000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {1020, ItemType::Table, u"4-Ball table", PriceKind::Gold, 12000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1024, ItemType::Table, u"International 3-cushion table", PriceKind::Gold, 20000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {1025, ItemType::Table, u"3-Cushion gamble table", PriceKind::Gold, 20000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {1026, ItemType::Table, u"Blue 3-cushion table", PriceKind::Cash, 2000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {1027, ItemType::Table, u"Middle table", PriceKind::Gold, 12000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1028, ItemType::Table, u"Red middle table", PriceKind::Cash, 2000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {1030, ItemType::Table, u"8-Ball table", PriceKind::Gold, 15000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1032, ItemType::Table, u"9-Ball table", PriceKind::Gold, 20000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {1033, ItemType::Table, u"Straight pool table", PriceKind::Gold, 20000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {1035, ItemType::Table, u"Snooker table", PriceKind::Gold, 0, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1101, ItemType::Table, u"Event table 1", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 10},
    {1102, ItemType::Table, u"Event table 2", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 10},
    {1103, ItemType::Table, u"Event table 3", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 10},
    {1104, ItemType::Table, u"Event table 4", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 10},
    {1105, ItemType::Table, u"Event table 5", PriceKind::Cash, 3000, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 10},
    {1401, ItemType::Table, u"Tournament table", PriceKind::Gold, kNotSold, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1501, ItemType::Table, u"School table", PriceKind::Gold, kNotSold, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {1502, ItemType::Table, u"Practice table", PriceKind::Gold, kNotSold, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2003, ItemType::BallSet, u"4-Ball balls", PriceKind::Gold, 3000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2004, ItemType::BallSet, u"3-Cushion balls", PriceKind::Gold, 4000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2006, ItemType::BallSet, u"Pocket balls", PriceKind::Gold, 4000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2007, ItemType::BallSet, u"Snooker balls", PriceKind::Gold, 0, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2008, ItemType::BallSet, u"Six-ball balls", PriceKind::Gold, 3000, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2100, ItemType::BallSet, u"Patterned balls 1", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {2101, ItemType::BallSet, u"Patterned balls 2", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {2102, ItemType::BallSet, u"Patterned balls 3", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {2103, ItemType::BallSet, u"Patterned balls 4", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {2104, ItemType::BallSet, u"Patterned balls 5", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 5},
    {2142, ItemType::BallSet, u"Large balls", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {2143, ItemType::BallSet, u"Small balls", PriceKind::Cash, 1500, UsageKind::LimitedTime, 30, 0, 0, kNoPerf, 0},
    {2200, ItemType::BallSet, u"School balls", PriceKind::Gold, kNotSold, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {2201, ItemType::BallSet, u"Practice balls", PriceKind::Gold, kNotSold, UsageKind::None, -1, 0, 0, kNoPerf, 0},
    {3000, ItemType::Cue, u"Basic cue", PriceKind::Gold, 0, UsageKind::None, -1, 0, 0, {10, 50, 10, 0, 0}, 0},
    {3001, ItemType::Cue, u"Beginner cue", PriceKind::Gold, 5000, UsageKind::LimitedTime, 30, 1, 0, {12, 50, 12, 0, 0}, 0},
    {3002, ItemType::Cue, u"Beginner cue II", PriceKind::Gold, 8000, UsageKind::LimitedTime, 30, 1, 0, {14, 50, 14, 2, 2}, 0},
    {3003, ItemType::Cue, u"Club cue", PriceKind::Gold, 15000, UsageKind::LimitedTime, 30, 5, 0, {16, 52, 16, 4, 4}, 0},
    {3004, ItemType::Cue, u"Club cue II", PriceKind::Gold, 20000, UsageKind::LimitedTime, 30, 8, 0, {18, 52, 18, 6, 6}, 0},
    {3005, ItemType::Cue, u"Pro cue", PriceKind::Cash, 5000, UsageKind::LimitedTime, 30, 10, 0, {20, 55, 20, 8, 8}, 0},
    {3006, ItemType::Cue, u"Pro cue II", PriceKind::Cash, 7000, UsageKind::LimitedTime, 30, 12, 0, {22, 55, 22, 10, 10}, 0},
    {3010, ItemType::Cue, u"Maple cue", PriceKind::Gold, 6000, UsageKind::LimitedTime, 30, 1, 0, {13, 50, 13, 1, 1}, 0},
    {3011, ItemType::Cue, u"Ash cue", PriceKind::Gold, 6000, UsageKind::LimitedTime, 30, 1, 0, {13, 51, 12, 1, 2}, 0},
    {3012, ItemType::Cue, u"Ebony cue", PriceKind::Gold, 6000, UsageKind::LimitedTime, 30, 1, 0, {12, 51, 13, 2, 1}, 0},
    {3041, ItemType::Cue, u"Carbon cue", PriceKind::Cash, 6000, UsageKind::LimitedTime, 30, 5, 0, {20, 53, 18, 6, 8}, 0},
    {3042, ItemType::Cue, u"Carbon cue II", PriceKind::Cash, 8000, UsageKind::LimitedTime, 30, 8, 0, {22, 53, 20, 8, 10}, 0},
    {3043, ItemType::Cue, u"Carbon cue III", PriceKind::Cash, 10000, UsageKind::LimitedTime, 30, 10, 0, {24, 55, 22, 10, 12}, 0},
    {3050, ItemType::Cue, u"Special cue", PriceKind::Cash, 9900, UsageKind::LimitedTime, 30, 1, 0, {20, 55, 20, 10, 10}, 0},
    {3051, ItemType::Cue, u"Special cue II", PriceKind::Cash, 9900, UsageKind::LimitedTime, 30, 1, 0, {21, 55, 21, 10, 10}, 0},
    {3052, ItemType::Cue, u"Special cue III", PriceKind::Cash, 9900, UsageKind::LimitedTime, 30, 1, 0, {22, 55, 22, 10, 10}, 0},
    {3053, ItemType::Cue, u"Event cue", PriceKind::Cash, kNotSold, UsageKind::LimitedTime, 30, 1, 0, {18, 52, 18, 5, 5}, 0},
    {3054, ItemType::Cue, u"Event cue II", PriceKind::Cash, kNotSold, UsageKind::LimitedTime, 30, 1, 0, {19, 52, 19, 5, 5}, 0},
    {3055, ItemType::Cue, u"Event cue III", PriceKind::Cash, kNotSold, UsageKind::LimitedTime, 30, 1, 0, {20, 52, 20, 5, 5}, 0},
    {3100, ItemType::Cue, u"Custom cue", PriceKind::Cash, 29800, UsageKind::None, -1, 0, 1, {20, 50, 20, 10, 10}, 0},
    {3102, ItemType::Cue, u"Tuning cue Silver", PriceKind::Cash, 19800, UsageKind::None, -1, 0, 1, {15, 50, 15, 5, 5}, 0},
    {3103, ItemType::Cue, u"Tuning cue Gold", PriceKind::Cash, 24800, UsageKind::None, -1, 0, 1, {17, 50, 17, 7, 7}, 0},
    {3104, ItemType::Cue, u"Tuning cue", PriceKind::Gold, 300000, UsageKind::None, -1, 0, 1, {12, 50, 12, 3, 3}, 0},
    {3105, ItemType::Cue, u"Tuning cue Bronze", PriceKind::Gold, 200000, UsageKind::None, -1, 0, 1, {11, 50, 11, 2, 2}, 0},
    {4011, ItemType::General, u"Gold bonus 10%", PriceKind::Cash, 1000, UsageKind::LimitedTime, 7, 0, 0, kNoPerf, 10},
    {4012, ItemType::General, u"Gold bonus 20%", PriceKind::Cash, 1800, UsageKind::LimitedTime, 7, 0, 0, kNoPerf, 20},
    {4101, ItemType::General, u"Record reset", PriceKind::Cash, 3000, UsageKind::SingleUse, 1, 0, 0, kNoPerf, 0},
    {4102, ItemType::General, u"Nickname change", PriceKind::Cash, 5000, UsageKind::SingleUse, 1, 0, 0, kNoPerf, 0},
    {4103, ItemType::General, u"Withdrawal reset", PriceKind::Cash, 2000, UsageKind::SingleUse, 1, 0, 0, kNoPerf, 0},
    {4104, ItemType::General, u"Warning reset", PriceKind::Cash, 2000, UsageKind::SingleUse, 1, 0, 0, kNoPerf, 0},
    {4106, ItemType::General, u"All skills +10", PriceKind::Cash, 500, UsageKind::LimitedCount, 10, 0, 0, kNoPerf, 0},
    {4107, ItemType::General, u"Timed all skills +10", PriceKind::Cash, 1500, UsageKind::LimitedTime, 7, 0, 0, kNoPerf, 0},
    {4108, ItemType::General, u"Guide line", PriceKind::Cash, 1000, UsageKind::LimitedCount, 50, 0, 0, kNoPerf, 0},
    {4111, ItemType::General, u"Practice time", PriceKind::Cash, 1000, UsageKind::LimitedCount, 600, 0, 0, kNoPerf, 0},
    {4145, ItemType::General, u"Practice kit", PriceKind::Gold, 3000, UsageKind::LimitedCount, 30, 0, 0, kNoPerf, 0},
    {4146, ItemType::General, u"Cloth pencil", PriceKind::Gold, 3000, UsageKind::LimitedCount, 30, 0, 0, kNoPerf, 0},
    {4150, ItemType::General, u"Laser guide", PriceKind::Gold, 2000, UsageKind::LimitedCount, 10, 0, 0, kNoPerf, 0},
    {4504, ItemType::Effect, u"Spin booster", PriceKind::Gold, 1000, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4510, ItemType::Effect, u"All skills +15", PriceKind::Gold, 2000, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4511, ItemType::Effect, u"Power booster", PriceKind::Gold, 1000, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4512, ItemType::Effect, u"Balance booster", PriceKind::Gold, 1000, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4513, ItemType::Effect, u"Squirt reducer", PriceKind::Gold, 1000, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4520, ItemType::Effect, u"Beginner's glove", PriceKind::Gold, 500, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4526, ItemType::Effect, u"Bridge glove", PriceKind::Cash, 500, UsageKind::LimitedCount, 20, 0, 0, kNoPerf, 0},
    {4901, ItemType::Chalk, u"Blue chalk", PriceKind::Gold, 1000, UsageKind::LimitedCount, 300, 0, 0, kNoPerf, 0},
    {4902, ItemType::Chalk, u"Green chalk", PriceKind::Gold, 2000, UsageKind::LimitedCount, 500, 0, 0, kNoPerf, 0},
    {4903, ItemType::Chalk, u"Master chalk", PriceKind::Gold, 3000, UsageKind::LimitedCount, 1000, 0, 0, kNoPerf, 0},
    {4904, ItemType::Chalk, u"Practice chalk", PriceKind::Gold, kNotSold, UsageKind::LimitedCount, 100, 0, 0, kNoPerf, 0},
};
// clang-format on

bool ListedForAllGames(ItemType type) {
    return type != ItemType::Table && type != ItemType::BallSet;
}

// The two gloves: the bridge ability they add.
constexpr std::uint32_t kBeginnerGlove = 4520, kBridgeGlove = 4526;

constexpr std::uint8_t kChalkEnglish[] = {2, 4, 6, 1};  // 4901..4904
constexpr std::uint8_t kChalkMiscue[] = {10, 20, 30, 5};

}  // namespace

ItemTable::ItemTable() {
    for (const BuiltIn& b : kItems) {
        ItemRecord r;
        r.itemId = b.id;
        r.type = static_cast<std::uint32_t>(b.type);
        r.unit = b.usage == UsageKind::LimitedCount ? 2 : 1;
        r.priceKind = static_cast<std::uint8_t>(b.priceKind);
        r.name = b.name;
        r.usageKind = static_cast<std::uint8_t>(b.usage);
        r.periodKind = b.usage == UsageKind::LimitedTime ? 1 : b.usage == UsageKind::None ? 0 : 2;
        r.periods[0] = b.period;
        r.prices[0] = b.price;
        if (b.usage == UsageKind::LimitedTime && b.price > 0) {
            // Longer periods at a small discount.
            r.periods[1] = static_cast<std::int16_t>(b.period * 3);
            r.prices[1] = b.price * 27 / 10;
        }
        r.moneyBonus = b.moneyBonus;
        r.requiredLevel = b.level;
        r.hasParts = b.hasParts;
        for (int t = 0; t < kGameTypeCount; ++t) r.usable[t] = ListedForAllGames(b.type) ? 1 : 0;
        records_.push_back(std::move(r));
    }
    std::sort(records_.begin(), records_.end(),
              [](const auto& a, const auto& b) { return a.itemId < b.itemId; });
}

const ItemRecord* ItemTable::Find(std::uint32_t itemId) const {
    auto it = std::lower_bound(records_.begin(), records_.end(), itemId,
                               [](const ItemRecord& r, std::uint32_t id) { return r.itemId < id; });
    return it != records_.end() && it->itemId == itemId ? &*it : nullptr;
}

ItemCatalog::ItemCatalog() {
    for (const BuiltIn& b : kItems) {
        CatalogRecord r;
        r.itemId = b.id;
        r.name = b.name;
        r.price = b.price;
        r.currency = b.priceKind == PriceKind::Cash ? 1 : 0;
        r.level = b.level;
        r.customCue = b.id == 3100;
        r.tuningCue = b.hasParts && b.id != 3100;
        r.performance = b.performance;
        if (b.type == ItemType::Chalk) {
            r.chalkEnglish = kChalkEnglish[b.id - 4901];
            r.chalkMiscue = kChalkMiscue[b.id - 4901];
        }
        r.bridge = b.type == ItemType::Cue ? 1 : b.id == kBeginnerGlove ? 1 : b.id == kBridgeGlove ? 3 : 0;
        r.maxDurability = b.hasParts ? 1'000'000 : 0;
        records_.push_back(std::move(r));
    }
    std::sort(records_.begin(), records_.end(),
              [](const auto& a, const auto& b) { return a.itemId < b.itemId; });
}

const CatalogRecord* ItemCatalog::Find(std::uint32_t itemId) const {
    auto it = std::lower_bound(records_.begin(), records_.end(), itemId,
                               [](const CatalogRecord& r, std::uint32_t id) { return r.itemId < id; });
    return it != records_.end() && it->itemId == itemId ? &*it : nullptr;
}

const ItemTable& GetItemTable() {
    static const ItemTable table;
    return table;
}

const ItemCatalog& GetItemCatalog() {
    static const ItemCatalog catalog;
    return catalog;
}

int ItemEffectSlotOfItem(std::uint32_t itemId) {
    switch (itemId) {
        case 4510:
            return 0;
        case 4511:
            return 1;
        case 4512:
            return 2;
        case 4513:
            return 3;
        case 4504:
            return 4;
        case 4520:
            return 5;
        case 4526:
            return 6;
        default:
            return -1;
    }
}

}  // namespace net
