#pragma once
// Turns the physics events of one shot into the shot result: the result code and the two
// per-shot ball lists. Provisional: online the server decides scores and fouls; this judge gives
// the offline table, the practice mission and the shot result message a deterministic reading
// (docs/decisions/table-world.md).
//
// Result code: count + 1000 x digit.
//  Carom games: count 0 when the cue ball did not reach two object balls (four-ball: both reds,
//  without the other cue ball); else 1 + the cushions the cue ball touched before the second
//  object ball, at most 3 (so a valid three-cushion shot counts 4). Digit: cushions before the
//  first object ball (a bank shot), at most 3. Six balls: count = object balls the cue ball hit.
//  Pocket games: 0 no ball hit; 1 the cue ball fell; 2 a ball hit, none fell and no cushion after
//  the contact; 3 the same with a cushion; 4 + n when n object balls fell and the cue ball stayed.
//  Digit 1 when the game ball (8 in 8-ball, 9 in 9-ball) fell.
// Lists: first = balls that fell, in order; second = balls the cue ball touched, first contact
// first. Rule value = the first ball the cue ball touched (kNoBall for none).

#include <cstdint>
#include <vector>

#include "physics/PhysicsParams.h"

namespace table {

struct ShotVerdict {
    int code = 0;
    std::uint8_t ruleValue = 0xFF;
    std::vector<std::uint8_t> pocketed;  // first list
    std::vector<std::uint8_t> touched;   // second list
};

class ShotJudge {
public:
    // Starts a shot of `cueBall` in `gameType`.
    void Begin(int gameType, std::uint16_t cueBall, std::uint16_t ballCount);
    // Reads the events of one simulation call (or of the strike).
    void Feed(const std::vector<physics::PhysicsEvent>& events);
    // A ball that left the table over a rail: in a pocket game it counts as fallen.
    void Fell(std::uint16_t ball);
    // The verdict of the events fed since Begin.
    ShotVerdict Judge() const;

private:
    bool IsObjectBall(std::uint16_t id) const;

    int gameType_ = 0;
    std::uint16_t cueBall_ = 0;
    std::uint16_t ballCount_ = 0;
    std::vector<std::uint8_t> touched_;   // every ball the cue ball touched, first contact first
    std::vector<std::uint8_t> pocketed_;  // every ball that fell, in order
    int objectsHit_ = 0;
    int cushions_ = 0;  // distinct cushion hits of the cue ball so far
    int cushionsBeforeFirst_ = 0;
    int cushionsBeforeSecond_ = 0;
    bool railAfterContact_ = false;
    std::uint16_t lastRailBits_ = 0;
    bool contactSinceRail_ = true;
};

}  // namespace table
