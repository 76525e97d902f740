#pragma once
// The test server's reading of a table state as the clients send it (2050) and as it builds new turns
// from it (2051): its own constants of the tables, whether a client takes a state, a ball set down or a
// shot (the bounds and the shot's reader are the client's own, table/BallPlaces.h and
// table/TableMessages.h, so the two cannot differ), and the few changes the server makes to a state (a
// ball set down by hand, the 9 spotted again, a short rack).
// The body: u16 table item, u16 ball set, u8 ball count, per ball 3 x f32 position (cm, origin at the
// table's centre, z up from the bed), per ball 4 x f32 orientation, in pocket games one out-of-play
// byte per ball (0 in play, else the pocket 1..6 or 7), then u16 turn table item, u16 turn ball set.

#include <cstdint>
#include <string>

#include "tests/e2e/server/WireCodec.h"

namespace testserver {

struct BallSpot {
    float x = 0, y = 0, z = 0;
};

class TableState {
public:
    // The state must be of the game type's layout to be read or changed.
    static bool Fits(const Bytes& state, int gameType);
    static int BallCount(const Bytes& state) { return state.size() > 4 ? state[4] : 0; }
    static std::uint16_t TableItem(const Bytes& state) {
        return state.size() >= 2 ? static_cast<std::uint16_t>(state[0] | (state[1] << 8)) : 0;
    }
    static BallSpot Spot(const Bytes& state, int ball);
    // A position as messages carry it: 3 x f32, 12 bytes.
    static BallSpot ReadSpot(const std::uint8_t* position);
    static void SetSpot(Bytes& state, int ball, const BallSpot& spot);
    static std::uint8_t OutOfPlay(const Bytes& state, int ball);
    static void SetOutOfPlay(Bytes& state, int ball, std::uint8_t pocket);

    // Whether a ball of this game type could rest in play at the spot on the table of `tableItem`
    // (an unknown item: the game's own table), as every client decides it: within the box of the balls
    // in play. A position that is no number is off the table.
    static bool OnTable(int gameType, std::uint16_t tableItem, const BallSpot& spot);
    // Why the clients refuse the table state (2050 body) of the game type, as a clause for the log:
    // cut short or too long, a ball count that is not the game's, a position or orientation that is no
    // number, a ball where no shot leaves one (in play or out of play, on the state's own table).
    // Empty when every client takes it.
    static std::string Problem(const Bytes& state, int gameType);
    // Why the clients of a room of the game type cannot read the shot (2052 body), as a clause for the
    // log: cut short, or a current ball the game does not have. Empty when every client reads it.
    static std::string ShotProblem(const Bytes& shot, int gameType);
    // Sets ball `ball` down in play where the shooter placed it (2063: 12 position bytes). False, and
    // the state unchanged, when the state does not fit the game type, the ball is not in it or the
    // spot is off the state's table.
    static bool Place(Bytes& state, int gameType, std::uint8_t ball, const std::uint8_t* position);
    // Pocket games: puts `ball` back in play on the foot spot, or behind it on the long string as
    // near as another ball allows (toward the foot rail first, then toward the head). False when the
    // state does not fit.
    static bool SpotOnFoot(Bytes& state, int gameType, int ball);
    // The short rack of 8-ball, 9-ball and 14-1 (empty for other games): the cue ball and the game ball
    // (in 14-1 the 15) on the long rail before the right corner pocket, ball 1 (and in 8-ball the 9) at
    // the head end, every other ball in a pocket. The pocketed balls are listed in `pocketed`. The 15 down
    // leaves 14-1 one object ball, on which its table is racked again.
    static Bytes ShortRack(int gameType, std::uint16_t table, std::uint16_t ballSet, Bytes& pocketed);
};

}  // namespace testserver
