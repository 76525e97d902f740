#pragma once
// The test server's shop: each account's money, cash, club membership and bought items, and the
// answers to the shop's requests (purchase, gift, clan gift, membership, item use, deletion). It
// keeps its own small price list, written apart from the client's tables.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/server/WireCodec.h"

namespace testserver {

struct LedgerItem {
    std::uint64_t serial = 0;
    std::uint32_t itemId = 0;
    std::uint32_t type = 0;
    std::uint8_t state = 0;  // 0 inactive, 1 active
    std::uint8_t usage = 0;  // 1 days, 2 single use, 3 count
    std::uint32_t initial = 0;
    std::uint32_t remaining = 0;
    std::u16string expiry;
    // Personal cues: durability is initial (maximum) and remaining, in thousandths.
    std::uint8_t personal = 0;
    std::uint64_t upgrade = 0;  // thousandths of a point
    std::array<std::uint8_t, 5> performance{};
    std::array<std::uint16_t, 5> parts{};
    std::u16string name;
};

// New accounts' gold, unless the server is told otherwise.
constexpr std::int64_t kDefaultStartGold = 100000;

struct LedgerAccount {
    std::int64_t money = kDefaultStartGold;
    std::uint32_t cash = 50000;
    std::uint8_t membership = 0;
    std::u16string membershipExpiry;
    std::vector<LedgerItem> items;
};

// What the shop asks of the server's accounts.
struct LedgerHooks {
    // The login id of the account with this nickname, or nothing.
    std::function<std::optional<std::u16string>(const std::u16string& nickname)> loginOf;
    // Gives the account a new nickname; false when it is taken.
    std::function<bool(const std::u16string& loginId, const std::u16string& nickname)> rename;
};

class ShopLedger {
public:
    static constexpr std::uint64_t kFirstSerial = 1000;

    // With `personalCues` every new account starts with a worn tuning cue and a worn custom cue;
    // every new account starts with `startGold`.
    explicit ShopLedger(bool personalCues = false, std::int64_t startGold = kDefaultStartGold)
        : personalCues_(personalCues), startGold_(startGold) {}

    LedgerAccount& Account(const std::u16string& loginId);
    // Answers one request of the shop; false when the frame is no shop request.
    bool Handle(const std::u16string& loginId, const std::u16string& nickname, const Frame& request,
                const LedgerHooks& hooks, std::vector<Frame>& replies);
    // A bought item as an entry of the item list (187).
    static void WriteItem(Writer& w, const LedgerItem& item);

private:
    // Repair (538), performance reset (540) and upgrade (536) of a personal cue.
    bool HandleCue(LedgerAccount& me, const Frame& request, std::vector<Frame>& replies);

    bool personalCues_ = false;
    std::int64_t startGold_ = kDefaultStartGold;
    std::map<std::u16string, LedgerAccount> accounts_;
    std::uint64_t nextSerial_ = kFirstSerial;
};

}  // namespace testserver
