#include "tests/e2e/server/PocketGroups.h"

#include <algorithm>
#include <set>

namespace testserver {

namespace {
constexpr std::uint8_t kEightBall = 8, kCueBall = 0;

bool InGroup(std::uint8_t ball, std::uint8_t group) {
    return group == PocketGroups::kSolids ? ball >= 1 && ball <= 7 : ball >= 9 && ball <= 15;
}
}  // namespace

void PocketGroups::Reset(const Bytes& pocketed) {
    status_ = {};
    pocketed_ = std::set<std::uint8_t>(pocketed.begin(), pocketed.end());
}

bool PocketGroups::AfterShot(int team, const ShotReading& shot, bool& groupsDecided) {
    groupsDecided = false;
    if (team < 1 || team > kTeamSlots || !shot.valid) return false;
    pocketed_.insert(shot.pocketed.begin(), shot.pocketed.end());
    bool changed = false;
    const bool open = std::all_of(status_.begin(), status_.end(), [](std::uint8_t s) { return s == kOpen; });
    if (open && !shot.foul && !shot.Pocketed(kCueBall)) {
        for (std::uint8_t ball : shot.pocketed) {
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
