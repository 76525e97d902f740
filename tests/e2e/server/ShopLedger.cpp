#include "tests/e2e/server/ShopLedger.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace testserver {

namespace {
enum : std::uint16_t {
    kMembership = 500,
    kMembershipResult = 501,
    kPurchase = 507,
    kGift = 508,
    kClanGift = 509,
    kPurchaseResult = 510,
    kUseItem = 512,
    kActivateResult = 513,
    kNickChangeResult = 514,
    kUseResult = 516,
    kDeleteItem = 524,
    kDeleteResult = 525,
    kCuePurchase = 531,
    kPartsPurchase = 534,
    kPartsResult = 535,
    kUpgrade = 536,
    kUpgradeResult = 537,
    kRepair = 538,
    kRepairResult = 539,
    kReset = 540,
    kResetResult = 541,
};
constexpr std::uint32_t kCustomCue = 3100;
constexpr std::uint32_t kTuningCue = 3104;
// The test server's own cue prices: repair per whole point lost (normal, advanced), the custom cue's
// restoration and reset in cash, and the upgrade's base and per-step costs.
constexpr std::int64_t kRepairPoint[2] = {150, 450};
constexpr std::int64_t kCustomCash = 8800;
constexpr int kUpgradeCeiling = 30;
// Parts: 8 per group; 0..3 for cue money, 4..7 for cash.
constexpr int kPartsPerGroup = 8;
std::int64_t PartPrice(int part) {
    return part < 4 ? 20000 + 10000 * part : 1000 + 500 * (part - 4);
}
constexpr std::uint32_t kNickChangeItem = 4102;
// New personal cues: the tuning cue for cue money, the custom cue for cash with its parts' surcharge.
constexpr std::int64_t kTuningCuePrice = 300000;
constexpr std::int64_t kCustomCueBase = 17500;

struct Offer {
    std::uint32_t id;
    std::uint32_t type;
    bool cash;
    std::int64_t price;
    std::uint8_t usage;
    std::uint32_t quantity;  // days, uses or count
};
// What the test server sells; limited-time items also sell for three times the days at 2.7 times
// the price. Usage 0 is an item kept for good (quantity 0).
constexpr Offer kOffers[] = {
    {3001, 1, false, 5000, 1, 30},
    {3002, 1, false, 8000, 1, 30},
    {3010, 1, false, 6000, 1, 30},
    {3011, 1, false, 6000, 1, 30},
    {3012, 1, false, 6000, 1, 30},
    {3050, 1, true, 9900, 1, 30},
    {3051, 1, true, 9900, 1, 30},
    {3052, 1, true, 9900, 1, 30},
    {1024, 3, false, 20000, 1, 30},
    {1026, 3, true, 2000, 1, 30},
    {1028, 3, true, 2000, 1, 30},
    {1032, 3, false, 20000, 1, 30},
    {1033, 3, false, 20000, 1, 30},
    {4903, 5, false, 3000, 3, 1000},
    {4520, 6, false, 500, 3, 20},
    {4102, 4, true, 5000, 2, 1},
    {4011, 4, true, 1000, 1, 7},
    // The basic tables and ball sets, kept for good.
    {1020, 3, false, 12000, 0, 0},
    {1027, 3, false, 12000, 0, 0},
    {1030, 3, false, 15000, 0, 0},
    {2003, 2, false, 3000, 0, 0},
    {2004, 2, false, 4000, 0, 0},
    {2006, 2, false, 4000, 0, 0},
    {2008, 2, false, 3000, 0, 0},
};
constexpr std::int64_t kMembershipPrices[3][2] = {{4500, 12500}, {9800, 26000}, {18400, 49000}};

const Offer* FindOffer(std::uint32_t id) {
    for (const Offer& o : kOffers)
        if (o.id == id) return &o;
    return nullptr;
}

// Price and quantity of period 1 or 2; false when that period is not sold.
bool PeriodOf(const Offer& o, int period, std::int64_t& price, std::uint32_t& quantity) {
    if (period == 1) {
        price = o.price, quantity = o.quantity;
        return true;
    }
    if (period == 2 && o.usage == 1) {
        price = o.price * 27 / 10, quantity = o.quantity * 3;
        return true;
    }
    return false;
}

// The club discount on a purchase for oneself, in whole units.
std::int64_t Discounted(std::int64_t price, std::uint8_t membership, bool cash) {
    if (membership < 2) return price;
    const int percent = cash || membership == 3 ? 20 : 10;
    return price - price * percent / 100;
}

std::u16string DateAfterDays(std::uint32_t days) {
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::system_clock::now() + std::chrono::hours(24 * static_cast<int>(days)));
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

LedgerItem PersonalCue(std::uint64_t serial, std::uint32_t itemId, std::uint32_t maximum,
                       std::uint32_t durability) {
    LedgerItem cue;
    cue.serial = serial;
    cue.itemId = itemId;
    cue.type = 1;
    cue.state = 1;
    cue.usage = 3;
    cue.initial = maximum;
    cue.remaining = durability;
    cue.expiry = u"-";
    cue.personal = 1;
    return cue;
}

LedgerItem* FindItem(LedgerAccount& a, std::uint64_t serial) {
    for (LedgerItem& item : a.items)
        if (item.serial == serial) return &item;
    return nullptr;
}
}  // namespace

