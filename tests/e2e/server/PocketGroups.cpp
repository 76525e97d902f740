#include "tests/e2e/server/PocketGroups.h"

#include <algorithm>
#include <vector>

namespace testserver {

namespace {
constexpr std::uint8_t kEightBall = 8, kCueBall = 0;

bool InGroup(std::uint8_t ball, std::uint8_t group) {
    return group == PocketGroups::kSolids ? ball >= 1 && ball <= 7 : ball >= 9 && ball <= 15;
}
}  // namespace

void PocketGroups::Reset() {
    status_ = {};
    pocketed_.clear();
}

bool PocketGroups::AfterShot(int team, const Bytes& result, bool& groupsDecided) {
    groupsDecided = false;
    // u16 code, u8 rule value, u8 count and the pocketed balls, then the balls touched.
    if (team < 1 || team > kTeamSlots || result.size() < 4) return false;
    const bool foul = (result[1] & 0x80) != 0;
    const std::size_t count = std::min<std::size_t>(result[3], result.size() - 4);
    const std::vector<std::uint8_t> down(result.begin() + 4, result.begin() + 4 + static_cast<long>(count));
    const bool scratch = std::find(down.begin(), down.end(), kCueBall) != down.end();
    pocketed_.insert(down.begin(), down.end());
    bool changed = false;
    const bool open = std::all_of(status_.begin(), status_.end(), [](std::uint8_t s) { return s == kOpen; });
    if (open && !foul && !scratch) {
        for (std::uint8_t ball : down) {
            if (ball == kCueBall || ball == kEightBall) continue;
            const std::uint8_t mine = ball < kEightBall ? kSolids : kStripes;
            for (int t = 0; t < kTeamSlots; ++t)
                status_[t] = t == team - 1 ? mine : (kSolids + kStripes - mine);
            groupsDecided = changed = true;
            break;
        }
    }
    for (std::uint8_t& s : status_) {
        if (s != kSolids && s != kStripes) continue;
        bool cleared = true;
        for (std::uint8_t ball = 1; ball <= 15; ++ball)
            if (InGroup(ball, s) && !pocketed_.count(ball)) cleared = false;
        if (cleared) {
            s = kOnTheEight;
            changed = true;
        }
    }
    return changed;
}

Bytes PocketGroups::Statuses(int count) const {
    Writer w;
    count = std::clamp(count, 0, kTeamSlots);
    w.u8(static_cast<std::uint8_t>(count));
    for (int t = 0; t < count; ++t) w.u8(status_[static_cast<std::size_t>(t)]);
    return w.bytes();
}

}  // namespace testserver
