// The test server's practice room: the earn-gold mission's report (1149) is paid with 1150, the
// membership instant charge (275) with 276; entering and leaving (1139, 1140) and the note after a
// cue's activation (517) need no answer. Item activation itself (512) is the shop ledger's.
#include <algorithm>

#include "tests/e2e/server/ServerState.h"

namespace testserver {

namespace {

enum : std::uint16_t {
    kInstantCharge = 275,
    kInstantChargeResult = 276,
    kCueActivated = 517,
    kEnterPractice = 1139,
    kLeavePractice = 1140,
    kMissionReport = 1149,
    kMissionReward = 1150,
};

// The server's own table of mission targets (game type, points for the full reward).
struct Target {
    std::uint8_t gameType;
    std::uint16_t points;
};
constexpr Target kTargets[] = {{0, 10}, {2, 6}, {3, 4}, {4, 3}, {5, 4}, {10, 15}, {12, 9}, {13, 15}};
constexpr std::int64_t kFullReward = 2000;
constexpr std::int64_t kNoRewardFromGold = 2000;
constexpr std::int64_t kChargeAmount = 20000;

}  // namespace

bool TestGameServer::HandlePractice(Client& c, const Frame& f) {
    Reader r(f.body);
    Writer w;
    switch (f.id) {
        case kEnterPractice:
        case kLeavePractice:
        case kCueActivated:
            return true;
        case kMissionReport: {
            const std::uint8_t gameType = r.u8();
            r.u8();  // the row
            const std::uint16_t points = r.u16();
            if (!r.ok || r.left() != 0) return true;
            {
                std::lock_guard lock(mutex_);
                PracticeRecord& record = practice_[c.loginId];
                LedgerAccount& account = shop_.Account(c.loginId);
                record.missionReports.push_back(f.body);
                const auto* target = std::find_if(std::begin(kTargets), std::end(kTargets),
                                                  [&](const Target& t) { return t.gameType == gameType; });
                std::int64_t reward = 0;
                if (target != std::end(kTargets) && record.dailyCounter == 0 &&
                    account.money < kNoRewardFromGold)
                    reward = points >= target->points ? kFullReward : kFullReward / 2;
                account.money += reward;
                record.dailyCounter = 1;
                w.u32(static_cast<std::uint32_t>(reward))
                    .u64(static_cast<std::uint64_t>(account.money))
                    .u8(record.dailyCounter);
            }
            Write(c, EncodeFrame(kMissionReward, w.bytes()), true);
            return true;
        }
        case kInstantCharge: {
            {
                std::lock_guard lock(mutex_);
                PracticeRecord& record = practice_[c.loginId];
                LedgerAccount& account = shop_.Account(c.loginId);
                const bool allowed = account.membership > 0;
                if (allowed) {
                    account.money += kChargeAmount;
                    ++record.instantCharges;
                }
                w.u8(allowed ? 0 : 1)
                    .u64(static_cast<std::uint64_t>(account.money))
                    .u32(allowed ? static_cast<std::uint32_t>(kChargeAmount) : 0)
                    .u8(record.dailyCounter);
            }
            Write(c, EncodeFrame(kInstantChargeResult, w.bytes()), true);
            return true;
        }
        default:
            return false;
    }
}

PracticeRecord TestGameServer::Practice(const std::u16string& loginId) {
    std::lock_guard lock(mutex_);
    const auto found = practice_.find(loginId);
    return found == practice_.end() ? PracticeRecord{} : found->second;
}

void TestGameServer::SetGold(const std::u16string& loginId, std::int64_t gold) {
    std::lock_guard lock(mutex_);
    shop_.Account(loginId).money = gold;
}

void TestGameServer::GiveItem(const std::u16string& loginId, const LedgerItem& item) {
    std::lock_guard lock(mutex_);
    shop_.Account(loginId).items.push_back(item);
}

}  // namespace testserver