LedgerAccount& ShopLedger::Account(const std::u16string& loginId) {
    auto [it, added] = accounts_.try_emplace(loginId);
    if (added) it->second.money = startGold_;
    if (added && personalCues_) {
        // A tuning cue at 50 of 100 points with 12 upgrade points, and a custom cue at 50 of 1,000.
        LedgerItem tuning = PersonalCue(nextSerial_++, kTuningCue, 100000, 50000);
        tuning.upgrade = 12000;
        tuning.performance = {7, 5, 3, 2, 4};
        tuning.name = u"Tuning cue";
        LedgerItem custom = PersonalCue(nextSerial_++, kCustomCue, 1000000, 50000);
        custom.performance = {40, 30, 30, 20, 30};
        custom.name = u"Custom cue";
        it->second.items.push_back(tuning);
        it->second.items.push_back(custom);
    }
    return it->second;
}

void ShopLedger::WriteItem(Writer& w, const LedgerItem& item) {
    w.u64(item.serial).u32(item.itemId).u32(item.type);
    w.u8(item.type == 5 ? 3 : 0).u8(item.state).u8(item.personal).u8(item.usage);
    w.u32(item.initial).u32(item.remaining).u64(item.upgrade);
    for (std::uint8_t v : item.performance) w.u8(v);
    for (std::uint16_t v : item.parts) w.u16(v);
    w.str(item.expiry).str(item.name);
}

