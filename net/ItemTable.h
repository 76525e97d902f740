#pragma once
// What the client knows of every item id: the sale record (ItemTable) and the catalogue record with the
// cue performance values (ItemCatalog). Both are built in (docs/decisions/net.md), read-only after
// construction and safe to read from any thread.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "net/ItemEntry.h"
#include "net/NetConstants.h"

namespace net {

enum class PriceKind : std::uint8_t { Gold = 0, Cash = 1 };
enum class PeriodKind : std::uint8_t { None = 0, Days = 1, Uses = 2, Count = 3 };

constexpr std::int16_t kNoPeriod = -1;
// Unit byte 3: the value counted down is a personal cue's durability (thousandths), not uses or days.
constexpr std::uint8_t kUnitDurability = 3;
constexpr std::int32_t kNotSold = -1;

struct ItemRecord {
    std::uint32_t itemId = 0;
    std::uint32_t type = 0;  // ItemType
    std::uint8_t unit = 0;   // kUnitDurability for personal cues
    std::uint8_t priceKind = 0;
    WString name;
    std::uint8_t usageKind = 0;
    std::uint8_t periodKind = 0;
    std::array<std::int16_t, 3> periods{kNoPeriod, kNoPeriod, kNoPeriod};
    std::array<std::int32_t, 3> prices{kNotSold, kNotSold, kNotSold};
    std::uint8_t bonusGoldFlag = 0;
    std::array<std::int32_t, 3> bonusGold{};
    std::int16_t moneyBonus = 0;         // percent
    std::int16_t winningPointBonus = 0;  // percent
    std::int16_t skillSpeedBonus = 0;    // percent
    std::int8_t requiredLevel = 0;
    std::array<std::uint8_t, kGameTypeCount> usable{};
    std::uint8_t hasParts = 0;
    bool CountsDurability() const { return unit == kUnitDurability; }
};

class ItemTable {
public:
    ItemTable();
    const ItemRecord* Find(std::uint32_t itemId) const;
    const std::vector<ItemRecord>& Records() const { return records_; }

private:
    std::vector<ItemRecord> records_;  // sorted by id
};

struct CatalogRecord {
    std::uint32_t itemId = 0;
    WString name;
    std::int32_t price = 0;
    std::uint32_t currency = 0;  // 1 cash
    std::int32_t level = 0;
    WString extraText;
    std::uint8_t tuningCue = 0;
    std::uint8_t customCue = 0;
    std::array<std::int32_t, kCueOptions> performance{};
    std::int32_t chalkEnglish = 0;
    std::int32_t chalkMiscue = 0;
    std::int32_t bridge = 0;
    std::uint32_t maxDurability = 0;  // thousandths
    std::array<std::uint16_t, kCueParts> parts{};
};

class ItemCatalog {
public:
    ItemCatalog();
    const CatalogRecord* Find(std::uint32_t itemId) const;
    const std::vector<CatalogRecord>& Records() const { return records_; }

private:
    std::vector<CatalogRecord> records_;  // sorted by id
};

// The process-wide tables, built on first use.
const ItemTable& GetItemTable();
const ItemCatalog& GetItemCatalog();

// Effect items switch one slot of the session on for a shot.
constexpr int kItemEffectSlots = 8;
// The slot of an effect item, or -1 for an item without one.
int ItemEffectSlotOfItem(std::uint32_t itemId);

}  // namespace net
