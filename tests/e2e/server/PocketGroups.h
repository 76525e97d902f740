#pragma once
// The test server's 8-ball groups: the table is open until a shooter pockets an object ball on a
// shot without a foul; that shooter's team takes the group of the first such ball (solids 1-7,
// stripes 9-15) and every other team the other one. A team whose group is down plays on the 8.

#include <array>
#include <cstdint>
#include <set>

#include "tests/e2e/server/GameJudge.h"
#include "tests/e2e/server/WireCodec.h"

namespace testserver {

class PocketGroups {
public:
    static constexpr std::uint8_t kOpen = 0, kSolids = 2, kStripes = 3, kOnTheEight = 4;
    static constexpr int kTeamSlots = 7;

    // A new game; `pocketed` lists the balls already down (a short rack).
    void Reset(const Bytes& pocketed = {});
    // After a shot of team slot `team` (1..7) read from the shooter's 2053: true when a status changed.
    // `groupsDecided` tells whether the groups were set by this shot (2087), else a team went on the 8
    // (2088).
    bool AfterShot(int team, const ShotReading& shot, bool& groupsDecided);
    std::uint8_t Status(int team) const { return team >= 1 && team <= kTeamSlots ? status_[team - 1] : 0; }
    // The statuses of team slots 1..count as 2087 and 2088 carry them (after the sound flag of 2088).
    Bytes Statuses(int count) const;

private:
    std::array<std::uint8_t, kTeamSlots> status_{};
    std::set<std::uint8_t> pocketed_;
};

}  // namespace testserver