bool ShopLedger::HandleCue(LedgerAccount& me, const Frame& f, std::vector<Frame>& replies) {
    Reader r(f.body);
    Writer w;
    auto reply = [&](std::uint16_t id) { replies.push_back({id, w.bytes()}); };
    switch (f.id) {
        case kRepair: {
            const std::uint8_t kind = r.u8();
            const std::uint64_t serial = r.u64();
            LedgerItem* cue = r.ok ? FindItem(me, serial) : nullptr;
            if (!cue || !cue->personal || kind > 1 || (cue->itemId == kCustomCue && kind != 0)) {
                w.u8(1);
                reply(kRepairResult);
                return true;
            }
            const bool custom = cue->itemId == kCustomCue;
            const std::int64_t lost =
                std::max<std::int64_t>(0, static_cast<std::int64_t>(cue->initial) - cue->remaining) / 1000;
            const std::int64_t cost = custom ? kCustomCash : lost * kRepairPoint[kind];
            if (custom ? me.cash < cost : me.money < cost) {
                w.u8(2);
                reply(kRepairResult);
                return true;
            }
            if (custom)
                me.cash -= static_cast<std::uint32_t>(cost);
            else
                me.money -= cost;
            // A normal repair of a tuning cue always costs one point of maximum durability here.
            if (!custom && kind == 0 && lost > 0) cue->initial -= 1000;
            cue->remaining = cue->initial;
            w.u8(0).u32(me.cash).u64(static_cast<std::uint64_t>(me.money)).u64(serial).u32(cue->initial);
            reply(kRepairResult);
            return true;
        }
        case kReset: {
            const std::uint64_t serial = r.u64();
            std::array<std::uint8_t, 5> options{};
            int total = 0;
            bool bounded = true;
            for (std::uint8_t& v : options) {
                v = r.u8();
                total += v;
                bounded = bounded && v <= 40;
            }
            LedgerItem* cue = r.ok ? FindItem(me, serial) : nullptr;
            const std::uint8_t result = !cue || cue->itemId != kCustomCue || total != 150 || !bounded ? 1
                                        : me.cash < kCustomCash                                       ? 2
                                                                                                      : 0;
            w.u8(result);
            if (result == 0) {
                me.cash -= static_cast<std::uint32_t>(kCustomCash);
                cue->performance = options;
                w.u32(me.cash).u64(serial);
                for (std::uint8_t v : options) w.u8(v);
            }
            reply(kResetResult);
            return true;
        }
        case kCuePurchase: {
            const std::uint32_t itemId = r.u32();
            const std::uint32_t durability = r.u32();
            const std::u16string name = r.str();
            const bool custom = itemId == kCustomCue;
            LedgerItem cue;
            int spent = 0;
            bool valid =
                r.ok && (custom || itemId == kTuningCue) && durability == (custom ? 1000000u : 100000u);
            for (std::uint8_t& v : cue.performance) {
                v = r.u8();
                valid = valid && v <= (custom ? 40 : 10);
                spent += v;
            }
            std::int64_t price = custom ? kCustomCueBase : kTuningCuePrice;
            for (std::size_t g = 0; g < cue.parts.size(); ++g) {
                cue.parts[g] = r.u16();
                const int offered = !custom ? (g < 2 ? 2 : 1) : kPartsPerGroup;
                valid = valid && cue.parts[g] < offered;
                if (custom && cue.parts[g] < 4) price += PartPrice(cue.parts[g]) - 3000;
            }
            valid = valid && r.ok && spent == (custom ? 150 : 20);
            const bool affordable = custom ? me.cash >= price : me.money >= price;
            w.u8(1);
            if (!valid) {
                w.u8(5);
            } else if (!affordable) {
                w.u8(2);
            } else {
                if (custom)
                    me.cash -= static_cast<std::uint32_t>(price);
                else
                    me.money -= price;
                cue.serial = nextSerial_++;
                cue.itemId = itemId;
                cue.type = 1;
                cue.usage = 3;
                cue.personal = 1;
                cue.initial = cue.remaining = durability;
                cue.name = name;
                me.items.push_back(cue);
                w.u8(0).u32(me.cash).u64(static_cast<std::uint64_t>(me.money)).u32(0).u32(0);
                w.u64(cue.serial).u32(cue.itemId).u8(1).u8(cue.state).u32(durability).str(name);
                for (std::uint16_t v : cue.parts) w.u16(v);
                for (std::uint8_t v : cue.performance) w.u8(v);
            }
            reply(kPurchaseResult);
            return true;
        }
        case kPartsPurchase: {
            const std::uint64_t serial = r.u64();
            const int n = r.u8();
            LedgerItem* cue = r.ok ? FindItem(me, serial) : nullptr;
            std::array<std::uint16_t, 5> parts = cue ? cue->parts : std::array<std::uint16_t, 5>{};
            std::int64_t cash = 0, money = 0;
            bool valid = cue && cue->personal && n >= 1 && n <= 5;
            for (int i = 0; i < n && valid; ++i) {
                const int group = r.u8();
                const int part = r.u16();
                valid = r.ok && group < 5 && part < kPartsPerGroup;
                if (!valid) break;
                parts[static_cast<std::size_t>(group)] = static_cast<std::uint16_t>(part);
                (part < 4 ? money : cash) += PartPrice(part);
            }
            const std::uint8_t result = !valid ? 5 : me.cash < cash || me.money < money ? 2 : 0;
            w.u8(result);
            if (result == 0) {
                me.cash -= static_cast<std::uint32_t>(cash);
                me.money -= money;
                cue->parts = parts;
                w.u32(me.cash).u64(static_cast<std::uint64_t>(me.money)).u64(serial);
                for (std::uint16_t v : cue->parts) w.u16(v);
                for (std::uint8_t v : cue->performance) w.u8(v);
                w.u32(cue->remaining).u32(cue->initial);
            }
            reply(kPartsResult);
            return true;
        }
        case kUpgrade: {
            const std::uint8_t mode = r.u8();
            const std::uint64_t serial = r.u64();
            const std::uint8_t option = r.u8();
            LedgerItem* cue = r.ok ? FindItem(me, serial) : nullptr;
            if (!cue || cue->itemId == kCustomCue || !cue->personal || mode != 1 || option > 4 ||
                cue->performance[option] >= kUpgradeCeiling) {
                w.u8(1);
                reply(kUpgradeResult);
                return true;
            }
            const int current = cue->performance[option];
            std::int64_t cost = 3000;
            for (int i = 0; i < current; ++i) cost += 200 * (1 + std::min(i / 10, 2));
            const std::uint64_t points = static_cast<std::uint64_t>(current / 10 + 1) * 1000;
            const std::uint8_t result = me.money < cost ? 2 : cue->upgrade < points ? 4 : 0;
            w.u8(result);
            if (result == 0) {
                // The test server's upgrades always succeed.
                me.money -= cost;
                cue->upgrade -= points;
                cue->performance[option] = static_cast<std::uint8_t>(current + 1);
                w.u32(me.cash).u64(static_cast<std::uint64_t>(me.money)).u64(serial).u8(1).u64(cue->upgrade);
                for (std::uint8_t v : cue->performance) w.u8(v);
            }
            reply(kUpgradeResult);
            return true;
        }
        default:
            return false;
    }
}

