#pragma once
// The test server's judgement of a shot from the shooter's result (2053): the points it scores, whether
// the shooter stays at the table, whether the next player gets the cue ball in hand and whether the
// game ends. Its own reading of the clients' result codes:
//  - u16 code, negative for a foul; count = code % 1000, and a thousands digit only with a count of 4
//    or more. Carom games: count 0 when the cue ball missed an object ball, else 1 + the cushions
//    before the second object ball (at most 3); the digit counts the cushions before the first (a bank
//    shot). Six balls: count = the object balls hit. Pocket games: 0 no ball hit, 1 the cue ball fell,
//    2 or 3 a ball hit and none fell, 4 + n when n object balls fell.
//  - pocket games add the first ball the cue ball touched and two lists: the balls that fell, the balls
//    the cue ball touched.

#include <cstdint>
#include <vector>

#include "tests/e2e/server/WireCodec.h"

namespace testserver {

struct ShotReading {
    bool valid = false;
    bool foul = false;  // a negative code
    int count = 0;      // code % 1000
    int digit = 0;      // the thousands digit
    std::vector<std::uint8_t> pocketed;
    std::vector<std::uint8_t> touched;

    bool Pocketed(std::uint8_t ball) const;
    // No foul, the cue ball hit a ball and stayed on the table.
    bool Clean() const { return valid && !foul && count != 0 && !Pocketed(kCueBall); }
    static constexpr std::uint8_t kCueBall = 0;
};

// Reads a 2053 body; a body too short for the game type reads as invalid (a foul that scores nothing).
ShotReading ReadShotResult(const Bytes& body, int gameType);

enum class GameEnd : std::uint8_t { None, ShooterWins, ShooterLoses };

struct ShotVerdict {
    int points = 0;
    bool stays = false;
    bool freeBall = false;  // the cue ball went down: the next player has it in hand
    GameEnd end = GameEnd::None;
    bool spotNine = false;  // 9-ball: the 9 went down on a foul and goes back on the foot spot
};

// The handicap the server gives every player in a room (2011, 2014): the points a carom game other than
// the three-cushion game is played to (room::CaromTarget).
constexpr std::uint16_t kHandicap = 20;

// `eightBallStatus`: the shooter's team's 8-ball status before the shot (4: it plays on the 8);
// `teamPoints`: the points of the shooter's team before the shot; `target`: the points that win a
// carom game.
ShotVerdict JudgeShot(int gameType, const ShotReading& shot, std::uint8_t eightBallStatus, int teamPoints,
                      int target);

}  // namespace testserver