bool ShopLedger::Handle(const std::u16string& loginId, const std::u16string& nickname, const Frame& f,
                        const LedgerHooks& hooks, std::vector<Frame>& replies) {
    Reader r(f.body);
    Writer w;
    LedgerAccount& me = Account(loginId);
    if (HandleCue(me, f, replies)) return true;
    auto reply = [&](std::uint16_t id) { replies.push_back({id, w.bytes()}); };
    switch (f.id) {
        case kPurchase:
        case kGift:
        case kClanGift: {
            const std::uint8_t mode = f.id == kPurchase ? 1 : f.id == kGift ? 2 : 3;
            const std::uint32_t itemId = r.u32();
            const int period = r.u8();
            r.str();
            std::u16string recipient, message;
            if (mode == 2) r.u8();
            if (mode != 1) {
                recipient = r.str();
                message = r.str();
            }
            w.u8(mode);
            const Offer* offer = FindOffer(itemId);
            std::int64_t price = 0;
            std::uint32_t quantity = 0;
            if (!r.ok) {
                w.u8(1);
            } else if (mode == 3) {
                w.u8(1);  // no clans here
            } else if (!offer || !PeriodOf(*offer, period, price, quantity)) {
                w.u8(5);
            } else {
                if (mode == 1) price = Discounted(price, me.membership, offer->cash);
                const std::optional<std::u16string> to = mode == 2 ? hooks.loginOf(recipient) : loginId;
                const bool affordable = offer->cash ? me.cash >= price : me.money >= price;
                if (!to || (mode == 2 && recipient == nickname)) {
                    w.u8(4);
                } else if (!affordable) {
                    w.u8(2);
                } else {
                    if (offer->cash)
                        me.cash -= static_cast<std::uint32_t>(price);
                    else
                        me.money -= price;
                    LedgerItem item;
                    item.serial = nextSerial_++;
                    item.itemId = itemId;
                    item.type = offer->type;
                    item.usage = offer->usage;
                    item.initial = item.remaining = quantity;
                    Account(*to).items.push_back(item);
                    LedgerAccount& payer = Account(loginId);
                    w.u8(0).u32(payer.cash).u64(static_cast<std::uint64_t>(payer.money)).u32(0).u32(0);
                    if (mode == 1) {
                        w.u64(item.serial).u32(item.itemId).u8(0).u8(item.state);
                        w.u32(item.initial).u32(item.remaining);
                    }
                }
            }
            reply(kPurchaseResult);
            return true;
        }
        case kMembership: {
            const std::uint8_t mode = r.u8();
            r.u8();
            const std::uint8_t kind = r.u8();
            const std::uint8_t period = r.u8();
            const std::u16string recipient = mode != 0 ? r.str() : std::u16string();
            const std::int64_t price = kind >= 1 && kind <= 3 && period >= 1 && period <= 2
                                           ? kMembershipPrices[kind - 1][period - 1]
                                           : -1;
            const std::optional<std::u16string> to = mode == 2 ? hooks.loginOf(recipient) : loginId;
            if (!r.ok || price < 0 || !to) {
                w.u8(1);
            } else if (Account(*to).membership != 0) {
                w.u8(4);
            } else if (me.cash < price) {
                w.u8(2);
            } else {
                me.cash -= static_cast<std::uint32_t>(price);
                LedgerAccount& member = Account(*to);
                member.membership = kind;
                member.membershipExpiry = DateAfterDays(period == 2 ? 90 : 30);
                LedgerAccount& payer = Account(loginId);
                w.u8(0)
                    .u32(payer.cash)
                    .u64(static_cast<std::uint64_t>(payer.money))
                    .u32(0)
                    .u8(payer.membership);
                if (payer.membership > 0) w.str(payer.membershipExpiry).u16(period == 2 ? 90 : 30);
            }
            reply(kMembershipResult);
            return true;
        }
        case kUseItem: {
            const std::uint32_t itemId = r.u32();
            r.u8();
            const std::uint64_t serial = r.u64();
            const std::u16string newNickname = itemId == kNickChangeItem ? r.str() : std::u16string();
            LedgerItem* item = FindItem(me, serial);
            if (!r.ok || !item || item->itemId != itemId) {
                w.u8(1);
                reply(itemId == kNickChangeItem ? kNickChangeResult : kActivateResult);
                return true;
            }
            if (itemId == kNickChangeItem || item->usage == 2) {
                const bool renamed = itemId != kNickChangeItem || hooks.rename(loginId, newNickname);
                if (renamed) std::erase_if(me.items, [&](const LedgerItem& i) { return i.serial == serial; });
                w.u8(renamed ? 0 : 1);
                reply(itemId == kNickChangeItem ? kNickChangeResult : kUseResult);
                return true;
            }
            item->state = 1;
            item->expiry = item->usage == 1 ? DateAfterDays(item->initial) : std::u16string(u"-");
            w.u8(0).u64(item->serial).u32(item->itemId).u8(item->state).u8(0).str(item->expiry);
            reply(kActivateResult);
            return true;
        }
        case kDeleteItem: {
            const std::uint64_t serial = r.u64();
            const bool held = r.ok && FindItem(me, serial);
            if (held) std::erase_if(me.items, [&](const LedgerItem& i) { return i.serial == serial; });
            w.u8(held ? 0 : 2).u64(serial);
            reply(kDeleteResult);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace testserver
